// The history store at the size of real use: a million rows shaped like
// captures (values with exponents, statistics in part of the rows, notes).
// Appending a captured row, deleting one row in the middle and the whole
// history, fitting columns, and the memory the rows take. The floor for
// appending is copying the same bytes into a vector of strings.
#include "history/HistoryCapture.h"
#include "history/HistoryStore.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <fstream>
#include <random>
#include <string>

using namespace qv;

namespace {

constexpr int Rows = 1000000;

HistoryRow captureLike(std::mt19937 &rng, int i)
{
    std::uniform_real_distribution<double> lamp(480.0, 520.0);
    char buf[32];
    HistoryRow r;
    r[1] = "07-12-26";
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", i / 3600 % 24, i / 60 % 60, i % 60);
    r[2] = buf;
    std::snprintf(buf, sizeof buf, "%.4ge3", lamp(rng) / 1000);
    r[4] = buf;
    if (i % 3 == 0) {   // a statistics series
        r[9] = std::to_string(i % 500 + 1);
        for (int c = 10; c <= 12; ++c) {
            std::snprintf(buf, sizeof buf, "%.1f", lamp(rng));
            r[c] = buf;
        }
        r[13] = "0.963";
        r[14] = "0.925";
    }
    if (i % 50 == 0)
        r[3] = "lamp " + std::to_string(i % 97);
    r[15] = i % 1000 == 0 ? "Z.K-700 Over" : "Z.K-700";
    return r;
}

long residentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

struct Filled {
    TextWidths widths = TextWidths::fixed(6);
    HistoryStore store{widths};
    std::vector<HistoryRow> source;
    long rssBeforeKb = 0;
    long rssAfterKb = 0;

    Filled()
    {
        std::mt19937 rng(1);
        source.reserve(4096);
        for (int i = 0; i < 4096; ++i)
            source.push_back(captureLike(rng, i));
        rssBeforeKb = residentKb();
        for (int i = 0; i < Rows; ++i)
            store.addCapturedRow(source[i % source.size()]);
        rssAfterKb = residentKb();
    }
};

Filled &filled()
{
    static Filled f;
    return f;
}

void BM_AppendCapturedRow(benchmark::State &state)
{
    const TextWidths widths = TextWidths::fixed(6);
    std::mt19937 rng(2);
    std::vector<HistoryRow> rows;
    for (int i = 0; i < 4096; ++i)
        rows.push_back(captureLike(rng, i));
    for (auto _ : state) {
        HistoryStore store(widths);
        for (int i = 0; i < Rows; ++i)
            store.addCapturedRow(rows[i & 4095]);
        benchmark::DoNotOptimize(store.HistRows());
    }
    state.SetItemsProcessed(int64_t(Rows) * state.iterations());
}

// The floor: the same cells copied into one string a row.
void BM_AppendFloorVectorOfStrings(benchmark::State &state)
{
    std::mt19937 rng(2);
    std::vector<std::string> joined;
    for (int i = 0; i < 4096; ++i)
        joined.push_back(JoinCells(captureLike(rng, i)));
    for (auto _ : state) {
        std::vector<std::string> rows;
        for (int i = 0; i < Rows; ++i)
            rows.push_back(joined[i & 4095]);
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetItemsProcessed(int64_t(Rows) * state.iterations());
}

void BM_DeleteRowInTheMiddle(benchmark::State &state)
{
    Filled &f = filled();
    int i = 0;
    for (auto _ : state) {
        f.store.HistDeleteRow(f.store.HistRows() / 2);
        state.PauseTiming();
        f.store.addCapturedRow(f.source[i++ & 4095]);
        state.ResumeTiming();
    }
    state.counters["rows"] = f.store.HistRows();
}

void BM_DeleteAll(benchmark::State &state)
{
    const TextWidths widths = TextWidths::fixed(6);
    std::mt19937 rng(3);
    std::vector<HistoryRow> rows;
    for (int i = 0; i < 4096; ++i)
        rows.push_back(captureLike(rng, i));
    for (auto _ : state) {
        state.PauseTiming();
        auto store = std::make_unique<HistoryStore>(widths);
        for (int i = 0; i < Rows; ++i)
            store->addCapturedRow(rows[i & 4095]);
        state.ResumeTiming();
        store->HistDeleteAll();
        benchmark::DoNotOptimize(store->HistRows());
    }
}

void BM_SetCellAndFit(benchmark::State &state)
{
    Filled &f = filled();
    const QString comment = QStringLiteral("lamp 7 north");
    int row = 0;
    for (auto _ : state) {
        f.store.hist().setCellAndFit(row, hc::Comment, comment);
        row = (row + 7919) % Rows;
    }
}

void BM_ResidentMemoryOfAMillionRows(benchmark::State &state)
{
    Filled &f = filled();
    for (auto _ : state)
        benchmark::DoNotOptimize(f.store.HistRows());
    state.counters["rows"] = f.store.HistRows();
    state.counters["store_MB"] = double(f.rssAfterKb - f.rssBeforeKb) / 1024.0;
    state.counters["text_MB"] = double(f.store.hist().bytesHeld()) / (1 << 20);
    state.counters["process_MB"] = double(f.rssAfterKb) / 1024.0;
}

} // namespace

BENCHMARK(BM_AppendCapturedRow)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AppendFloorVectorOfStrings)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DeleteRowInTheMiddle)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(BM_DeleteAll)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SetCellAndFit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ResidentMemoryOfAMillionRows)->Iterations(1);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

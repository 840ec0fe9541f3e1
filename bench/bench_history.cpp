// The history store at the size of real use: a million rows shaped like
// captures (values with exponents, statistics in part of the rows, notes).
// Appending a captured row, deleting one row in the middle and the whole
// history, fitting columns, and the memory the rows take. The floor for
// appending is copying the same bytes into a vector of strings.
#include "history/HistoryCapture.h"
#include "history/Journal.h"
#include "HistoryRows.h"

using namespace qv;
using namespace qvbench;

namespace {

void BM_AppendCapturedRow(benchmark::State &state)
{
    const std::vector<HistoryRow> rows = sourceRows(2);
    for (auto _ : state) {
        HistoryStore store(fixedWidths());
        fill(store, rows, MillionRows);
        benchmark::DoNotOptimize(store.HistRows());
    }
    state.SetItemsProcessed(int64_t(MillionRows) * state.iterations());
}

// The floor: the same cells copied into one string a row.
void BM_AppendFloorVectorOfStrings(benchmark::State &state)
{
    std::vector<std::string> joined;
    for (const HistoryRow &r : sourceRows(2))
        joined.push_back(JoinCells(r));
    for (auto _ : state) {
        std::vector<std::string> rows;
        for (int i = 0; i < MillionRows; ++i)
            rows.push_back(joined[i & 4095]);
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetItemsProcessed(int64_t(MillionRows) * state.iterations());
}

void BM_DeleteRowInTheMiddle(benchmark::State &state)
{
    FilledStore &f = millionRowStore();
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
    const std::vector<HistoryRow> rows = sourceRows(3);
    for (auto _ : state) {
        state.PauseTiming();
        auto store = std::make_unique<HistoryStore>(fixedWidths());
        fill(*store, rows, MillionRows);
        state.ResumeTiming();
        store->HistDeleteAll();
        benchmark::DoNotOptimize(store->HistRows());
    }
}

void BM_SetCellAndFit(benchmark::State &state)
{
    FilledStore &f = millionRowStore();
    const QString comment = QStringLiteral("lamp 7 north");
    int row = 0;
    for (auto _ : state) {
        f.store.hist().setCellAndFit(row, hc::Comment, comment);
        row = (row + 7919) % MillionRows;
    }
}

void BM_ResidentMemoryOfAMillionRows(benchmark::State &state)
{
    FilledStore &f = millionRowStore();
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

// `bench_history --write-journal PATH` writes the million rows as an unsaved
// journal instead, for measuring the whole program holding them
// (qv7xx --restore-journal with XDG_DATA_HOME pointing at it).
int writeJournal(const QString &path)
{
    FilledStore &f = millionRowStore();
    Journal journal;
    QString error;
    HistoryChange added(HistoryChange::RowsAdded);
    added.first = 0;
    added.last = f.store.HistRows() - 1;
    if (!journal.open(path, error) || !journal.record(f.store, added)) {
        std::fprintf(stderr, "%s\n", qPrintable(error.isEmpty() ? journal.lastError() : error));
        return 1;
    }
    return 0;
}

int main(int argc, char **argv)
{
    return benchMain(argc, argv, "--write-journal", writeJournal);
}

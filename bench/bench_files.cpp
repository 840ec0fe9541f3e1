// History files at the size of a day-long log: a million rows shaped like
// captures (values with exponents, statistics and relative values in part
// of the rows, an integration time, notes), about 78 MB. Opening into the
// store against the floor of reading the same bytes and counting their
// lines; saving from the store against the floor of writing the same bytes
// through QSaveFile. Rows per second, the ratio to the floor, the memory of
// the loaded history and the peak.
#include "files/DataFileReader.h"
#include "files/HistoryFileWriter.h"
#include "protocol/FormatSettings.h"
#include "search/CompactNumberText.h"

#include "QtBenchmarkMain.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>


using namespace qv;
using namespace qvbench;

namespace {

constexpr int Rows = MillionRows;

// One record line as the program writes a captured row.
void appendCaptureLine(std::string &out, std::mt19937 &rng, int i)
{
    std::uniform_real_distribution<double> lamp(480.0, 520.0);
    const auto cell = [&out](const std::string &text) { out += text + '\t'; };
    const auto number = [&cell](double v) { cell(CompactNumberText(v, '.')); };
    const int s = i % 86400;
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
    cell(std::to_string(i + 1) + "\t07-12-2026\t" + time);
    cell(i % 50 == 0 ? "lamp " + std::to_string(i % 97) : "");
    number(lamp(rng) * 1e-3);
    if (i % 4 == 0) {   // relative to a reference
        number(lamp(rng) / 5);
        number(500.0e-3);
    } else {
        out += "\t\t";
    }
    if (i % 5 == 0) {   // integration
        number(lamp(rng) * s);
        cell(time);
    } else {
        out += "\t\t";
    }
    if (i % 2 == 0) {   // a statistics series
        cell(std::to_string(i % 500 + 1));
        for (int c = 0; c < 3; ++c)
            number(lamp(rng));
        out += "963.0e-3\t925.1e-3\t";
    } else {
        out += "\t\t\t\t\t\t";
    }
    cell(i % 1000 == 0 ? "Z.K-700 Over" : "Z.K-700");
    out += "\r\n";
}

struct Data {
    QString path = QDir::tempPath() + "/qv7xx-bench-files.txt";
    QString savePath = QDir::tempPath() + "/qv7xx-bench-files-saved.txt";
    qint64 bytes = 0;

    Data()
    {
        formatSettings() = FormatSettings{'.', '-', ':'};
        std::string out = HeaderBytes(DataHeader::English).toStdString();
        out.reserve(size_t(80) * Rows);
        std::mt19937 rng(1);
        for (int i = 0; i < Rows; ++i)
            appendCaptureLine(out, rng, i);
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(out.data(), qint64(out.size()));
        bytes = qint64(out.size());
    }
    ~Data()
    {
        QFile::remove(path);
        QFile::remove(savePath);
    }
};

Data &data()
{
    static Data d;
    return d;
}

double g_floorOpen = 0, g_floorSave = 0;

void setRates(benchmark::State &state, double floor)
{
    state.counters["rows_per_s"] = benchmark::Counter(double(Rows) * double(state.iterations()),
                                                      benchmark::Counter::kIsRate);
    state.counters["MB"] = double(data().bytes) / 1e6;
    if (floor > 0)
        state.counters["floor_best_s"] = floor;
}

void BM_FloorReadAndCountLines(benchmark::State &state)
{
    std::string buf(65534, '\0');
    qint64 lines = 0;
    for (auto _ : state) {
        keepBest(g_floorOpen, timed([&] {
            QFile f(data().path);
            f.open(QIODevice::ReadOnly);
            lines = 0;
            for (qint64 n; (n = f.read(buf.data(), qint64(buf.size()))) > 0;)
                for (const char *p = buf.data(), *end = p + n;
                     (p = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)))); ++p)
                    ++lines;
            benchmark::DoNotOptimize(lines);
        }));
    }
    state.counters["lines"] = double(lines);
    setRates(state, 0);
}
BENCHMARK(BM_FloorReadAndCountLines)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_OpenHistory(benchmark::State &state)
{
    FileReadOptions options;
    options.threads = int(state.range(0));
    long residentKb = -1, peakKb = 0;
    double best = 0;
    size_t held = 0;
    for (auto _ : state) {
        auto store = std::make_unique<HistoryStore>(fixedWidths());
        const long before = statusKb("VmRSS:");
        resetPeak();
        FileReadResult r;
        keepBest(best, timed([&] { r = ReadHistoryFile(data().path, *store, options); }));
        if (residentKb < 0)   // the first load, before freed memory is reused
            residentKb = statusKb("VmRSS:") - before;
        peakKb = std::max(peakKb, statusKb("VmHWM:") - before);
        held = store->hist().bytesHeld() + size_t(store->hist().rowCount()) * 16;
        if (r.status != FileReadResult::Opened || store->HistRows() != Rows) {
            state.SkipWithError("the file did not open whole");
            break;   // no timing may be paused once an error is reported
        }
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
    setRates(state, g_floorOpen);
    state.counters["best_s"] = best;
    state.counters["best_over_floor"] = g_floorOpen > 0 ? best / g_floorOpen : 0;
    state.counters["history_MB"] = double(residentKb) / 1024;
    state.counters["store_MB"] = double(held) / (1 << 20);
    state.counters["peak_MB"] = double(peakKb) / 1024;
}
BENCHMARK(BM_OpenHistory)->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_FloorSaveBytes(benchmark::State &state)
{
    QFile f(data().path);
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    for (auto _ : state) {
        keepBest(g_floorSave, timed([&] {
            QSaveFile out(data().savePath);
            out.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
            for (qint64 at = 0; at < bytes.size(); at += 1 << 20)
                out.write(bytes.constData() + at, std::min<qint64>(1 << 20, bytes.size() - at));
            out.commit();
        }));
    }
    setRates(state, 0);
}
BENCHMARK(BM_FloorSaveBytes)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_SaveHistory(benchmark::State &state)
{
    HistoryStore store(fixedWidths());
    ReadHistoryFile(data().path, store);
    double best = 0;
    for (auto _ : state) {
        SaveResult r;
        keepBest(best, timed([&] {
            r = SaveHistoryFile(data().savePath, store.hist(), 0, store.HistRows(), 1);
        }));
        if (r.status != SaveResult::Saved)
            state.SkipWithError("the save failed");
    }
    setRates(state, g_floorSave);
    state.counters["best_s"] = best;
    state.counters["best_over_floor"] = g_floorSave > 0 ? best / g_floorSave : 0;
    QFile saved(data().savePath), original(data().path);
    saved.open(QIODevice::ReadOnly);
    original.open(QIODevice::ReadOnly);
    if (saved.readAll() != original.readAll())
        state.SkipWithError("the saved file differs from the one opened");
}
BENCHMARK(BM_SaveHistory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

// What the benchmarks share: history rows shaped like a day of captures
// (values with exponents, statistics in a third of the rows, a comment now
// and then, an over-range note in one row of a thousand), stores filled with
// them, the process's memory as /proc reports it, best-of timing, and the
// entry that runs the benchmarks under a Qt application.
#pragma once

#include "history/HistoryStore.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace qvbench {

constexpr int MillionRows = 1000000;

// Six pixels a character: the stores' column fitting without a font.
inline const qv::TextWidths &fixedWidths()
{
    static const qv::TextWidths widths = qv::TextWidths::fixed(6);
    return widths;
}

inline qv::HistoryRow captureLike(std::mt19937 &rng, int i)
{
    using qv::HistoryRow;

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

// 4096 different rows, repeated to fill a store quickly.
inline std::vector<qv::HistoryRow> sourceRows(unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<qv::HistoryRow> rows;
    rows.reserve(4096);
    for (int i = 0; i < 4096; ++i)
        rows.push_back(captureLike(rng, i));
    return rows;
}

inline void fill(qv::HistoryStore &store, const std::vector<qv::HistoryRow> &source, int rows)
{
    for (int i = 0; i < rows; ++i)
        store.addCapturedRow(source[size_t(i) % source.size()]);
}

// A field of /proc/self/status in kB ("VmRSS:", "VmHWM:").
inline long statusKb(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::strlen(field)));
    return 0;
}

// The peak resident size from now on (Linux: resets VmHWM to the present size).
inline void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// A million rows of sourceRows(1) in one store, made once, with the resident
// size of the process before and after they were added.
struct FilledStore {
    qv::HistoryStore store{fixedWidths()};
    std::vector<qv::HistoryRow> source = sourceRows(1);
    long rssBeforeKb = statusKb("VmRSS:");
    long rssAfterKb = (fill(store, source, MillionRows), statusKb("VmRSS:"));
};

inline FilledStore &millionRowStore()
{
    static FilledStore filled;
    return filled;
}

// The wall time `run` takes, in seconds.
template <class Run>
double timed(Run &&run)
{
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// `best` becomes the shortest time seen (0: none yet).
inline void keepBest(double &best, double seconds)
{
    best = best > 0 ? std::min(best, seconds) : seconds;
}

// Runs the benchmarks under an `App` (QCoreApplication, or a GUI one on the
// offscreen platform). `PROGRAM option PATH` runs `command` on the path
// instead and exits with what it returns.
template <class App = QCoreApplication>
int benchMain(int argc, char **argv, const char *option = nullptr, int (*command)(const QString &) = nullptr)
{
    if (!std::is_same_v<App, QCoreApplication> && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    App app(argc, argv);
    if (option && argc == 3 && std::strcmp(argv[1], option) == 0)
        return command(QString::fromLocal8Bit(argv[2]));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace qvbench

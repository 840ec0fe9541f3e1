// History rows shaped like a day of captures, for the benchmarks: values
// with exponents, statistics in a third of the rows, a comment now and then,
// an over-range note in one row of a thousand.
#pragma once

#include "history/HistoryStore.h"

#include <cstdio>
#include <random>
#include <string>

namespace qvbench {

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

} // namespace qvbench

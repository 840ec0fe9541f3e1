// The reduction that lets the chart draw a million rows: the samples that fall
// into each pixel column of the plot become one column with the first, last,
// lowest and highest value, so what is drawn grows with the plot's width and
// never with the history. A pause between two samples longer than the gap
// breaks the line, as does a value that cannot be plotted (no number, or not
// above zero on a logarithmic axis).
#pragma once

#include <cstddef>
#include <vector>

namespace qv {

// One plotted row: its time (ms since the epoch), its value, its history row.
struct ChartSample {
    double t;
    double v;
    int row;
};

struct PixelColumn {
    int x;               // 0 .. width-1
    double first, last;  // values of the earliest and latest sample in the column
    double min, max;
    int minRow, maxRow;  // the rows that hold min and max
    bool joined;         // a line comes from the previous column
};

struct ReductionRange {
    double t0 = 0, t1 = 1;       // the time shown across the plot
    int width = 1;               // pixel columns
    double gap = 0;              // ms; a longer pause between samples breaks the line (0: never)
    bool positiveOnly = false;   // a logarithmic axis: values <= 0 cannot be drawn
};

// Reduces samples sorted by time. Samples outside [t0, t1] are skipped, but the
// first column is joined when the sample before t0 continues the line to it.
std::vector<PixelColumn> ReduceToColumns(const ChartSample *samples, size_t count,
                                         const ReductionRange &range);

// The index of the first sample at or after time t (count when none).
size_t FirstSampleAt(const ChartSample *samples, size_t count, double t);

} // namespace qv

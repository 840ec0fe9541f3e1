#include "chart/ChartReduction.h"

#include <algorithm>
#include <cmath>

namespace qv {

size_t FirstSampleAt(const ChartSample *samples, size_t count, double t)
{
    const ChartSample *end = samples + count;
    return size_t(std::lower_bound(samples, end, t, [](const ChartSample &s, double at) { return s.t < at; }) -
                  samples);
}

std::vector<PixelColumn> ReduceToColumns(const ChartSample *samples, size_t count,
                                         const ReductionRange &range)
{
    std::vector<PixelColumn> out;
    if (range.width <= 0 || !(range.t1 > range.t0))
        return out;
    out.reserve(size_t(range.width));
    const auto plottable = [&range](double v) { return !std::isnan(v) && (!range.positiveOnly || v > 0); };
    const double scale = range.width / (range.t1 - range.t0);

    size_t i = FirstSampleAt(samples, count, range.t0);
    // Whether the line reaches the sample at hand: from the one before it,
    // which may lie left of the plot.
    bool lineOpen = i > 0 && plottable(samples[i - 1].v);
    double lastT = i > 0 ? samples[i - 1].t : 0;
    for (; i < count && samples[i].t <= range.t1; ++i) {
        const ChartSample &s = samples[i];
        if (!plottable(s.v)) {
            lineOpen = false;
            continue;
        }
        const bool joined = lineOpen && (range.gap <= 0 || s.t - lastT <= range.gap);
        const int x = std::min(range.width - 1, int((s.t - range.t0) * scale));
        // A break narrower than a pixel cannot be seen: the column stays one.
        if (!out.empty() && out.back().x == x) {
            PixelColumn &c = out.back();
            c.last = s.v;
            if (s.v < c.min) {
                c.min = s.v;
                c.minRow = s.row;
            }
            if (s.v > c.max) {
                c.max = s.v;
                c.maxRow = s.row;
            }
        } else {
            out.push_back({x, s.v, s.v, s.v, s.v, s.row, s.row, joined});
        }
        lineOpen = true;
        lastT = s.t;
    }
    return out;
}

} // namespace qv

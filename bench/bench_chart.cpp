// The Chart view on a million captured rows (one a second over twelve days,
// with an hour of the meter off each day). The reduction of every row to the
// plot's pixel columns is measured against its floor, one pass that reads
// every sample; the full redraw (series followed, axes set, reduced, painted
// into an image as the screen would be) and a zoom step against the 50 ms a
// frame may take; reading the rows into the series once, and following 1000
// appended rows, against the million.
#include "HistoryRows.h"
#include "chart/ChartReduction.h"
#include "chart/ChartSeries.h"
#include "chart/widgets/ChartView.h"
#include "protocol/FormatSettings.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

using namespace qv;

namespace {

constexpr int Rows = qvbench::MillionRows;
constexpr int Width = 1200;   // pixel columns of a full-screen plot

HistoryRow rowAt(std::mt19937 &rng, int i)
{
    // The meter is off in the first hour of each day.
    const int second = i + (i / 82800 + 1) * 3600;
    HistoryRow r = qvbench::captureLike(rng, second);
    char date[16];
    std::snprintf(date, sizeof date, "%02d-12-26", 1 + second / 86400);
    r[1] = date;
    return r;
}

HistoryStore &history()
{
    static HistoryStore store(qvbench::fixedWidths());
    if (store.HistRows() == 0) {
        formatSettings().decimalSeparator = '.';
        std::mt19937 rng(1);
        for (int i = 0; i < Rows; ++i)
            store.addCapturedRow(rowAt(rng, i));
    }
    return store;
}

const ChartSeries &series()
{
    static ChartSeries s;
    if (s.empty())
        s.follow(history().hist(), history().HistRows());
    return s;
}

void BM_ChartReduceMillion(benchmark::State &state)
{
    const auto &s = series().samples();
    const ReductionRange range{s.front().t, s.back().t, Width, series().gap(), false};
    size_t columns = 0;
    for (auto _ : state) {
        const auto cols = ReduceToColumns(s.data(), s.size(), range);
        columns = cols.size();
        benchmark::DoNotOptimize(cols.data());
    }
    state.SetItemsProcessed(int64_t(s.size()) * state.iterations());
    state.counters["columns"] = double(columns);
    state.counters["series_MB"] = double(s.capacity() * sizeof(ChartSample)) / 1e6;
}

// The floor: one pass over every sample.
void BM_FloorOnePassOverSamples(benchmark::State &state)
{
    const auto &s = series().samples();
    for (auto _ : state) {
        double sum = 0;
        for (const ChartSample &x : s)
            sum += x.v;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(s.size()) * state.iterations());
}

void BM_ChartReadMillionRows(benchmark::State &state)
{
    HistoryStore &h = history();
    for (auto _ : state) {
        ChartSeries s;
        s.follow(h.hist(), h.HistRows());
        benchmark::DoNotOptimize(s.samples().data());
    }
    state.SetItemsProcessed(int64_t(Rows) * state.iterations());
}

void BM_ChartFollowThousandAppended(benchmark::State &state)
{
    HistoryStore &h = history();
    ChartSeries s;
    s.follow(h.hist(), h.HistRows() - 1000);
    for (auto _ : state) {
        s.follow(h.hist(), h.HistRows());
        state.PauseTiming();
        s.invalidateFrom(h.HistRows() - 1000);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(1000 * state.iterations());
}

// The view as the window shows it, painted into an image of its size.
struct Frame {
    ChartView view{history()};
    QImage image;
    Frame()
    {
        // Shown (offscreen), so that the chart lays out its plot area.
        view.resize(Width + 100, 700);
        view.show();
        QCoreApplication::processEvents();
        view.refresh();
        QCoreApplication::processEvents();
        image = QImage(view.size(), QImage::Format_ARGB32_Premultiplied);
        paint();
    }
    void paint()
    {
        QPainter p(&image);
        view.render(&p);
    }
};

void BM_ChartFullRedrawMillion(benchmark::State &state)
{
    Frame f;
    for (auto _ : state) {
        f.view.refresh();
        f.paint();
    }
    state.SetItemsProcessed(int64_t(Rows) * state.iterations());
    state.counters["columns"] = double(f.view.columns().size());
}

void BM_ChartZoomStepMillion(benchmark::State &state)
{
    Frame f;
    const double t0 = f.view.timeMin(), t1 = f.view.timeMax();
    int step = 0;
    for (auto _ : state) {
        // In and out around the middle, as a wheel does.
        const double f2 = std::pow(0.8, step++ % 20);
        const double mid = (t0 + t1) / 2;
        f.view.showTimeRange(mid - (mid - t0) * f2, mid + (t1 - mid) * f2);
        f.paint();
    }
    state.SetItemsProcessed(int64_t(Rows) * state.iterations());
    state.counters["columns"] = double(f.view.columns().size());
}

} // namespace

BENCHMARK(BM_ChartReduceMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorOnePassOverSamples)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartReadMillionRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartFollowThousandAppended)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChartFullRedrawMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartZoomStepMillion)->Unit(benchmark::kMillisecond);

// `bench_chart --picture PATH` saves the frame that is measured, to look at.
int main(int argc, char **argv)
{
    return qvbench::benchMain<QApplication>(argc, argv, "--picture", [](const QString &path) {
        return int(!Frame().image.save(path));
    });
}

// Printing a large history into a PDF file: pages and rows per second, and
// the peak memory while printing (the pages are written out as they are
// finished, so the peak stays near the table's own size). The floor is the
// measuring pass over every cell that any printout makes first.
#include "HistoryRows.h"

#include "print/PrinterTarget.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>
#include <QTemporaryDir>

#include <memory>

namespace {

std::unique_ptr<qv::CellTable> history(int rows)
{
    static const qv::TextWidths widths = qv::TextWidths::fixed(1);
    std::mt19937 rng(7);
    auto t = std::make_unique<qv::CellTable>(qv::hc::HistoryColumns, widths);
    t->setRowCount(rows);
    for (int i = 0; i < rows; ++i) {
        qv::HistoryRow r = qvbench::captureLike(rng, i);
        r[0] = std::to_string(i + 1);
        r[16] = std::to_string(i + 1);
        t->setRowBytes(i, qv::JoinCells(r), false);
    }
    return t;
}

struct CountPages : qv::PrintProgress {
    int pages = 0;
    void start(int, int) override {}
    void setPage(int page) override { pages = std::max(pages, page); }
    void setLine(int) override {}
    bool cancelled() override { return false; }
    void finish() override {}
};

void BM_PrintToPdf(benchmark::State &state)
{
    const int rows = int(state.range(0));
    const auto table = history(rows);
    const qv::PrintRows printed{*table, qv::PrintKind::History, rows};
    QTemporaryDir dir;
    double measureSeconds = 0, printSeconds = 0;
    long peakKb = 0;
    int pages = 0;
    qint64 pdfBytes = 0;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Landscape);
        measureSeconds = qvbench::timed([&] {
            benchmark::DoNotOptimize(qv::MeasureTable(printed, QFontMetrics(qv::PrintFont(), &printer)));
        });
        qvbench::resetPeak();
        const long before = qvbench::statusKb("VmRSS:");
        const QString out = dir.filePath(QStringLiteral("bench.pdf"));
        qv::PrinterTarget target(printer);
        target.toPdf(out);
        CountPages count;
        printSeconds = qvbench::timed([&] {
            if (qv::PrintTable(printed, target, &count, nullptr) != qv::PrintResult::Printed)
                state.SkipWithError("the printout failed");
        });
        peakKb = qvbench::statusKb("VmHWM:") - before;
        pages = count.pages;
        pdfBytes = QFileInfo(out).size();
    }
    state.counters["pages"] = pages;
    state.counters["pages_per_s"] = pages / printSeconds;
    state.counters["rows_per_s"] = rows / printSeconds;
    state.counters["measure_floor_s"] = measureSeconds;
    state.counters["print_s"] = printSeconds;
    state.counters["peak_over_start_MB"] = double(peakKb) / 1024;
    state.counters["pdf_MB"] = double(pdfBytes) / 1e6;
}
BENCHMARK(BM_PrintToPdf)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    return qvbench::benchMain<QGuiApplication>(argc, argv);
}

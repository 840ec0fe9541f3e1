// The meter information window: its rows for what a simulated meter reports
// (a luminance probe, a plain one, none, an unlisted one), in both languages,
// against a golden listing; the compilation date shown only while Ctrl is
// held; the grid as the window shows it.
#include "support/GoldenText.h"
#include "support/SimulatedMeter.h"

#include "instrument/TInfoBox.h"
#include "instrument/TInfoBoxRows.h"
#include "protocol/FormatSettings.h"
#include "protocol/ValueFormat.h"

#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <tuple>

#include <gtest/gtest.h>

using namespace qv;
using namespace qvtest;

namespace {

struct Reported {
    TDataInfoQV info;
    TInfoMeterQV meter;
};

// The status and identification records a simulated meter sends when asked.
Reported reportedBy(const qvsim::MeterConfig &config)
{
    SimulatedMeter sim(config, 1);
    Reported r;
    sim.comm->OnReceiveInfoMeter = [&r](const TInfoMeterQV &m) { r.meter = m; };
    sim.run(2000);
    sim.comm->SendKey(kcI);
    sim.run(300);
    sim.comm->SendKey(kcB);
    sim.run(500);
    r.info = sim.comm->DataInfo();
    return r;
}

Reported luminanceProbe()
{
    qvsim::MeterConfig config;
    config.luminance = true;
    return reportedBy(config);
}

} // namespace

// The rows of every case, one line each: label | value | marks (W wide
// label, B bold, L left-aligned), compared with one golden listing.
TEST(InfoRows, RowsOfEachProbeInBothLanguagesMatchTheGoldenListing)
{
    ScopedFormatSettings fmt(FormatSettings{'.', '-', ':'});
    qvsim::MeterConfig k700;
    k700.model = qvsim::Model::K700;
    const Reported luminance = luminanceProbe();
    Reported none = luminance;
    none.info.ProbePresent = false;
    Reported unlisted = luminance;
    unlisted.meter.ProbeCode = 150;
    unlisted.meter.CalibrationCoefficient = -4194304;
    // Allowed probes sorted by name; codes the table does not list grouped by
    // version, the versions in text order, last.
    unlisted.meter.Permissions = {9, 5, 0, 0, 0, 0, 1, 0, 0, 2, 5, 10, 0, 0, 7, 4, 0, 0, 0, 0, 5, 0, 0, 3};
    unlisted.meter.BuildDate = FromQDateTime(QDateTime(QDate(2009, 11, 23), QTime(10, 42, 17)));
    const std::tuple<const char *, Reported, uint8_t> cases[] = {
        {"luminance probe, English", luminance, 1}, {"luminance probe, Polish", luminance, 0},
        {"K-700, English", reportedBy(k700), 1},     {"no probe, English", none, 1},
        {"no probe, Polish", none, 0},               {"unlisted probe code, Ctrl held, English", unlisted, 1},
    };
    QString listing;
    for (const auto &[name, r, language] : cases) {
        listing += QStringLiteral("== %1\n").arg(QLatin1String(name));
        for (const InfoRow &row : buildInfoRows(language, r.info, r.meter, r.meter.ProbeCode == 150))
            listing += QStringLiteral("%1 | %2 | %3%4%5\n")
                           .arg(row.label, row.value, row.wideLabel ? "W" : "", row.bold ? "B" : "",
                                row.leftAligned ? "L" : "");
    }
    expectGoldenText(QStringLiteral("infobox/rows.txt"), listing);
}

TEST(InfoRows, CalibrationFactorWithTheDecimalSeparatorSet)
{
    ScopedFormatSettings comma(FormatSettings{',', '.', ':'});
    EXPECT_EQ(calibrationText(8388607), "8388607 = 1,0000000");
}

// The compilation date's row (in the golden listing) is there only while Ctrl is held.
TEST(InfoBoxWindow, CompilationDateOnlyWhileCtrlIsHeld)
{
    const Reported r = luminanceProbe();
    QWidget keyboard;
    keyboard.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&keyboard));
    TInfoBox box(nullptr, 1);
    QTest::keyPress(keyboard.windowHandle(), Qt::Key_Control, Qt::ControlModifier);
    box.Fill(1, r.info, r.meter);
    QTest::keyRelease(keyboard.windowHandle(), Qt::Key_Control);
    EXPECT_EQ(box.Rows().size(), buildInfoRows(1, r.info, r.meter, true).size());
    box.Fill(1, r.info, r.meter);
    EXPECT_EQ(box.Rows().size(), buildInfoRows(1, r.info, r.meter, false).size());
}

// The grid shows the rows with their emphasis; section titles stay centred in
// the label column.
TEST(InfoBoxWindow, GridShowsTheRowsWithTheirEmphasis)
{
    const Reported r = luminanceProbe();
    TInfoBox box(nullptr, 1);
    box.Fill(1, r.info, r.meter);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    ASSERT_EQ(box.SG->rowCount(), int(box.Rows().size()));
    ASSERT_EQ(box.SG->columnCount(), 2);
    EXPECT_EQ(box.SG->selectionMode(), QAbstractItemView::NoSelection);
    const QImage grid = box.SG->viewport()->grab().toImage();
    const int columnWidth = box.SG->columnWidth(0);
    int titles = 0;
    for (int row = 0; row < box.SG->rowCount(); ++row) {
        const InfoRow &info = box.Rows()[size_t(row)];
        const QTableWidgetItem *label = box.SG->item(row, 0);
        EXPECT_EQ(label->text(), info.label) << row;
        EXPECT_EQ(box.SG->item(row, 1)->text(), info.value) << row;
        EXPECT_EQ(label->font().bold(), info.bold) << row;
        EXPECT_EQ(bool(label->textAlignment() & Qt::AlignLeft), info.leftAligned || info.wideLabel) << row;
        if (!info.value.isEmpty() || info.label.isEmpty())
            continue;
        ++titles;
        // The columns of ink in the title's row.
        const QRect cell = box.SG->visualRect(box.SG->model()->index(row, 0));
        int left = grid.width(), right = -1;
        for (int y = cell.top(); y <= cell.bottom() && y < grid.height(); ++y)
            for (int x = 0; x < grid.width(); ++x)
                if (qGray(grid.pixel(x, y)) < 128) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        ASSERT_GE(right, 0) << "row " << row << " shows nothing";
        EXPECT_LT(right, columnWidth) << info.label.toStdString();
        EXPECT_NEAR((left + right) / 2.0, (columnWidth - 1) / 2.0, 3) << info.label.toStdString();
    }
    EXPECT_EQ(titles, 3) << "probe, control unit, allowed probes";
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_FALSE(box.isVisible());
}

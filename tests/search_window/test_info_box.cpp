// The meter information window: its rows for what a simulated meter reports
// (a luminance probe, a plain one, none), in both languages; the unit and
// calibration texts; the allowed-probe list; the compilation date shown only
// while Ctrl is held; the grid as the window shows it.
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
    bool identified = false;
    sim.comm->OnReceiveInfoMeter = [&](const TInfoMeterQV &m) {
        r.meter = m;
        identified = true;
    };
    sim.run(2000);
    sim.comm->SendKey(kcI);
    sim.run(300);
    sim.comm->SendKey(kcB);
    sim.run(500);
    r.info = sim.comm->DataInfo();
    EXPECT_TRUE(identified);
    return r;
}

Reported luminanceProbe()
{
    qvsim::MeterConfig config;
    config.luminance = true;
    return reportedBy(config);
}

// The labels (or values) of the first `count` rows.
QStringList column(const std::vector<InfoRow> &rows, size_t count, QString InfoRow::*field = &InfoRow::label)
{
    QStringList out;
    for (size_t i = 0; i < count && i < rows.size(); ++i)
        out << rows[i].*field;
    return out;
}

const FormatSettings PointAndDashes{'.', '-', ':'};

} // namespace

TEST(InfoRows, LuminanceProbeInEnglish)
{
    ScopedFormatSettings fmt(PointAndDashes);
    const Reported r = luminanceProbe();
    const auto rows = buildInfoRows(1, r.info, r.meter, false);
    EXPECT_EQ(column(rows, 17),
              (QStringList{"Measurement probe", "Type:", "Firmware version:", "Range count:",
                           "Range multiplication factor:", "Dynamic range:",
                           "      • luminance mode 1°:", "      • luminance mode 3°:",
                           "      • luminance mode 10°:", "Measured quantity unit:", "Luminance mode:",
                           "Calibration factor:", "", "Control unit", "Firmware version:",
                           "Allowed measurement probes:", "type"}));
    EXPECT_EQ(column(rows, 17, &InfoRow::value),
              (QStringList{"", "Z.BLH-700", "0", "4", "×10", "0.1e-6 ÷ 1.500", "0.01e-3 ÷ 600.0",
                           "0.001e-3 ÷ 60.00", "0.1e-6 ÷ 6.000", "W·m-2  &  W·m-2·sr-1", "YES",
                           "7760292 = 0.9250990", "", "", "2.13", "", "max. firmware version"}));
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].wideLabel, i >= 6 && i <= 8) << i;
        EXPECT_EQ(rows[i].bold, i == 0 || i == 13 || i == 15 || rows[i].label == "Z.BLH-700")
            << "titles and the attached probe's type are bold: " << i;
    }
}

TEST(InfoRows, LuminanceProbeInPolish)
{
    const Reported r = luminanceProbe();
    const auto rows = buildInfoRows(0, r.info, r.meter, false);
    EXPECT_EQ(column(rows, 17),
              (QStringList{"Dołączona głowica pomiarowa", "Typ:", "Wersja programu:", "Ilość zakresów:",
                           "Krotność zakresów:", "Dynamika:", "      • tryb luminancji 1°:",
                           "      • tryb luminancji 3°:", "      • tryb luminancji 10°:", "Jednostka:",
                           "Tryb luminancji:", "Wsp. kalibracji:", "", "Jednostka sterująca",
                           "Wersja programu:", "Uprawnienia do głowic pomiarowych:", "typ głowicy"}));
    EXPECT_EQ(rows[10].value, "TAK");
    EXPECT_EQ(rows[16].value, "max. wersja programu");
    EXPECT_EQ(rows[17].label, "Amperomierz 700f") << "allowed probes by their Polish names";
}

TEST(InfoRows, PlainProbeHasNoAngleRows)
{
    qvsim::MeterConfig config;
    config.model = qvsim::Model::K700;
    const Reported r = reportedBy(config);
    const auto rows = buildInfoRows(1, r.info, r.meter, false);
    EXPECT_EQ(column(rows, 9).mid(5),
              (QStringList{"Dynamic range:", "Measured quantity unit:", "Luminance mode:",
                           "Calibration factor:"}));
    EXPECT_EQ(rows[6].value, "lx");
    EXPECT_EQ(rows[7].value, "NO");
    EXPECT_EQ(rows[10].label, "Control unit");
}

TEST(InfoRows, WithoutProbeTheProbeValuesAreDashes)
{
    Reported r = luminanceProbe();
    r.info.ProbePresent = false;
    for (uint8_t language : {0, 1}) {
        const auto rows = buildInfoRows(language, r.info, r.meter, false);
        EXPECT_EQ(rows[1].value, language == 0 ? "Brak głowicy" : "No probe");
        for (size_t i = 2; i <= 11; ++i)
            EXPECT_EQ(rows[i].value, "-") << i;
        EXPECT_EQ(rows[14].value, "2.13") << "the control unit is still shown";
    }
}

TEST(InfoRows, UnlistedProbeCodeShowsItsDescriptionAndIsNeverBold)
{
    Reported r = luminanceProbe();
    r.meter.ProbeCode = 150;
    r.meter.Permissions.fill(0);
    r.meter.Permissions[15] = 4;
    const auto rows = buildInfoRows(1, r.info, r.meter, false);
    EXPECT_EQ(rows[1].value, "Z.?(150)");
    EXPECT_EQ(rows.back().label, "1× ?");
    EXPECT_FALSE(rows.back().bold);
    EXPECT_TRUE(rows.back().leftAligned);
}

TEST(InfoRows, UnitTextsByKind)
{
    const std::tuple<int, bool, const char *> cases[] = {
        {0, false, "lx"}, {0, true, "lx  &  cd·m-2"}, {1, false, "W·m-2"}, {1, true, "W·m-2  &  W·m-2·sr-1"},
        {2, true, "A"},  // an ammeter has no luminance unit
        {3, false, "E·m-2·s-1"}, {3, true, "E·m-2·s-1  &  E·m-2·s-1·sr-1"}, {4, false, "-"}, {7, true, "-"}};
    for (const auto &[kind, luminance, text] : cases)
        EXPECT_EQ(infoUnitText(kind, luminance), QString::fromUtf8(text)) << kind << luminance;
}

TEST(InfoRows, CalibrationFactorAsAFractionWithSevenDecimals)
{
    {
        ScopedFormatSettings fmt(PointAndDashes);
        EXPECT_EQ(calibrationText(8388607), "8388607 = 1.0000000");
        EXPECT_EQ(calibrationText(0), "0 = 0.0000000");
        EXPECT_EQ(calibrationText(-4194304), "-4194304 = -0.5000001");
    }
    ScopedFormatSettings comma(FormatSettings{',', '.', ':'});
    EXPECT_EQ(calibrationText(8388607), "8388607 = 1,0000000");
}

TEST(AllowedProbes, SortedByNameWithUnlistedCodesGroupedByVersionLast)
{
    std::array<uint8_t, 24> permissions{};
    permissions[9] = 2;   // Z.PAR-700
    permissions[1] = 5;   // Z.K-700
    permissions[6] = 1;   // Ammeter 700f
    permissions[23] = 3;  // Z.S-700
    permissions[0] = 9;   // Prototype
    permissions[10] = 5;  // codes the table does not list:
    permissions[14] = 7;
    permissions[20] = 5;
    permissions[11] = 10;
    std::vector<QString> got;
    for (const AllowedProbe &p : allowedProbes(1, permissions))
        got.push_back(p.name + " " + p.version);
    EXPECT_EQ(got, (std::vector<QString>{"Ammeter 700f 1", "Prototype 9", "Z.K-700 5", "Z.PAR-700 2",
                                         "Z.S-700 3", "1× ? 10", "2× ? 5", "1× ? 7"}))
        << "versions of unlisted codes in text order";
}

TEST(InfoBoxWindow, CompilationDateOnlyWhileCtrlIsHeld)
{
    ScopedFormatSettings fmt(FormatSettings{'.', '/', '.'});
    Reported r = luminanceProbe();
    QDateTime built(QDate(2009, 11, 23), QTime(10, 42, 17));
    r.meter.BuildDate = FromQDateTime(built);
    QWidget keyboard;
    keyboard.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&keyboard));
    const auto fillWithCtrl = [&](TInfoBox &box, uint8_t language) {
        QTest::keyPress(keyboard.windowHandle(), Qt::Key_Control, Qt::ControlModifier);
        box.Fill(language, r.info, r.meter);
        QTest::keyRelease(keyboard.windowHandle(), Qt::Key_Control);
    };

    TInfoBox box(nullptr, 1);
    fillWithCtrl(box, 1);
    ASSERT_GT(box.Rows().size(), 16u);
    EXPECT_EQ(box.Rows()[14].label, "Firmware version:");
    EXPECT_EQ(box.Rows()[15].label, "Compilation date:");
    EXPECT_EQ(box.Rows()[15].value, "23/11/2009 10.42.17");
    EXPECT_EQ(box.Rows()[16].label, "Allowed measurement probes:");

    const size_t withDate = box.Rows().size();
    box.Fill(1, r.info, r.meter);
    EXPECT_EQ(box.Rows().size(), withDate - 1);
    EXPECT_EQ(box.Rows()[15].label, "Allowed measurement probes:");

    TInfoBox polish(nullptr, 0);
    fillWithCtrl(polish, 0);
    EXPECT_EQ(polish.Rows()[15].label, "Data kompilacji:");
}

TEST(InfoBoxWindow, SectionTitlesStayCentredInTheLabelColumn)
{
    const Reported r = luminanceProbe();
    TInfoBox box(nullptr, 1);
    box.Fill(1, r.info, r.meter);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    const QImage grid = box.SG->viewport()->grab().toImage();
    const int columnWidth = box.SG->columnWidth(0);
    int titles = 0;
    for (int row = 0; row < box.SG->rowCount(); ++row) {
        const InfoRow &info = box.Rows()[size_t(row)];
        if (!info.value.isEmpty() || info.label.isEmpty())
            continue;
        ++titles;
        // The columns of ink in the row.
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
}

TEST(InfoBoxWindow, GridShowsTheRowsWithTheirEmphasis)
{
    const Reported r = luminanceProbe();
    TInfoBox box(nullptr, 1);
    EXPECT_EQ(box.windowTitle(), "Meter info");
    EXPECT_EQ(TInfoBox(nullptr, 0).windowTitle(), "Informacje o mierniku");
    box.Fill(1, r.info, r.meter);
    ASSERT_EQ(box.SG->rowCount(), int(box.Rows().size()));
    ASSERT_EQ(box.SG->columnCount(), 2);
    EXPECT_EQ(box.SG->item(1, 0)->text(), "Type:");
    EXPECT_EQ(box.SG->item(1, 1)->text(), "Z.BLH-700");
    EXPECT_TRUE(box.SG->item(0, 0)->font().bold());
    EXPECT_FALSE(box.SG->item(1, 0)->font().bold());
    const int last = box.SG->rowCount() - 1;
    EXPECT_EQ(box.SG->item(last, 0)->text(), "2× ?");
    EXPECT_TRUE(box.SG->item(last, 0)->textAlignment() & Qt::AlignLeft);
    EXPECT_TRUE(box.SG->item(1, 0)->textAlignment() & Qt::AlignHCenter);
    int boldProbes = 0;
    for (int row = 17; row <= last; ++row)
        boldProbes += box.SG->item(row, 0)->font().bold() ? 1 : 0;
    EXPECT_EQ(boldProbes, 1) << "only the attached probe's type";
    EXPECT_EQ(box.SG->selectionMode(), QAbstractItemView::NoSelection);
    EXPECT_TRUE(box.OKBtn->isDefault());

    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Rejected);
}

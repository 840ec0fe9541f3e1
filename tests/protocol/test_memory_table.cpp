// The memory block turned into the tab-separated table.
#include "protocol/Cp1250.h"
#include "protocol/FormatSettings.h"
#include "protocol/MemoryTable.h"
#include "support/Frames.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace qv;
using qvtest::Frame;
using qvtest::MemoryBlock;

namespace {

Frame cell(float value, const char *comment = "LAMP A          ")
{
    Frame f(0x00);
    f.byte(7, 10).byte(8, 0x31).byte(9, 0x01).byte(10, 15).single(26, value).byte(30, 41).clock();
    f.text(48, comment);
    return f;
}

QList<QStringList> table(const MemoryBlock &block, uint8_t language = 1, uint32_t faulty = 0)
{
    QByteArray text;
    EXPECT_EQ(buildMemoryTable(reinterpret_cast<const uint8_t *>(block.data().constData()),
                               block.size(), language, text),
              faulty);
    QList<QStringList> rows;
    const QString s = FromCp1250(text);
    EXPECT_TRUE(s.isEmpty() || s.endsWith(QLatin1String("\t\r\n")));
    for (const QString &line : s.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        QStringList fields = line.split('\t');
        EXPECT_EQ(fields.takeLast(), QString()); // every field ends with a tab
        rows << fields;
    }
    return rows;
}

} // namespace

TEST(MemoryTable, PlainCellFields)
{
    ScopedFormatSettings s(FormatSettings{',', '.', ':'});
    MemoryBlock block(2);
    block.setCell(0, cell(12.345f));
    block.setCell(1, cell(0.5f, "                "));
    const auto rows = table(block);
    ASSERT_EQ(rows.size(), 2);
    const QStringList expected = {"1", "31.12.09", "23:59:30", "LAMP A", "12,34", "", "", "", "",
                                  "", "", "", "", "", "", "Z.K-700"};
    EXPECT_EQ(rows[0], expected);
    EXPECT_EQ(rows[1][0], "2");
    EXPECT_EQ(rows[1][3], ""); // a comment of spaces only
    EXPECT_EQ(rows[1][4], "0,50");
}

TEST(MemoryTable, RelativeCellHasTwoValuesThenEightEmptyFields)
{
    ScopedFormatSettings s(FormatSettings{'.', '-', ':'});
    Frame c = cell(5.0f);
    c.byte(5, 0x04).byte(32, 9).single(33, 40.0f).single(37, 125.0f);
    MemoryBlock block(1);
    block.setCell(0, c);
    const QStringList row = table(block).value(0);
    ASSERT_EQ(row.size(), MemoryFieldCount);
    EXPECT_EQ(row[5], "125.0");
    EXPECT_EQ(row[6], "40.00");
    for (int i = 7; i < 15; ++i)
        EXPECT_EQ(row[i], "") << i;
}

TEST(MemoryTable, IntegrationAndStatisticsFields)
{
    ScopedFormatSettings s(FormatSettings{'.', '-', ':'});
    Frame c = cell(5.0f);
    c.byte(5, 0x08).u32(32, 3725).single(36, 2500.0f).single(40, 1.0f).single(44, 4.0f);
    MemoryBlock block(1);
    block.setCell(0, c);
    const QStringList row = table(block).value(0);
    ASSERT_EQ(row.size(), MemoryFieldCount);
    EXPECT_EQ(row[5], "");
    EXPECT_EQ(row[7], "2.500e3");
    EXPECT_EQ(row[8], "01:02:05");
    EXPECT_EQ(row[9], "3725");
    EXPECT_EQ(row[10], "1.000");
    EXPECT_EQ(row[11], "4.000");
    EXPECT_EQ(row[13], "1.490");   // 1 * 3725 / 2500
    EXPECT_EQ(row[14], "250.0e-3");
}

TEST(MemoryTable, IntegrationOfADayOrMoreKeepsTheDownload)
{
    ScopedFormatSettings s(FormatSettings{'.', '-', ':'});
    Frame longDose = cell(5.0f);
    longDose.byte(5, 0x08).u32(32, 25 * 3600).single(36, 1.0f);
    MemoryBlock block(3);
    block.setCell(0, cell(1.0f));
    block.setCell(1, longDose);
    block.setCell(2, cell(2.0f));
    const auto rows = table(block);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[1][8], "25:00:00");
    EXPECT_EQ(rows[2][0], "3");
}

TEST(MemoryTable, InfiniteValuesAndOverflowingRatiosAreShown)
{
    ScopedFormatSettings s(FormatSettings{'.', '-', ':'});
    const float inf = INFINITY, nan = NAN;
    auto stats = [](int32_t count, float sum, float mn, float mx) {
        Frame c = cell(5.0f);
        c.byte(5, 0x20).u32(32, uint32_t(count)).single(36, sum).single(40, mn).single(44, mx);
        return c;
    };
    // Fields 10 to 15: count, minimum, maximum, average, min*count/sum, min/max.
    const struct {
        Frame cell;
        QStringList fields;
    } cases[] = {
        // min * count / sum and min / max overflow a Single.
        {stats(100, 1e-30f, 1e15f, 1e-25f), {"100", "1.000e15", "0.000", "0.000", "999.8e15", "999.8e15"}},
        {stats(2, 8.0f, 3.0f, inf), {"2", "3.000", "999.8e15", "4.000", "750.0e-3", "0.000"}},
        {stats(2, -inf, -inf, 1.0f), {"2", "999.8e15", "1.000", "999.8e15", "0.000", "999.8e15"}},
        {stats(4, nan, nan, 2.0f), {"4", "0.000", "2.000", "0.000", "0.000", "0.000"}},
        {stats(1, 1e12f, 1e12f, 1e12f), {"1", "1.000e12", "1.000e12", "1.000e12", "1.000", "1.000"}},
    };
    for (const auto &c : cases) {
        MemoryBlock block(3);
        block.setCell(0, cell(1.0f));
        block.setCell(1, c.cell);
        block.setCell(2, cell(2.0f));
        const auto rows = table(block);
        ASSERT_EQ(rows.size(), 3);
        EXPECT_EQ(rows[1].mid(9, 6), c.fields) << qPrintable(rows[1].join('|'));
        EXPECT_EQ(rows[2][4], "2.00");
    }
    // Dose and relative values too.
    Frame dose = cell(5.0f);
    dose.byte(5, 0x08).u32(32, 60).single(36, inf);
    Frame relative = cell(5.0f);
    relative.byte(5, 0x04).single(33, nan).single(37, -inf);
    MemoryBlock block(2);
    block.setCell(0, dose);
    block.setCell(1, relative);
    const auto rows = table(block);
    EXPECT_EQ(rows.value(0).mid(7, 2), (QStringList{"999.8e15", "00:01:00"}));
    EXPECT_EQ(rows.value(1).mid(5, 2), (QStringList{"999.8e15", "0.000"}));
}

TEST(MemoryTable, CellThatCannotBeShownKeepsTheOthers)
{
    ScopedFormatSettings s(FormatSettings{'.', '-', ':'});
    Frame negativeDose = cell(5.0f, "DOSE            ");
    negativeDose.byte(5, 0x08).u32(32, uint32_t(-5)).single(36, 1.0f);
    const Frame faulty[] = {
        cell(NAN, "DOSE            "), cell(INFINITY, "DOSE            "),
        cell(-INFINITY, "DOSE            "), negativeDose,
    };
    for (const Frame &bad : faulty) {
        MemoryBlock block(3);
        block.setCell(0, cell(1.0f));
        block.setCell(1, Frame(bad).byte(6, 0x01));
        block.setCell(2, cell(2.0f));
        const auto rows = table(block, 1, 1);
        ASSERT_EQ(rows.size(), 3);
        const QStringList expected = {"2", "31-12-09", "23:59:30", "DOSE", "", "", "", "", "",
                                      "", "", "", "", "", "", "No probe"};
        EXPECT_EQ(rows[1], expected);
        EXPECT_EQ(rows[0][4], "1.00");
        EXPECT_EQ(rows[2][4], "2.00");
    }
}

TEST(MemoryTable, FullMemoryIsNotCut)
{
    MemoryBlock block(512);
    for (int i = 0; i < 512; ++i)
        block.setCell(i, cell(float(i), "A LONG COMMENT X"));
    const auto rows = table(block);
    ASSERT_EQ(rows.size(), 512);
    EXPECT_EQ(rows.last()[0], "512");
    EXPECT_EQ(rows.last()[3], "A LONG COMMENT X");
    EXPECT_EQ(memoryCellCount(4 + 63 * 511), 511u);
    EXPECT_EQ(memoryCellCount(4), 0u);
}

TEST(MemoryTable, PolishDescriptionInWindows1250)
{
    Frame c = cell(1.0f);
    c.byte(6, 0x01);
    MemoryBlock block(1);
    block.setCell(0, c);
    EXPECT_EQ(table(block, 0).value(0).value(15), QStringLiteral("Brak głowicy"));
}

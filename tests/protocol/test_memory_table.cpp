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

QList<QStringList> table(const MemoryBlock &block, uint8_t language = 1)
{
    QByteArray text;
    EXPECT_TRUE(buildMemoryTable(reinterpret_cast<const uint8_t *>(block.data().constData()),
                                 block.size(), language, text));
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

TEST(MemoryTable, UndecodableCellFailsTheTable)
{
    Frame bad = cell(5.0f);
    bad.u32(26, 0x7FC00000); // not a number
    MemoryBlock block(2);
    block.setCell(0, cell(1.0f));
    block.setCell(1, bad);
    QByteArray text = "previous";
    EXPECT_FALSE(buildMemoryTable(reinterpret_cast<const uint8_t *>(block.data().constData()),
                                  block.size(), 1, text));
    EXPECT_EQ(text, "previous");

    Frame negative = cell(5.0f);
    negative.byte(5, 0x08).u32(32, uint32_t(-5));
    block.setCell(1, negative);
    EXPECT_FALSE(buildMemoryTable(reinterpret_cast<const uint8_t *>(block.data().constData()),
                                  block.size(), 1, text));
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

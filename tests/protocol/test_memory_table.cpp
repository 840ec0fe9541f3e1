// The memory block turned into the tab-separated table, beyond the captured
// downloads under tests/data/captures.
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

TEST(MemoryTable, ModeFieldsRelativeIntegrationAndStatistics)
{
    ScopedFormatSettings s(FormatSettings{'.', '-', ':'});
    Frame relative = cell(5.0f);
    relative.byte(5, 0x04).byte(32, 9).single(33, 40.0f).single(37, 125.0f);
    Frame dose = cell(5.0f);
    dose.byte(5, 0x08).u32(32, 3725).single(36, 2500.0f).single(40, 1.0f).single(44, 4.0f);
    Frame longDose = cell(5.0f);   // a day or more keeps the download
    longDose.byte(5, 0x08).u32(32, 25 * 3600).single(36, INFINITY);
    Frame badRelative = cell(5.0f);
    badRelative.byte(5, 0x04).single(33, NAN).single(37, -INFINITY);
    MemoryBlock block(4);
    block.setCell(0, relative);
    block.setCell(1, dose);
    block.setCell(2, longDose);
    block.setCell(3, badRelative);
    const auto rows = table(block);
    ASSERT_EQ(rows.size(), 4);
    for (const QStringList &row : rows)
        ASSERT_EQ(row.size(), MemoryFieldCount);
    EXPECT_EQ(rows[0].mid(5), (QStringList{"125.0", "40.00", "", "", "", "", "", "", "", "", "Z.K-700"}));
    // min * count / sum, and min / max.
    EXPECT_EQ(rows[1].mid(5, 7), (QStringList{"", "", "2.500e3", "01:02:05", "3725", "1.000", "4.000"}));
    EXPECT_EQ(rows[1].mid(13, 2), (QStringList{"1.490", "250.0e-3"}));
    EXPECT_EQ(rows[2].mid(7, 2), (QStringList{"999.8e15", "25:00:00"}));
    EXPECT_EQ(rows[3].mid(5, 2), (QStringList{"999.8e15", "0.000"}));
}

TEST(MemoryTable, CellThatCannotBeShownKeepsTheOthers)
{
    ScopedFormatSettings s(FormatSettings{'.', '-', ':'});
    Frame negativeDose = cell(5.0f, "DOSE            ");
    negativeDose.byte(5, 0x08).u32(32, uint32_t(-5)).single(36, 1.0f);
    for (const Frame &bad : {cell(INFINITY, "DOSE            "), cell(-INFINITY, "DOSE            "), negativeDose}) {
        MemoryBlock block(3);
        block.setCell(0, cell(1.0f));
        block.setCell(1, Frame(bad).byte(6, 0x01));
        block.setCell(2, cell(2.0f));
        const auto rows = table(block, 1, 1);
        ASSERT_EQ(rows.size(), 3);
        const QStringList expected = {"2", "31-12-09", "23:59:30", "DOSE", "", "", "", "", "",
                                      "", "", "", "", "", "", "No probe"};
        EXPECT_EQ(rows[1], expected);
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

// The memory block turned into the tab-separated table, beyond the captured
// downloads under tests/data/captures: the fields of each mode, cells that
// cannot be shown among good ones, a full memory.
#include "protocol/Cp1250.h"
#include "protocol/FormatSettings.h"
#include "protocol/MemoryTable.h"
#include "support/Frames.h"
#include "support/GoldenText.h"

#include <gtest/gtest.h>

#include <cmath>

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

// The table of `cells`, and how many of them could not be shown.
QString table(const std::vector<Frame> &cells, uint32_t *faulty = nullptr)
{
    MemoryBlock block(int(cells.size()));
    for (size_t i = 0; i < cells.size(); ++i)
        block.setCell(int(i), cells[i]);
    QByteArray text;
    const uint32_t bad =
        buildMemoryTable(reinterpret_cast<const uint8_t *>(block.data().constData()), block.size(), 1, text);
    if (faulty)
        *faulty = bad;
    return FromCp1250(text);
}

} // namespace

// Relative, integration (a day or more keeps the download) and statistics
// fields; cells with a value, or an integration time, that cannot be shown
// keep the others. Tabs are listed as " | ", line ends as "\r".
TEST(MemoryTable, TablesMatchTheGoldenListing)
{
    ScopedFormatSettings s(FormatSettings{'.', '-', ':'});
    const char *dose = "DOSE            ";
    const std::vector<std::pair<const char *, std::vector<Frame>>> cases = {
        {"modes", {cell(5.0f).byte(5, 0x04).byte(32, 9).single(33, 40.0f).single(37, 125.0f),
                   cell(5.0f).byte(5, 0x08).u32(32, 3725).single(36, 2500.0f).single(40, 1.0f)
                       .single(44, 4.0f),
                   cell(5.0f).byte(5, 0x08).u32(32, 25 * 3600).single(36, INFINITY),
                   cell(5.0f).byte(5, 0x04).single(33, NAN).single(37, -INFINITY)}},
        {"infinite value", {cell(1.0f), cell(INFINITY, dose).byte(6, 0x01), cell(2.0f)}},
        {"minus infinite value", {cell(1.0f), cell(-INFINITY, dose).byte(6, 0x01), cell(2.0f)}},
        {"negative time", {cell(1.0f), cell(5.0f, dose).byte(5, 0x08).u32(32, uint32_t(-5)).single(36, 1.0f)
                                           .byte(6, 0x01), cell(2.0f)}},
    };
    QString listing;
    for (const auto &[name, cells] : cases) {
        uint32_t faulty = 0;
        QString text = table(cells, &faulty);
        text.replace(QLatin1Char('\t'), QLatin1String(" | ")).replace(QLatin1Char('\r'), "\\r");
        listing += QStringLiteral("## %1: %2 not shown\n").arg(QLatin1String(name)).arg(faulty) + text;
    }
    qvtest::expectGoldenText(QStringLiteral("protocol/memory-tables.txt"), listing);
}

TEST(MemoryTable, FullMemoryIsNotCut)
{
    const std::vector<Frame> cells(512, cell(1.0f, "A LONG COMMENT X"));
    const QStringList rows = table(cells).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 512);
    EXPECT_TRUE(rows.last().startsWith(QStringLiteral("512\t"))) << qPrintable(rows.last());
    EXPECT_EQ(rows.last().section('\t', 3, 3), "A LONG COMMENT X");
    EXPECT_EQ(memoryCellCount(4 + 63 * 511), 511u);
    EXPECT_EQ(memoryCellCount(4), 0u);
}

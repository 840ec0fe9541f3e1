// The field rules of history files beyond the cases of the data files: the
// separators of the system, and the rules one by one with the slow lenient
// readings and the fast forms giving the same text.
#include "files/HistoryFields.h"

#include "protocol/FormatSettings.h"

#include <QDate>

#include <gtest/gtest.h>

using namespace qv;

namespace {
std::string cellOf(std::string_view field, FieldRule rule, const FieldFormat &format)
{
    std::string out;
    AppendFieldCell(out, field, rule, format);
    return out;
}
} // namespace

TEST(HistoryFields, RulesWithTheSystemSeparators)
{
    const ScopedFormatSettings settings(FormatSettings{',', '/', '.'});
    const FieldFormat f = FieldFormat::current();
    EXPECT_EQ(f.decimal, ',');
    const struct {
        FieldRule rule;
        const char *field;
        const char *cell;
    } cases[] = {
        {FieldRule::Number, "1,5", "1,500"},
        {FieldRule::Number, "1.5", ""},          // not the system's separator
        {FieldRule::Number, ",25", "250,0e-3"},
        {FieldRule::Number, "1,235e3", "1,235e3"},
        {FieldRule::Date, "07/12/2026", "07/12/26"},
        {FieldRule::Date, "07-12-2026", ""},
        {FieldRule::Date, "2026/12/07", "07/12/26"},   // year first
        {FieldRule::Date, "12/31/2026", "31/12/26"},   // month first
        {FieldRule::Date, "31/02/2026", ""},
        {FieldRule::Date, "29/02/27", "27/02/29"},   // no 29 February 2027: year first
        {FieldRule::Time, "10.15.30", "10.15.30"},
        {FieldRule::Time, "10:15:30", ""},
        {FieldRule::Time, "7.5", "07.05.00"},
        {FieldRule::Time, "23.60.00", ""},
        {FieldRule::Elapsed, "100.00.00", "100.00.00"},
        {FieldRule::Elapsed, "24.00.00", "24.00.00"},
        {FieldRule::Elapsed, "25.61.00", ""},
        {FieldRule::Elapsed, "25:00:00", ""},
        {FieldRule::Integer, "  42", "42"},
        {FieldRule::Integer, "42 ", ""},
        {FieldRule::Integer, "2147483647", "2147483647"},
        {FieldRule::Integer, "2147483648", ""},
        {FieldRule::Integer, "-2147483648", "-2147483648"},
        {FieldRule::Integer, "0000000000012", "12"},
        {FieldRule::Integer, "", ""},
        {FieldRule::Comment, "123456789012345678901234567", "123456789012345678901234"},
        {FieldRule::Unchanged, " x ", " x "},
    };
    for (const auto &c : cases)
        EXPECT_EQ(cellOf(c.field, c.rule, f), c.cell) << c.field;
}

TEST(HistoryFields, ReadsCellDatesAndTimesForWritingAndExport)
{
    const FieldFormat f;
    int y = 0, m = 0, d = 0;
    ASSERT_TRUE(ReadCellDate("07-12-26", f, y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 20261207);
    ASSERT_TRUE(ReadCellDate("5-3-8", f, y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 20080305);
    EXPECT_FALSE(ReadCellDate("", f, y, m, d));
    EXPECT_FALSE(ReadCellDate("31-13-45", f, y, m, d));   // in no order a date
    ASSERT_TRUE(ReadCellDate("31-04-26", f, y, m, d));     // no 31 April: year first
    EXPECT_EQ(y * 10000 + m * 100 + d, 20310426);
    int h = 0, mi = 0, s = 0;
    ASSERT_TRUE(ReadCellTime("7:5:3", f, h, mi, s));
    EXPECT_EQ(h * 10000 + mi * 100 + s, 70503);
    EXPECT_FALSE(ReadCellTime("25:00:00", f, h, mi, s));
}

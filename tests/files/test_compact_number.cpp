// CompactNumberText and the number rule of history files: the examples, the
// round-up at four digits, and the compact form as a fixed point (what the
// program writes reads back as the same text, which lets the reader keep
// such cells without converting them).
#include "files/HistoryFields.h"
#include "search/CompactNumberText.h"

#include "protocol/FormatSettings.h"

#include <charconv>
#include <cmath>
#include <random>

#include <gtest/gtest.h>

using namespace qv;

TEST(CompactNumberText, ExamplesAndLimits)
{
    const struct {
        double x;
        const char *text;
    } cases[] = {
        // The limits: below 1e-18 nothing, from the over-range value on "Over".
        {0, "0.000"}, {1e-20, "0.000"}, {1.7e38, "Over"}, {INFINITY, "Over"}, {NAN, "0.000"},
        {-12.345678, "12.35"}, {2e18, "999.9e15"}, {-1e39, "999.9e15"},
        // The round-up boundary: four digits that round to 10000 give the
        // text of 10000 itself; those that round to 1000 move the separator.
        {9999.4, "9.999e3"}, {9999.5, "10.00e3"}, {999.95, "1.000e3"}, {9.99951e-4, "1.000e-3"},
        // Ties in decimal go away from zero.
        {12.125, "12.13"}, {0.0625, "62.50e-3"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CompactNumberText(c.x, '.'), c.text) << c.x;
    EXPECT_EQ(CompactNumberText(1234.56, ','), "1,235e3");
    const ScopedFormatSettings comma(FormatSettings{',', '-', ':'});
    EXPECT_EQ(CompactNumberText(0.5), QStringLiteral("500,0e-3"));
}

TEST(CompactNumberText, EveryCompactTextReadsBackAsItself)
{
    // All 27 000 mantissas at every exponent: reading the text and writing it
    // again gives it unchanged, by the full reading and by the reader's own.
    const FieldFormat format;
    std::string cell;
    int checked = 0;
    for (int e = -18; e <= 15; e += 3) {
        for (int sep = 1; sep <= 3; ++sep) {
            for (int m = 1000; m <= 9999; ++m) {
                std::string text = std::to_string(m);
                text.insert(size_t(sep), 1, '.');
                if (e != 0)
                    text += "e" + std::to_string(e);
                double v = 0;
                std::from_chars(text.data(), text.data() + text.size(), v);
                ASSERT_EQ(CompactNumberText(v, '.'), text);
                ASSERT_TRUE(ReadNumberField(text, format, cell));
                ASSERT_EQ(cell, text);
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, 12 * 3 * 9000);
}

TEST(CompactNumberText, RandomValuesGiveCompactTextsThatReadBack)
{
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> exponent(-25, 25);
    const FieldFormat format;
    std::string cell;
    for (int i = 0; i < 200000; ++i) {
        const double x = std::pow(10.0, exponent(rng));
        const std::string text = CompactNumberText(x, '.');
        ASSERT_LE(text.size(), 9u) << x;
        ASSERT_EQ(text.size() == 5 || text[5] == 'e', true) << text;
        // The value is within half a unit of the fourth digit.
        double v = 0;
        std::from_chars(text.data(), text.data() + text.size(), v);
        if (x >= 1e-18 && x <= 1e18) {
            ASSERT_NEAR(v, x, std::fabs(x) * 5.0001e-4) << x << " " << text;
        }
        ASSERT_TRUE(ReadNumberField(text, format, cell));
        ASSERT_EQ(cell, text);
    }
}

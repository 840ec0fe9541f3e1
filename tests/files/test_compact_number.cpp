// CompactNumberText and the number rule of history files: the examples, the
// round-up at four digits, and the compact form as a fixed point (what the
// program writes reads back as the same text, which lets the reader keep
// such cells without converting them).
#include "files/HistoryFields.h"
#include "GoldenTable.h"
#include "search/CompactNumberText.h"

#include "protocol/FormatSettings.h"

#include <charconv>
#include <cstdlib>
#include <cmath>
#include <random>

#include <gtest/gtest.h>

using namespace qv;

TEST(CompactNumberText, ExamplesAndLimits)
{
    qvtest::expectGoldenTable("files/compact-numbers.tsv", 2, [](const QStringList &in) {
        const double x = std::strtod(in[0].toLatin1().constData(), nullptr);
        return QStringList{QString::fromStdString(CompactNumberText(x, in[1][0].toLatin1()))};
    });
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

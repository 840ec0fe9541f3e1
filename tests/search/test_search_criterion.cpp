// Typed criteria as a box normalises them, per style and separators; the
// compact number text the number boxes show; the operator symbols.
#include "protocol/FormatSettings.h"
#include "search/CompactNumberText.h"
#include "search/SearchCriterion.h"


#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace qv;

namespace {

FormatSettings separators(QChar decimal, QChar date = '-', QChar time = ':')
{
    FormatSettings f;
    f.decimalSeparator = decimal;
    f.dateSeparator = date;
    f.timeSeparator = time;
    return f;
}

const QDateTime Now(QDate(2025, 6, 15), QTime(12, 34, 56));

} // namespace

TEST(ValidateText, NumbersReadWithEitherSeparatorWithoutBlanks)
{
    const struct {
        QChar decimal;
        TSearchStyle style;
        const char *typed;
        bool ok;
        const char *shown;
        double value;
    } cases[] = {
        {'.', ssReal, "1,5", true, "1.500", 1.5},
        {'.', ssReal, "1.5", true, "1.500", 1.5},
        {',', ssReal, "1.5", true, "1,500", 1.5},
        {',', ssReal, "1,5", true, "1,500", 1.5},
        {'.', ssReal, "12 346", true, "12.35e3", 12346},
        {'.', ssReal, "over", true, "Over", OverValue},
        {'.', ssReal, "OvEr", true, "Over", OverValue},
        {'.', ssReal, "", true, "0.000", 0},
        {'.', ssReal, "   ", true, "0.000", 0},
        {'.', ssReal, "2e39", true, "Over", OverValue},      // above the over-range value: held at it
        {'.', ssReal, "1e400", true, "Over", OverValue},     // beyond a double: the same
        {'.', ssReal, "-12.345678", true, "12.35", -12.345678},   // the text drops the sign
        {'.', ssReal, ".5", true, "500.0e-3", 0.5},
        {'.', ssReal, "1.2.3", false, "", 0},
        {'.', ssReal, "abc", false, "", 0},
        {'.', ssReal, "12a", false, "", 0},
        {'.', ssReal, "inf", false, "", 0},
        {'.', ssLongint, "12 3", true, "123", 123},
        {'.', ssLongint, "", true, "0", 0},
        {'.', ssLongint, "+7", true, "7", 7},
        {'.', ssLongint, "-7", true, "-7", -7},
        {'.', ssLongint, "1.5", false, "", 0},
        {'.', ssLongint, "1,5", false, "", 0},
        {'.', ssLongint, "2147483648", false, "", 0},
        {'.', ssLongint, "-2147483648", true, "-2147483648", -2147483648.0},
    };
    for (const auto &c : cases) {
        const ScopedFormatSettings scoped(separators(c.decimal));
        TResult r;
        r.Text = QStringLiteral("before");
        r.RealValue = 99;
        r.IntValue = 99;
        const Validated v = ValidateText(c.style, QString::fromUtf8(c.typed), r, Now);
        const std::string what = std::string("'") + c.typed + "' with '" + char(c.decimal.unicode()) + "'";
        ASSERT_EQ(v.ok, c.ok) << what;
        if (!c.ok) {
            // The box keeps what it had.
            EXPECT_EQ(r.Text, QStringLiteral("before")) << what;
            EXPECT_EQ(r.RealValue, 99) << what;
            continue;
        }
        EXPECT_EQ(v.text, QLatin1String(c.shown)) << what;
        EXPECT_EQ(r.Text, QLatin1String(c.shown)) << what;
        if (c.style == ssReal)
            EXPECT_DOUBLE_EQ(r.RealValue, c.value) << what;
        else
            EXPECT_EQ(r.IntValue, int32_t(c.value)) << what;
    }
}

TEST(ValidateText, DatesAndTimesReadLeniently)
{
    const struct {
        QChar dateSep, timeSep;
        TSearchStyle style;
        const char *typed;
        const char *shown;
    } cases[] = {
        {'-', ':', ssDate, "1.2.11", "01-02-11"},
        {'.', ':', ssDate, "1.2.11", "01.02.11"},
        {'-', ':', ssDate, "1/2/2011", "01-02-11"},
        {'-', ':', ssDate, "01-02-99", "01-02-99"},
        {'-', ':', ssDate, "1 2", "01-02-25"},        // no year: this year
        {'-', ':', ssDate, "29.2.00", "29-02-00"},    // 2000 was a leap year
        {'-', ':', ssDate, "letters", "15-06-25"},    // unreadable: today
        {'-', ':', ssDate, "", "15-06-25"},
        {'-', ':', ssDate, "31.2.11", "15-06-25"},    // no such day
        {'-', ':', ssDate, "1..2.11", "15-06-25"},    // an empty part
        {'-', ':', ssDate, "1.2.3.4", "15-06-25"},
        {'-', ':', ssDate, "15", "15-06-25"},
        {'-', ':', ssTime, "7 5 3", "07:05:03"},
        {'-', '.', ssTime, "7 5 3", "07.05.03"},
        {'-', ':', ssTime, "12.30", "12:30:00"},
        {'-', ':', ssTime, "7", "07:00:00"},
        {'-', ':', ssTime, "24:00", "12:34:56"},      // no such time: now
        {'-', ':', ssTime, "1:60", "12:34:56"},
        {'-', ':', ssTime, "", "12:34:56"},
        {'-', ':', ssTime, "1:2:3:4", "12:34:56"},
    };
    for (const auto &c : cases) {
        const ScopedFormatSettings scoped(separators('.', c.dateSep, c.timeSep));
        TResult r;
        const Validated v = ValidateText(c.style, QString::fromUtf8(c.typed), r, Now);
        EXPECT_TRUE(v.ok);
        EXPECT_EQ(v.text, QLatin1String(c.shown)) << c.typed;
        EXPECT_EQ(c.style == ssDate ? r.DateText : r.TimeText, QLatin1String(c.shown)) << c.typed;
        EXPECT_TRUE(r.Text.isEmpty()) << "a date or time box leaves the value text alone";
    }
    // Texts stand as typed.
    TResult r;
    EXPECT_EQ(ValidateText(ssText, QStringLiteral(" a, b "), r, Now).text, QStringLiteral(" a, b "));
}

TEST(CompactNumberText, FourDigitsAndAnExponentOfThree)
{
    const struct {
        double x;
        const char *text;
    } cases[] = {
        {0, "0.000"},
        {1, "1.000"},
        {12.345678, "12.35"},
        {1234.56, "1.235e3"},
        {56789, "56.79e3"},
        {0.0123, "12.30e-3"},
        {0.5, "500.0e-3"},
        {2e18, "999.9e15"},
        {1e-20, "0.000"},
        {2.5e-39, "0.000"},
        {1.7e38, "Over"},
        {1e300, "Over"},
        {-12.345678, "12.35"},
        {12.125, "12.13"},        // an exact tie goes away from zero
        {999.95, "1.000e3"},      // rounding up to a fourth digit before the point
        {9999.4, "9.999e3"},
        {9999.5, "10.00e3"},      // rounding up to 10000: two digits before the point
        {9999499, "9.999e6"},
        {9999500, "10.00e6"},
        {0.99995, "1.000"},
        {std::numeric_limits<double>::quiet_NaN(), "0.000"},
        {std::numeric_limits<double>::infinity(), "Over"},
        {-std::numeric_limits<double>::infinity(), "999.9e15"},   // -1.7e38 is below the over-range
    };
    for (const auto &c : cases)
        EXPECT_EQ(CompactNumberText(c.x, '.'), c.text) << c.x;
    EXPECT_EQ(CompactNumberText(1.5, ','), "1,500");
}

TEST(Operators, SymbolFontBytesShowTheirGlyphs)
{
    QString shown;
    for (int i = 0; i < OperatorCount(ssReal); ++i)
        shown += SymbolGlyphs(OperatorSymbol(ssReal, i));
    for (int i = 1; i < OperatorCount(ssText); ++i)
        shown += SymbolGlyphs(OperatorSymbol(ssText, i));
    EXPECT_EQ(shown, QString::fromUtf8("×≠<≤=≥>…=…=…≠…≠"));
}

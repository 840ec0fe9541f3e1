// Typed criteria as a box normalises them, per style and separators.
#include "protocol/FormatSettings.h"
#include "search/SearchCriterion.h"


#include <gtest/gtest.h>


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
        {',', ssReal, "1,5", true, "1,500", 1.5},
        {'.', ssReal, "12 346", true, "12.35e3", 12346},
        {'.', ssReal, "over", true, "Over", OverValue},
        {'.', ssReal, "OvEr", true, "Over", OverValue},
        {'.', ssReal, "", true, "0.000", 0},
        {'.', ssReal, "2e39", true, "Over", OverValue},      // above the over-range value: held at it
        {'.', ssReal, "1e400", true, "Over", OverValue},     // beyond a double: the same
        {'.', ssReal, "-12.345678", true, "12.35", -12.345678},   // the text drops the sign
        {'.', ssReal, ".5", true, "500.0e-3", 0.5},
        {'.', ssReal, "1.2.3", false, "", 0},
        {'.', ssReal, "12a", false, "", 0},
        {'.', ssReal, "inf", false, "", 0},
        {'.', ssLongint, "12 3", true, "123", 123},
        {'.', ssLongint, "+7", true, "7", 7},
        {'.', ssLongint, "-7", true, "-7", -7},
        {'.', ssLongint, "1.5", false, "", 0},
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
        {'-', ':', ssDate, "1 2", "01-02-25"},        // no year: this year
        {'-', ':', ssDate, "29.2.00", "29-02-00"},    // 2000 was a leap year
        {'-', ':', ssDate, "letters", "15-06-25"},    // unreadable: today
        {'-', ':', ssDate, "31.2.11", "15-06-25"},    // no such day
        {'-', ':', ssDate, "1..2.11", "15-06-25"},    // an empty part
        {'-', ':', ssDate, "15", "15-06-25"},
        {'-', ':', ssTime, "7 5 3", "07:05:03"},
        {'-', '.', ssTime, "7 5 3", "07.05.03"},
        {'-', ':', ssTime, "12.30", "12:30:00"},
        {'-', ':', ssTime, "7", "07:00:00"},
        {'-', ':', ssTime, "24:00", "12:34:56"},      // no such time: now
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

#include "protocol/FormatSettings.h"
#include "protocol/ValueFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace qv;

namespace {

FormatSettings withDecimal(QChar sep)
{
    FormatSettings s;
    s.decimalSeparator = sep;
    return s;
}

// Reads a value text back as a number: "<number> <prefix>", "<number>e<x>"
// or a bare number.
double textValue(const QString &text, QChar sep)
{
    QString mantissa = text;
    int exponent = 0;
    if (const qsizetype e = text.indexOf(QLatin1Char('e')); e >= 0) {
        mantissa = text.left(e);
        exponent = text.mid(e + 1).toInt();
    } else if (const qsizetype space = text.indexOf(QLatin1Char(' ')); space >= 0) {
        mantissa = text.left(space);
        exponent = static_cast<int>(QStringLiteral("afpnum kMGTP").indexOf(text.at(space + 1))) * 3 - 18;
    }
    mantissa.replace(sep, QLatin1Char('.'));
    return mantissa.toDouble() * std::pow(10.0, exponent);
}

class BothSeparators : public ::testing::TestWithParam<char> {};
INSTANTIATE_TEST_SUITE_P(Decimal, BothSeparators, ::testing::Values('.', ','),
                         [](const ::testing::TestParamInfo<char> &info) {
                             return std::string(info.param == '.' ? "point" : "comma");
                         });

QString sep(QString text, char c)
{
    return text.replace(QLatin1Char('.'), QLatin1Char(c));
}

} // namespace

namespace {

// The SI formatting read step by step, its fixed-point text taken from the
// exact decimal expansion of the scaled Single: slow, and independent of the
// digit arithmetic of the routine under test.
QString plainSI(float value, bool exponentForm)
{
    auto fromBits = [](uint32_t bits) {
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    };
    float v = value;
    if (std::isnan(v))
        v = 0;
    else if (std::isinf(v))
        v = fromBits(v > 0 ? 0x7F7FC99Eu : 0xFF7FC99Eu);
    v = std::fabs(v);
    if (v < 1e-18)
        v = 0;
    else if (v > 1e18)
        v = fromBits(0x5D5E05BCu);
    const int d = v == 0 ? 6 : std::max(6, std::abs(int(std::trunc(std::log10(double(v))))) + 1);
    int x = 0;
    while (v >= 10000) {
        v = v / 1000;
        x += 3;
    }
    while (v > 0 && v < 1) {
        v = v * 1000;
        x -= 3;
    }
    // d significant digits, half away from zero, then written with d decimals.
    char buf[128];
    std::snprintf(buf, sizeof buf, "%.70e", double(v));
    std::string digits = std::string(1, buf[0]) + std::string(buf + 2, std::strchr(buf, 'e'));
    int intDigits = v == 0 ? 1 : std::atoi(std::strchr(buf, 'e') + 1) + 1;
    const bool up = digits[size_t(d)] >= '5';
    digits.resize(size_t(d));
    if (up) {
        int i = d - 1;
        while (i >= 0 && digits[size_t(i)] == '9')
            digits[size_t(i--)] = '0';
        if (i < 0) {
            digits.insert(digits.begin(), '1');
            ++intDigits;
        } else {
            ++digits[size_t(i)];
        }
    }
    digits.resize(size_t(intDigits + d), '0');
    const int p = intDigits + 1; // where the separator stands, counted from 1
    int k = 0;
    while (p - k > 4)
        k += 3;
    QString s = QString::fromLatin1(digits.c_str());
    s.insert(p - k - 1, QLatin1Char('.'));
    s.truncate(5);
    x += k;
    const QChar prefix = PrefixChar(x);
    if (prefix.isNull())
        return QStringLiteral("       ");
    if (!exponentForm)
        return s + ' ' + prefix;
    return x == 0 ? s : s + 'e' + QString::number(x);
}

} // namespace

TEST(ValueFormat, SIAgreesWithAPlainReadingOnRandomSingles)
{
    const ScopedFormatSettings scoped(withDecimal(QLatin1Char('.')));
    // Two fixed points of the reading: 9.999e17 as a Single is
    // 999899997468098560, truncated, not rounded; six digits carry over.
    EXPECT_EQ(FormatValueSI(5e18f, false), "999.8 P");
    EXPECT_EQ(FormatValueSI(9999.999f, true), "10.00e3");
    std::mt19937 rng(11);
    std::vector<float> values;
    // Every bit pattern is as likely: all exponents, subnormals, NaN, INF.
    for (int i = 0; i < 60000; ++i) {
        const uint32_t bits = uint32_t(rng());
        float v;
        std::memcpy(&v, &bits, sizeof v);
        values.push_back(v);
    }
    // Round numbers of every decade the prefixes reach, and their neighbours.
    for (int n = -19; n <= 19; ++n) {
        for (float mantissa : {1.0f, 1.5f, 3.0f, 9.999f, 10.0f, 100.0f, 999.95f}) {
            const float round = float(mantissa * std::pow(10.0, n));
            float below = round, above = round;
            for (int step = 0; step < 4; ++step) {
                values.push_back(below);
                values.push_back(above);
                below = std::nextafter(below, 0.0f);
                above = std::nextafter(above, INFINITY);
            }
        }
    }
    for (float v : values) {
        for (bool exponentForm : {false, true})
            ASSERT_EQ(FormatValueSI(v, exponentForm), plainSI(v, exponentForm))
                << v << " exponent form " << exponentForm;
    }
}

TEST_P(BothSeparators, RangeExamplesAndEdges)
{
    const ScopedFormatSettings scoped(withDecimal(QLatin1Char(GetParam())));
    const char c = GetParam();
    EXPECT_EQ(FormatValueRange(15, 41, false, 12.345f), sep("12.34  ", c));
    EXPECT_EQ(FormatValueRange(15, 41, true, 12.345f), sep("12.34", c));
    EXPECT_EQ(FormatValueRange(15, 47, false, 0.0f), sep("0.00 M", c));
    EXPECT_EQ(FormatValueRange(15, 41, false, -0.5f), FormatValueRange(15, 41, false, 0.5f));
    EXPECT_EQ(FormatValueRange(15, 41, false, NAN), FormatValueRange(15, 41, false, 0.0f));
    // Above range 17 one more digit is shown.
    EXPECT_EQ(FormatValueRange(18, 41, false, 0.5f), sep("0.500  ", c));
    // Half to even at the last digit: 0.125 at 0.01 is 0.12, 0.375 is 0.38.
    EXPECT_EQ(FormatValueRange(15, 41, false, 0.125f), sep("0.12  ", c));
    EXPECT_EQ(FormatValueRange(15, 41, false, 0.375f), sep("0.38  ", c));
    // Whole units move to the next prefix, unless resolution = length + pos.
    EXPECT_EQ(FormatValueRange(15, 43, false, 12.0f), sep("0.012 k", c));
    EXPECT_EQ(FormatValueRange(15, 46, false, 5000.0f), "5 k");
}

TEST(ValueFormat, ExponentsWithoutPrefixGiveSevenSpaces)
{
    for (int x : {-21, -19, -1, 1, 16, 18})
        EXPECT_TRUE(PrefixChar(x).isNull()) << x;
    // The exponent follows the value down to the resolution of the range...
    EXPECT_EQ(FormatValueRange(15, 0, false, 1.0f), "1.000  ");
    // ...and beyond the prefixes the text is blank.
    EXPECT_EQ(FormatValueRange(15, 0, true, 1e-30f), "       ");
    EXPECT_EQ(FormatValueRange(15, 255, false, 1.0f), "       ");
}

// Random values over every decade: both routines must show the value to
// their resolution, in the documented shape, whatever the separator.
TEST_P(BothSeparators, SweepShowsTheValue)
{
    const QChar c = QLatin1Char(GetParam());
    const ScopedFormatSettings scoped(withDecimal(c));
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> decade(-17.9, 17.9);
    int ranged = 0;
    for (int i = 0; i < 20000; ++i) {
        const float v = static_cast<float>(std::pow(10.0, decade(rng)));
        // The SI text is the plain reading's (above), with this separator.
        const QString si = FormatValueSI(v, false);
        ASSERT_EQ(si.count(c), 1) << qPrintable(si);
        ASSERT_NEAR(textValue(si, c), v, 1e-3 * v) << qPrintable(si);

        const int r = i % 2 ? 15 : 18;
        const int e = 20 + static_cast<int>(rng() % 70);
        const QString text = FormatValueRange(r, static_cast<uint8_t>(e), false, v);
        if (text.trimmed().isEmpty())
            continue;
        ++ranged;
        const QString number = text.left(text.indexOf(QLatin1Char(' ')));
        ASSERT_EQ(text.size(), number.size() + 2) << qPrintable(text);
        ASSERT_LE(number.size() - number.count(c), 4) << qPrintable(text);
        ASSERT_FALSE(number.startsWith(c) || number.endsWith(c)) << qPrintable(text);
        const int p = (e / 3 - 13) * 3 + e % 3 - (r > 17 ? 6 : 5) + 1;
        const qsizetype dot = number.indexOf(c);
        const int decimals = dot < 0 ? 0 : static_cast<int>(number.size() - dot - 1);
        const int x = static_cast<int>(QStringLiteral("afpnum kMGTP").indexOf(text.back())) * 3 - 18;
        const double unit = std::pow(10.0, x - decimals);
        ASSERT_GE(unit, std::pow(10.0, p) * 0.999) << qPrintable(text);
        ASSERT_NEAR(textValue(text, c), v, std::pow(10.0, p) + unit) << qPrintable(text) << " " << v;
    }
    EXPECT_GT(ranged, 5000);
}

TEST(MeterClock, FlagBitsAreIgnoredAndAnInvalidClockIsNow)
{
    // Flag bits above the hours and the month are ignored.
    const uint8_t flagged[6] = {0x00, 0x00, 0xE3, 0x29, 0xE2, 0x08};
    EXPECT_EQ(ToQDateTime(DecodeMeterDateTime(flagged)), QDateTime(QDate(2008, 2, 29), QTime(23, 0)));
    const uint8_t bad[][6] = {
        {0x60, 0, 0, 1, 1, 9},    // 60 s
        {0, 0, 0, 0x29, 0x02, 9}, // 29 Feb 2009
        {0, 0, 0, 1, 0x13, 9},    // month 13
        {0x0A, 0, 0, 1, 1, 9},    // not BCD
    };
    for (const auto &b : bad) {
        const TDateTime before = NowDateTime();
        const TDateTime t = DecodeMeterDateTime(b);
        EXPECT_GE(t, before);
        EXPECT_LE(t, NowDateTime());
    }
}

TEST(DateTimeText, SeparatorsAndCarries)
{
    FormatSettings s;
    s.dateSeparator = '.';
    s.timeSeparator = '/';
    const ScopedFormatSettings scoped(s);
    TDateTime t = 0;
    ASSERT_TRUE(EncodeDateTime(2009, 12, 31, 23, 59, 30, t));
    EXPECT_EQ(FormatDate(t), "31.12.09");
    EXPECT_EQ(FormatTime(t), "23/59/30");
    // A fraction a hair below midnight rounds into the next day.
    EXPECT_EQ(FormatDate(40178.9999999999), "01.01.10");
    EXPECT_EQ(FormatTime(40178.9999999999), "00/00/00");
    EXPECT_EQ(FormatElapsed(90000), "25/00/00");
    EXPECT_EQ(FormatElapsed(3661), "01/01/01");
    EXPECT_EQ(FormatElapsed(360000), "100/00/00");
    EXPECT_EQ(FormatElapsed(-61), "-00/01/01");
}

TEST(DateTimeText, EncodeAndConvert)
{
    TDateTime t = 7;
    EXPECT_FALSE(EncodeDateTime(2009, 2, 29, 0, 0, 0, t));
    EXPECT_FALSE(EncodeDateTime(2009, 1, 1, 24, 0, 0, t));
    EXPECT_FALSE(EncodeDateTime(0, 1, 1, 0, 0, 0, t));
    EXPECT_EQ(t, 7);
    // Before the epoch the day counts back while the fraction stays the time.
    ASSERT_TRUE(EncodeDateTime(1899, 12, 29, 6, 0, 0, t));
    EXPECT_DOUBLE_EQ(t, -1.25);
    EXPECT_EQ(ToQDateTime(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
    const QDateTime local(QDate(2024, 7, 1), QTime(12, 34, 56, 789));
    EXPECT_EQ(ToQDateTime(FromQDateTime(local)), local);
    EXPECT_EQ(ToQDateTime(FromQDateTime(local.toUTC())), local);
}

TEST(PadNumber, PadsOrCutsFromTheLeft)
{
    EXPECT_EQ(PadNumber(5, 2) + PadNumber(123, 2) + PadNumber(7, 0), "0523");
}

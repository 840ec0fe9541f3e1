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

TEST_P(BothSeparators, SIExamplesAndEdges)
{
    const ScopedFormatSettings scoped(withDecimal(QLatin1Char(GetParam())));
    const char c = GetParam();
    EXPECT_EQ(FormatValueSI(1234.5f, false), sep("1.234 k", c));
    EXPECT_EQ(FormatValueSI(1234.5f, true), sep("1.234e3", c));
    EXPECT_EQ(FormatValueSI(0.5f, false), sep("500.0 m", c));
    EXPECT_EQ(FormatValueSI(0.5f, true), sep("500.0e-3", c));
    EXPECT_EQ(FormatValueSI(0.0f, false), sep("0.000  ", c));
    EXPECT_EQ(FormatValueSI(0.0f, true), sep("0.000", c));
    EXPECT_EQ(FormatValueSI(-1234.5f, false), FormatValueSI(1234.5f, false));
    EXPECT_EQ(FormatValueSI(2e-19f, false), FormatValueSI(0.0f, false));
    // 9.999e17 as a Single is 999899997468098560: truncated, not rounded.
    EXPECT_EQ(FormatValueSI(5e18f, false), sep("999.8 P", c));
    EXPECT_EQ(FormatValueSI(5e18f, false), FormatValueSI(9.999e17f, false));
    EXPECT_EQ(FormatValueSI(INFINITY, false), sep("999.8 P", c));
    EXPECT_EQ(FormatValueSI(NAN, true), sep("0.000", c));
    EXPECT_EQ(FormatValueSI(1e-18f, false), sep("1.000 a", c));
    // Rounding to six digits carries into the next prefix.
    EXPECT_EQ(FormatValueSI(0.01f, false), sep("10.00 m", c));
    EXPECT_EQ(FormatValueSI(9999.999f, false), sep("10.00 k", c));
    EXPECT_EQ(FormatValueSI(12.345f, false), sep("12.34  ", c));
}

// Round numbers as the meter sends them, one unit in the last place below
// and above: the scaling keeps single precision, so a Single that stands for
// a round number shows as one.
TEST_P(BothSeparators, SinglesAtTheRoundingEdges)
{
    const ScopedFormatSettings scoped(withDecimal(QLatin1Char(GetParam())));
    const char c = GetParam();
    const struct {
        uint32_t bits;
        const char *plain;
        const char *exponent;
    } cases[] = {
        {0x5368D4A4, "999.9 G", "999.9e9"},   {0x5368D4A5, "1.000 T", "1.000e12"}, // 1e12
        {0x5368D4A6, "1.000 T", "1.000e12"},  {0x528BB2C8, "299.9 G", "299.9e9"},
        {0x528BB2C9, "300.0 G", "300.0e9"},   {0x528BB2CA, "300.0 G", "300.0e9"},  // 3e11
        {0x2D83F0FE, "14.99 p", "14.99e-12"}, {0x2D83F0FF, "15.00 p", "15.00e-12"}, // 1.5e-11
        {0x2D83F100, "15.00 p", "15.00e-12"}, {0x2C531B31, "2.999 p", "2.999e-12"},
        {0x2C531B32, "3.000 p", "3.000e-12"}, {0x2C531B33, "3.000 p", "3.000e-12"}, // 3e-12
        {0x7F800000, "999.8 P", "999.8e15"},  {0xFF800000, "999.8 P", "999.8e15"},  // +-INF
        {0x7FC00000, "0.000  ", "0.000"},     {0xFFC00001, "0.000  ", "0.000"},     // NaN
        {0x7F7FFFFF, "999.8 P", "999.8e15"},  {0x00000001, "0.000  ", "0.000"},
    };
    for (const auto &e : cases) {
        float v;
        std::memcpy(&v, &e.bits, sizeof v);
        EXPECT_EQ(FormatValueSI(v, false), sep(e.plain, c)) << std::hex << e.bits;
        EXPECT_EQ(FormatValueSI(v, true), sep(e.exponent, c)) << std::hex << e.bits;
    }
}

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
    EXPECT_EQ(FormatValueRange(15, 41, false, 0.5f), sep("0.50  ", c));
    EXPECT_EQ(FormatValueRange(15, 41, false, 1234.5f), sep("1.234 k", c));
    EXPECT_EQ(FormatValueRange(15, 41, true, 1234.5f), sep("1.234e3", c));
    EXPECT_EQ(FormatValueRange(15, 47, false, 12345.0f), sep("0.01 M", c));
    EXPECT_EQ(FormatValueRange(15, 41, false, 0.0f), sep("0.00  ", c));
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
    EXPECT_EQ(FormatValueRange(15, 46, false, 50000.0f), sep("0.050 M", c));
    EXPECT_EQ(FormatValueRange(15, 46, false, 5000.0f), "5 k");
}

TEST(ValueFormat, ExponentsWithoutPrefixGiveSevenSpaces)
{
    EXPECT_EQ(PrefixChar(-18), QLatin1Char('a'));
    EXPECT_EQ(PrefixChar(-6), QLatin1Char('u'));
    EXPECT_EQ(PrefixChar(0), QLatin1Char(' '));
    EXPECT_EQ(PrefixChar(15), QLatin1Char('P'));
    for (int x : {-21, -19, -1, 1, 16, 18})
        EXPECT_TRUE(PrefixChar(x).isNull()) << x;
    // The exponent follows the value down to the resolution of the range...
    EXPECT_EQ(FormatValueRange(15, 0, false, 1.0f), "1.000  ");
    // ...and beyond the prefixes the text is blank.
    EXPECT_EQ(FormatValueRange(15, 0, false, 1e-30f), "       ");
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
        const QString si = FormatValueSI(v, false);
        ASSERT_EQ(si.size(), 7) << v;
        ASSERT_EQ(si.at(5), QLatin1Char(' ')) << v;
        ASSERT_EQ(si.count(c), 1) << qPrintable(si);
        const double shown = textValue(si, c);
        ASSERT_NEAR(shown, v, 1e-3 * v) << qPrintable(si);
        ASSERT_NEAR(textValue(FormatValueSI(v, true), c), shown, 1e-9 * shown) << qPrintable(si);
        ASSERT_EQ(FormatValueSI(-v, true), FormatValueSI(v, true));

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

TEST(MeterClock, DecodesPackedBcd)
{
    const uint8_t clock[6] = {0x30, 0x59, 0x23, 0x31, 0x12, 0x09};
    EXPECT_EQ(ToQDateTime(DecodeMeterDateTime(clock)),
              QDateTime(QDate(2009, 12, 31), QTime(23, 59, 30)));
    EXPECT_DOUBLE_EQ(DecodeMeterDateTime(clock), 40178 + 86370 / 86400.0);
    // Flag bits above the hours and the month are ignored.
    const uint8_t flagged[6] = {0x00, 0x00, 0xE3, 0x29, 0xE2, 0x08};
    EXPECT_EQ(ToQDateTime(DecodeMeterDateTime(flagged)),
              QDateTime(QDate(2008, 2, 29), QTime(23, 0)));
}

TEST(MeterClock, InvalidClockIsNow)
{
    const uint8_t bad[][6] = {
        {0x60, 0, 0, 1, 1, 9},    // 60 s
        {0, 0, 0x24, 1, 1, 9},    // 24 h
        {0, 0, 0, 0x29, 0x02, 9}, // 29 Feb 2009
        {0, 0, 0, 0x00, 0x01, 9}, // day 0
        {0, 0, 0, 1, 0x13, 9},    // month 13
        {0x0A, 0, 0, 1, 1, 9},    // not BCD
        {0, 0, 0, 1, 1, 0xA0},    // not BCD
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
    EXPECT_EQ(PadNumber(5, 2), "05");
    EXPECT_EQ(PadNumber(0, 3), "000");
    EXPECT_EQ(PadNumber(123, 2), "23");
    EXPECT_EQ(PadNumber(42, 2), "42");
    EXPECT_EQ(PadNumber(7, 0), "");
}

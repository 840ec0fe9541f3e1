#include "protocol/FormatSettings.h"
#include "protocol/ValueFormat.h"
#include "support/GoldenText.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cmath>
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

// The SI text of singles of every kind (random bit patterns: all exponents,
// subnormals, NaN, INF; round numbers of every decade and their
// neighbours), one "bits exponent-form text" line each, in a golden file.
// QV_UPDATE_GOLDEN=1 writes it anew from the values already listed.
TEST(ValueFormat, SITextsMatchTheirGoldenFile)
{
    const ScopedFormatSettings scoped(withDecimal(QLatin1Char('.')));
    QFile file(QStringLiteral(QV_TEST_DATA_DIR "/format/si.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 4000);
    QString texts;
    for (const QString &line : lines) {
        const uint32_t bits = line.left(8).toUInt(nullptr, 16);
        float v;
        std::memcpy(&v, &bits, sizeof v);
        texts += line.left(10) + ' ' + FormatValueSI(v, line.at(9) == QLatin1Char('1')) + '\n';
    }
    qvtest::expectGoldenText(QStringLiteral("format/si.txt"), texts);
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

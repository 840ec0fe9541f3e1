// The frame decoders: status block, measurement block, identification and
// text editing, read from frames built field by field.
#include "protocol/FormatSettings.h"
#include "protocol/FrameDecoders.h"
#include "protocol/Probes.h"
#include "support/Frames.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace qv;
using qvtest::Frame;

namespace {

constexpr uint8_t kEnglish = 1, kPolish = 0;

// A measurement frame at range number 15, exponent code 41 (last digit
// 10^-2, full scale 150), three ranges, the middle one selected, ranges a
// decade apart (D = 1, ... bar step 10^(1/95)).
Frame measFrame(float value)
{
    Frame f(0x02);
    f.byte(7, 10).byte(8, 0x31).byte(9, 0x01).byte(10, 15).single(26, value).byte(30, 41);
    return f;
}

TDataMeasQV decodeMeas(const Frame &f, bool complete = true, uint8_t language = kEnglish)
{
    TDataMeasQV m;
    decodeMeasurement(FrameView(f.ptr()), complete, language, m);
    return m;
}

TDataInfoQV decodeInfo(const Frame &f, bool seen = false)
{
    TDataInfoQV info;
    decodeStatus(FrameView(f.ptr()), f.bytes()[2], seen, info);
    return info;
}

} // namespace

TEST(MeasurementDecoder, ValueTextFollowsTheRangeInBothSeparators)
{
    {
        ScopedFormatSettings dot(FormatSettings{'.', '-', ':'});
        EXPECT_EQ(decodeMeas(measFrame(12.345f)).ValueText, QStringLiteral("12.34  "));
    }
    ScopedFormatSettings comma(FormatSettings{',', '.', ':'});
    const TDataMeasQV m = decodeMeas(measFrame(12.345f));
    EXPECT_EQ(m.ValueText, QStringLiteral("12,34  "));
    EXPECT_FLOAT_EQ(m.Value, 12.345f);
    EXPECT_EQ(m.ProbeCode, 10);
    EXPECT_TRUE(m.ProbePresent);
    EXPECT_EQ(m.Description, QStringLiteral("Z.K-700"));
}

TEST(MeasurementDecoder, BarPositionSpansTheDecadesFromFullScale)
{
    EXPECT_EQ(decodeMeas(measFrame(0.0f)).BarPosition, 0);
    EXPECT_EQ(decodeMeas(measFrame(150.0f)).BarPosition, 127);
    // One decade below full scale is 95 steps of 10^(1/95) down.
    EXPECT_EQ(decodeMeas(measFrame(15.0f)).BarPosition, 127 - 95);
    // Two steps above full scale is clamped to the end of the bar.
    EXPECT_EQ(decodeMeas(measFrame(150.0f * float(std::pow(10.0, 2.0 / 95)))).BarPosition, 128);
    // Far below the bar, and a negative value, both give the empty bar.
    EXPECT_EQ(decodeMeas(measFrame(1e-6f)).BarPosition, 0);
    EXPECT_EQ(decodeMeas(measFrame(-5.0f)).BarPosition, 0);
    // Without a multiplicity there is no bar step at all.
    Frame flat = measFrame(100.0f);
    flat.byte(9, 0x00);
    EXPECT_EQ(decodeMeas(flat).BarPosition, 0);
}

TEST(MeasurementDecoder, RangeLimitCodeIgnoresBitsAboveTheRangeField)
{
    Frame over = measFrame(200.0f);
    over.byte(31, 0x10 | 7); // limit code 2, position 1, plus a bit outside the field
    TDataMeasQV m = decodeMeas(over);
    EXPECT_TRUE(m.OverRange);
    EXPECT_FALSE(m.UnderRange);
    EXPECT_EQ(m.Description, QStringLiteral("Z.K-700, Over"));

    // Automatic ranging can still go up from the middle range, not from the top.
    over.byte(5, 0x10);
    EXPECT_TRUE(decodeMeas(over).RangeChange);
    over.byte(8, 0x32);
    EXPECT_FALSE(decodeMeas(over).RangeChange);

    Frame under = measFrame(0.01f);
    under.byte(31, 3).byte(5, 0x10);
    m = decodeMeas(under);
    EXPECT_TRUE(m.UnderRange);
    EXPECT_TRUE(m.RangeChange);
    EXPECT_EQ(m.Description, QStringLiteral("Z.K-700, Under"));
    // On the lowest range under-range is shown by the value alone.
    under.byte(8, 0x30);
    m = decodeMeas(under);
    EXPECT_TRUE(m.UnderRange);
    EXPECT_FALSE(m.RangeChange);
    EXPECT_EQ(m.Description, QStringLiteral("Z.K-700"));
}

TEST(MeasurementDecoder, RelativeModeLeavesTheSeriesEmpty)
{
    Frame f = measFrame(50.0f);
    f.byte(5, 0x04 | 0x20).byte(32, 3).single(33, 40.0f).single(37, 125.0f);
    const TDataMeasQV m = decodeMeas(f);
    EXPECT_TRUE(m.RelativeMode);
    EXPECT_FLOAT_EQ(m.Reference, 40.0f);
    EXPECT_FLOAT_EQ(m.RelativeResult, 125.0f);
    EXPECT_EQ(m.ReferenceText, QStringLiteral("40.00  "));
    EXPECT_EQ(m.RelativeResultText, QStringLiteral("125.0  "));
    EXPECT_EQ(m.SeriesCount, 0);
    EXPECT_EQ(m.SeriesMin, 0.0f);
    EXPECT_EQ(m.SeriesMinToMax, 0.0f);
    EXPECT_FALSE(m.SeriesMode);
    EXPECT_FALSE(m.DoseMode);
    EXPECT_EQ(m.SeriesCountText, QStringLiteral("0"));
}

TEST(MeasurementDecoder, StatisticsAverageAndRatios)
{
    Frame f = measFrame(50.0f);
    f.u32(32, 4).single(36, 200.0f).single(40, 40.0f).single(44, 80.0f);
    TDataMeasQV m = decodeMeas(f);
    EXPECT_TRUE(m.SeriesMode);
    EXPECT_EQ(m.SeriesCount, 4);
    EXPECT_FLOAT_EQ(m.SeriesAverage, 50.0f);
    EXPECT_FLOAT_EQ(m.SeriesMinToAverage, 0.8f);
    EXPECT_FLOAT_EQ(m.SeriesMinToMax, 0.5f);
    EXPECT_EQ(m.SeriesCountText, QStringLiteral("4"));
    EXPECT_EQ(m.SeriesAverageText, QStringLiteral("50.00  "));

    // No samples: no division, everything 0.
    f.u32(32, 0).single(44, 0.0f);
    m = decodeMeas(f);
    EXPECT_EQ(m.SeriesAverage, 0.0f);
    EXPECT_EQ(m.SeriesMinToAverage, 0.0f);
    EXPECT_EQ(m.SeriesMinToMax, 0.0f);
    EXPECT_FALSE(m.SeriesMode);

    // A count too long for the 8-character text is cut.
    f.u32(32, 1234567890);
    EXPECT_EQ(decodeMeas(f).SeriesCountText, QStringLiteral("12345678"));
}

TEST(MeasurementDecoder, IntegrationTimeText)
{
    Frame f = measFrame(1.0f);
    f.byte(5, 0x08).byte(6, 0x08).u32(32, 3725).single(36, 2.5f);
    TDataMeasQV m = decodeMeas(f, true, kPolish);
    EXPECT_TRUE(m.DoseMode);
    EXPECT_TRUE(m.SeriesMode);
    EXPECT_EQ(m.DoseTime, 3725);
    EXPECT_EQ(m.DoseTimeText, QStringLiteral("01:02:05"));
    EXPECT_TRUE(m.DoseOverflow);
    EXPECT_EQ(m.Description, QStringLiteral("Z.K-700, Over Całka"));
    // 100 hours: the hours keep their last two digits.
    f.u32(32, 360000);
    EXPECT_EQ(decodeMeas(f).DoseTimeText, QStringLiteral("00:00:00"));
}

TEST(MeasurementDecoder, LuminanceShiftsTheRangeAndNamesTheAttachment)
{
    Frame f = measFrame(12.345f);
    // Luminance possible takes 2 from the range, luminance mode adds them back.
    f.byte(6, 0x02).byte(5, 0x80).byte(9, 0x31);
    TDataMeasQV m = decodeMeas(f);
    EXPECT_EQ(m.AngleCode, 3);
    EXPECT_EQ(m.ValueText, QStringLiteral("12.34  "));
    EXPECT_EQ(m.Description, QStringLiteral("Z.K-700, Lum.10°"));
    // Without luminance mode the attachment nibble is not read.
    f.byte(5, 0x00);
    m = decodeMeas(f);
    EXPECT_EQ(m.AngleCode, 0);
    EXPECT_EQ(m.Description, QStringLiteral("Z.K-700"));
}

TEST(MeasurementDecoder, NonFiniteSinglesAreKeptAndShownAsTheDisplayShowsThem)
{
    ScopedFormatSettings dot(FormatSettings{'.', '-', ':'});
    const float inf = INFINITY;
    // A series whose maximum (and so its sum and average) is infinite.
    Frame f = measFrame(5.0f);
    f.byte(5, 0x20).u32(32, 2).single(36, inf).single(40, 4.0f).single(44, inf);
    TDataMeasQV m = decodeMeas(f);
    EXPECT_EQ(m.SeriesMax, inf);
    EXPECT_EQ(m.SeriesMaxText, QStringLiteral("999.8 P"));
    EXPECT_EQ(m.SeriesAverage, inf);
    EXPECT_EQ(m.SeriesAverageText, QStringLiteral("999.8 P"));
    EXPECT_EQ(m.SeriesMinToAverageText, QStringLiteral("0.000  "));
    EXPECT_EQ(m.SeriesMinToMaxText, QStringLiteral("0.000  "));
    EXPECT_EQ(m.SeriesMinText, QStringLiteral("4.000  "));

    // NaN shows as 0; a negative infinity as the largest value.
    f.single(40, std::nanf("")).single(44, -inf);
    m = decodeMeas(f);
    EXPECT_TRUE(std::isnan(m.SeriesMin));
    EXPECT_EQ(m.SeriesMinText, QStringLiteral("0.000  "));
    EXPECT_EQ(m.SeriesMaxText, QStringLiteral("999.8 P"));

    Frame relative = measFrame(5.0f);
    relative.byte(5, 0x04).single(33, inf).single(37, std::nanf(""));
    m = decodeMeas(relative);
    EXPECT_EQ(m.Reference, inf);
    EXPECT_EQ(m.ReferenceText, QStringLiteral("999.8 P"));
    EXPECT_EQ(m.RelativeResultText, QStringLiteral("0.000  "));

    Frame dose = measFrame(5.0f);
    dose.byte(5, 0x08).u32(32, 60).single(36, -inf);
    EXPECT_EQ(decodeMeas(dose).DoseText, QStringLiteral("999.8 P"));
}

TEST(MeasurementDecoder, MeasuredValueThatCannotBePlacedReadsAsZero)
{
    // The range text and the bar have no place for these: the value is 0.
    for (uint32_t bits : {0x7FC00000u, 0x7F800000u, 0xFF800000u}) {
        const TDataMeasQV m = decodeMeas(measFrame(0.0f).u32(26, bits));
        EXPECT_EQ(m.Value, 0.0f) << std::hex << bits;
        EXPECT_EQ(m.ValueText, decodeMeas(measFrame(0.0f)).ValueText);
        EXPECT_EQ(m.BarPosition, 0);
    }
}

TEST(StatusDecoder, SettingsBitsAndCodes)
{
    Frame f(0x01);
    f.byte(5, 0x12).byte(6, 0x80 | 0x40 | 0x20 | 0x10).byte(7, 12).byte(8, 0x42).menu(231)
        .word(14, uint16_t(37 << 6)).byte(16, 25).byte(17, 7).byte(18, 3).byte(19, 5).clock();
    const TDataInfoQV info = decodeInfo(f);
    EXPECT_TRUE(info.ProbePresent);
    EXPECT_TRUE(info.LuxProbe);
    EXPECT_TRUE(info.ContinuousMeas);
    EXPECT_TRUE(info.AutoRange);
    EXPECT_FALSE(info.SingleMeas);
    EXPECT_TRUE(info.EnglishCharset);
    EXPECT_TRUE(info.BacklightOn);
    EXPECT_TRUE(info.AlarmOn);
    EXPECT_TRUE(info.ExtMemory);
    EXPECT_EQ(info.RangeCount, 4);
    EXPECT_EQ(info.RangeIndex, 2);
    EXPECT_EQ(info.MenuCode, 231);
    EXPECT_EQ(info.MemoCells, 37);
    EXPECT_EQ(info.MemoLevel, 1);
    EXPECT_EQ(info.BatteryLevel, 9);
    EXPECT_EQ(info.AutoSaveTime, 15 * 60);
    EXPECT_EQ(info.AutoOffTime, 10);
    EXPECT_EQ(info.BaudRate, 9600u);
    // 31 December 2009 23:59:30.
    EXPECT_NEAR(info.DateTime, 40178.0 + (23 * 3600 + 59 * 60 + 30) / 86400.0, 1e-9);
}

TEST(StatusDecoder, CodesOutsideTheirTables)
{
    Frame f(0x01);
    f.byte(17, 10).byte(18, 8).byte(19, 6);
    const TDataInfoQV info = decodeInfo(f);
    EXPECT_EQ(info.AutoSaveTime, 0);
    EXPECT_EQ(info.AutoOffTime, 0);
    EXPECT_EQ(info.BaudRate, 0u);
    EXPECT_EQ(decodeInfo(Frame(0x01).byte(17, 4)).AutoSaveTime, 60);
}

TEST(StatusDecoder, MemoryFillLevel)
{
    EXPECT_EQ(decodeInfo(Frame(0x01).word(14, 0)).MemoLevel, 0);
    EXPECT_EQ(decodeInfo(Frame(0x01).word(14, uint16_t(64 << 6))).MemoLevel, 2);
    EXPECT_EQ(decodeInfo(Frame(0x01).word(14, uint16_t(512u << 6) - 1)).MemoLevel, 8);
    // A full external memory fills the gauge.
    EXPECT_EQ(decodeInfo(Frame(0x01).word(14, uint16_t(511 << 6)).byte(6, 0x10)).MemoLevel, 9);
    EXPECT_EQ(decodeInfo(Frame(0x01).word(14, 0xFFFF)).MemoLevel, 9);
}

TEST(StatusDecoder, BatteryLevelsOfBothCodings)
{
    const struct { uint8_t code; uint8_t level; } cases[] = {
        {0, 0}, {1, 1}, {17, 1}, {18, 2}, {29, 13}, {30, 13}, {0x80, 0}, {0x80 | 80, 1},
        {0x80 | 81, 2}, {0x80 | 92, 5}, {0x80 | 100, 9}, {0x80 | 110, 12}, {0x80 | 111, 13},
    };
    for (const auto &c : cases)
        EXPECT_EQ(batteryLevel(c.code), c.level) << int(c.code);
    EXPECT_EQ(batteryVoltage(0x80), 0.0f); // mains adapter
    EXPECT_GT(batteryVoltage(0x80 | 110), batteryVoltage(0x80 | 81));
}

TEST(StatusDecoder, SeriesRunningRemembersTheLastCount)
{
    bool seen = false;
    Frame meas(0x02);
    meas.u32(32, 3);
    TDataInfoQV info;
    decodeStatus(FrameView(meas.ptr()), 0x02, seen, info);
    EXPECT_TRUE(info.SeriesRunning);
    EXPECT_TRUE(seen);
    // A status frame between measurements carries the remembered count.
    Frame status(0x01);
    decodeStatus(FrameView(status.ptr()), 0x01, seen, info);
    EXPECT_TRUE(info.SeriesRunning);
    // Relative and integration modes never count as a series from the count...
    status.byte(5, 0x04);
    decodeStatus(FrameView(status.ptr()), 0x01, seen, info);
    EXPECT_FALSE(info.SeriesRunning);
    // ...but statistics with autosave always do.
    status.byte(5, 0x24);
    decodeStatus(FrameView(status.ptr()), 0x01, seen, info);
    EXPECT_TRUE(info.SeriesRunning);
    // Text frames do not use the remembered flag.
    Frame text(0x06);
    decodeStatus(FrameView(text.ptr()), 0x06, seen, info);
    EXPECT_FALSE(info.SeriesRunning);
}

TEST(IdentificationDecoder, FirmwareAreaAndLimits)
{
    Frame f(0x03);
    f.byte(7, 35).byte(8, 0x31).byte(9, 0x03).byte(10, uint8_t((2 << 5) | 15)).byte(11, 39);
    f.text(30, "09-03-15 10:20:30v1.2");
    for (int i = 0; i < 24; ++i)
        f.byte(53 + 2 * i, uint8_t('0' + i % 3));
    f.u32(100, 4194304);
    TInfoMeterQV info;
    decodeIdentification(FrameView(f.ptr()), info);
    EXPECT_EQ(info.FirmwareVersion, QStringLiteral("v1.2"));
    EXPECT_EQ(info.ProbeVariant, QStringLiteral("5"));
    EXPECT_EQ(info.ProbeCode, 35);
    EXPECT_EQ(info.Permissions[0], 0);
    EXPECT_EQ(info.Permissions[1], 1);
    EXPECT_EQ(info.Permissions[23], 2);
    EXPECT_EQ(info.UnitKind, 2);
    EXPECT_EQ(info.ConverterRange, 15);
    EXPECT_EQ(info.CalibrationCoefficient, 4194304);
    // 15 March 2009 10:20:30.
    EXPECT_NEAR(info.BuildDate, 39887.0 + (10 * 3600 + 20 * 60 + 30) / 86400.0, 1e-9);
    // Range 0: exponent code 39 + 2 = 41: k = 2, lower 10^-2, upper
    // 10^2 * 10^((3-1)*3) * 1.5 = 1.5e8; each further range a decade lower.
    EXPECT_FLOAT_EQ(info.RangeLower[0], 0.01f);
    EXPECT_FLOAT_EQ(info.RangeUpper[0], 1.5e8f);
    EXPECT_FLOAT_EQ(info.RangeLower[1], 0.001f);
    EXPECT_FLOAT_EQ(info.RangeUpper[2], 1.5e6f);
    EXPECT_EQ(info.RangeUpperText[0], QStringLiteral("150.0e6"));
    // Overall: exponent code 39, k = 0.
    EXPECT_FLOAT_EQ(info.LowerLimit, 1e-4f);
    EXPECT_FLOAT_EQ(info.UpperLimit, 1.5e6f);
}

TEST(IdentificationDecoder, InvalidBuildDateGivesTheComputersClock)
{
    Frame f(0x03);
    f.text(30, "xx-13-40 99:99:99");
    TInfoMeterQV info;
    decodeIdentification(FrameView(f.ptr()), info);
    // Somewhere after 2020: the current date, not a decoded one.
    EXPECT_GT(info.BuildDate, 43831.0);
}

TEST(TextDecoder, CursorAndEntryKind)
{
    Frame f(0x06);
    f.text(26, "LAMP 3").byte(42, 6).byte(43, 't').byte(44, 4).byte(45, 9).byte(46, 2);
    TDataTextQV t;
    decodeText(FrameView(f.ptr()), t);
    EXPECT_EQ(t.Text, QStringLiteral("LAMP 3"));
    EXPECT_EQ(t.Length, 6);
    EXPECT_EQ(t.Mode, 't');
    EXPECT_EQ(t.Cursor, 4);
    EXPECT_EQ(t.CursorType, 2);

    // A cursor past the text goes home; only texts and alarm messages have a
    // cursor type; an overlong length is cut to the 16 characters sent.
    f.byte(44, 20).byte(43, 'd').byte(42, 40);
    decodeText(FrameView(f.ptr()), t);
    EXPECT_EQ(t.Cursor, 0);
    EXPECT_EQ(t.CursorType, 0);
    EXPECT_EQ(t.Length, 16);
    EXPECT_EQ(t.SentLength, 40);
    EXPECT_EQ(t.Text.size(), 16);
}

TEST(ProbeNames, ModelTypeAndDescription)
{
    EXPECT_EQ(ProbeModelName(kEnglish, true, 35), QStringLiteral("Z.RLH-700"));
    EXPECT_EQ(ProbeModelName(kPolish, true, 61), QStringLiteral("Amperomierz 700f"));
    EXPECT_EQ(ProbeModelName(kEnglish, true, 232), QStringLiteral("Z.S-700"));
    EXPECT_EQ(ProbeModelName(kEnglish, true, 105), QStringLiteral("?"));
    EXPECT_EQ(ProbeModelName(kPolish, false, 35), QStringLiteral("Brak głowicy"));
    EXPECT_EQ(ProbeTypeName(kEnglish, true, 42, 0), QStringLiteral("UVH Radiometer"));
    EXPECT_EQ(ProbeTypeName(kPolish, true, 150, 1), QStringLiteral("Radiometr"));
    EXPECT_EQ(ProbeTypeName(kEnglish, true, 150, 7), QStringLiteral("Unknown probe type"));
    EXPECT_EQ(ProbeDescription(kEnglish, true, 150, 0, false, false, false, false),
              QStringLiteral("Z.?(150)"));
    EXPECT_EQ(ProbeDescription(kEnglish, false, 0, 0, false, false, false, false),
              QStringLiteral("No probe"));
    EXPECT_EQ(ProbeDescription(kEnglish, true, 12, 3, true, false, false, false),
              QStringLiteral("Z.K-700, Lum.10°"));
    EXPECT_EQ(ProbeDescription(kEnglish, true, 22, 1, false, true, true, true),
              QStringLiteral("Z.BLH-700, Under, Over, Over Integ.1°"));
}

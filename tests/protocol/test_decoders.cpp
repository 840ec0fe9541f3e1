// The frame decoders, read from frames built field by field, for what the
// captured sessions under tests/data/captures do not show: the bar, the
// range limits, the edges of the statistics, the status bits and tables,
// identification and text entry.
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

TDataMeasQV decodeMeas(const Frame &f, uint8_t language = kEnglish)
{
    TDataMeasQV m;
    decodeMeasurement(FrameView(f.ptr()), true, language, m);
    return m;
}

TDataInfoQV decodeInfo(const Frame &f, bool seen = false)
{
    TDataInfoQV info;
    decodeStatus(FrameView(f.ptr()), f.bytes()[2], seen, info);
    return info;
}

} // namespace

TEST(MeasurementDecoder, BarPositionSpansTheDecadesFromFullScale)
{
    // One decade below full scale is 95 steps of 10^(1/95) down; two steps
    // above it is clamped to the end; far below, or negative, is empty.
    const std::pair<float, int> cases[] = {
        {0.0f, 0}, {150.0f, 127}, {15.0f, 127 - 95}, {150.0f * float(std::pow(10.0, 2.0 / 95)), 128},
        {1e-6f, 0}, {-5.0f, 0},
    };
    for (const auto &[value, bar] : cases)
        EXPECT_EQ(decodeMeas(measFrame(value)).BarPosition, bar) << value;
    // Without a multiplicity there is no bar step at all.
    EXPECT_EQ(decodeMeas(measFrame(100.0f).byte(9, 0x00)).BarPosition, 0);
    // A value the range text and the bar cannot place reads as 0.
    for (uint32_t bits : {0x7FC00000u, 0x7F800000u, 0xFF800000u}) {
        const TDataMeasQV m = decodeMeas(measFrame(0.0f).u32(26, bits));
        EXPECT_EQ(m.Value, 0.0f) << std::hex << bits;
        EXPECT_EQ(m.ValueText, decodeMeas(measFrame(0.0f)).ValueText);
        EXPECT_EQ(m.BarPosition, 0);
    }
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
    EXPECT_TRUE(decodeMeas(over.byte(5, 0x10)).RangeChange);
    EXPECT_FALSE(decodeMeas(over.byte(8, 0x32)).RangeChange);

    Frame under = measFrame(0.01f);
    under.byte(31, 3).byte(5, 0x10);
    m = decodeMeas(under);
    EXPECT_TRUE(m.UnderRange && m.RangeChange);
    EXPECT_EQ(m.Description, QStringLiteral("Z.K-700, Under"));
    // On the lowest range under-range is shown by the value alone.
    m = decodeMeas(under.byte(8, 0x30));
    EXPECT_TRUE(m.UnderRange);
    EXPECT_FALSE(m.RangeChange);
    EXPECT_EQ(m.Description, QStringLiteral("Z.K-700"));
}

TEST(MeasurementDecoder, StatisticsIntegrationAndLuminanceEdges)
{
    Frame f = measFrame(50.0f);
    f.u32(32, 4).single(36, 200.0f).single(40, 40.0f).single(44, 80.0f);
    TDataMeasQV m = decodeMeas(f);
    EXPECT_TRUE(m.SeriesMode);
    EXPECT_FLOAT_EQ(m.SeriesAverage, 50.0f);
    EXPECT_FLOAT_EQ(m.SeriesMinToAverage, 0.8f);
    EXPECT_FLOAT_EQ(m.SeriesMinToMax, 0.5f);
    // No samples: no division, everything 0.
    m = decodeMeas(f.u32(32, 0).single(44, 0.0f));
    EXPECT_EQ(m.SeriesAverage + m.SeriesMinToAverage + m.SeriesMinToMax, 0.0f);
    EXPECT_FALSE(m.SeriesMode);
    // A count too long for the 8-character text is cut.
    EXPECT_EQ(decodeMeas(f.u32(32, 1234567890)).SeriesCountText, QStringLiteral("12345678"));

    // 100 hours of integration: the hours keep their last two digits.
    Frame dose = measFrame(1.0f);
    dose.byte(5, 0x08).u32(32, 360000).single(36, 2.5f);
    EXPECT_EQ(decodeMeas(dose).DoseTimeText, QStringLiteral("00:00:00"));

    // Luminance possible takes 2 from the range, luminance mode adds them
    // back; without luminance mode the attachment nibble is not read.
    Frame lum = measFrame(12.345f);
    lum.byte(6, 0x02).byte(5, 0x80).byte(9, 0x31);
    EXPECT_EQ(decodeMeas(lum).ValueText, QStringLiteral("12.34  "));
    m = decodeMeas(lum.byte(5, 0x00));
    EXPECT_EQ(m.AngleCode, 0);
    EXPECT_EQ(m.Description, QStringLiteral("Z.K-700"));
}

TEST(MeasurementDecoder, RelativeModeLeavesTheSeriesEmpty)
{
    // In relative mode the bytes of the series hold the reference instead.
    Frame f = measFrame(50.0f);
    f.byte(5, 0x04 | 0x20).byte(32, 3).single(33, 40.0f).single(37, 125.0f);
    const TDataMeasQV m = decodeMeas(f);
    EXPECT_FLOAT_EQ(m.Reference, 40.0f);
    EXPECT_EQ(m.SeriesCount, 0);
    EXPECT_EQ(m.SeriesMin + m.SeriesMinToMax, 0.0f);
    EXPECT_FALSE(m.SeriesMode || m.DoseMode);
    EXPECT_EQ(m.SeriesCountText, QStringLiteral("0"));
}

TEST(StatusDecoder, SettingsBitsAndTables)
{
    Frame f(0x01);
    f.byte(5, 0x12).byte(6, 0x80 | 0x40 | 0x20 | 0x10).byte(7, 12).byte(8, 0x42).menu(231)
        .word(14, uint16_t(37 << 6)).byte(16, 25).byte(17, 7).byte(18, 3).byte(19, 5).clock();
    const TDataInfoQV info = decodeInfo(f);
    EXPECT_TRUE(info.LuxProbe && info.BacklightOn && info.AlarmOn && info.ExtMemory);
    EXPECT_FALSE(info.SingleMeas);
    EXPECT_EQ(info.RangeCount, 4);
    EXPECT_EQ(info.RangeIndex, 2);
    EXPECT_EQ(info.MemoCells, 37);
    EXPECT_EQ(info.AutoSaveTime, 15 * 60);
    EXPECT_EQ(info.AutoOffTime, 10);
    EXPECT_EQ(info.BaudRate, 9600u);
    // Codes outside their tables.
    const TDataInfoQV outside = decodeInfo(Frame(0x01).byte(17, 10).byte(18, 8).byte(19, 6));
    EXPECT_EQ(outside.AutoSaveTime + outside.AutoOffTime, 0);
    EXPECT_EQ(outside.BaudRate, 0u);
    EXPECT_EQ(decodeInfo(Frame(0x01).byte(17, 4)).AutoSaveTime, 60);

    // The memory gauge; a full external memory fills it.
    const std::pair<Frame, int> fill[] = {
        {Frame(0x01).word(14, 0), 0}, {Frame(0x01).word(14, uint16_t(64 << 6)), 2},
        {Frame(0x01).word(14, uint16_t(512u << 6) - 1), 8},
        {Frame(0x01).word(14, uint16_t(511 << 6)).byte(6, 0x10), 9}, {Frame(0x01).word(14, 0xFFFF), 9},
    };
    for (const auto &[frame, level] : fill)
        EXPECT_EQ(decodeInfo(frame).MemoLevel, level);
    // Both battery codings, at the edges of their steps.
    const std::pair<uint8_t, uint8_t> battery[] = {
        {0, 0}, {17, 1}, {18, 2}, {29, 13}, {30, 13}, {0x80, 0}, {0x80 | 80, 1}, {0x80 | 81, 2}, {0x80 | 110, 12},
        {0x80 | 111, 13},
    };
    for (const auto &[code, level] : battery)
        EXPECT_EQ(batteryLevel(code), level) << int(code);
    EXPECT_EQ(batteryVoltage(0x80), 0.0f); // mains adapter
    EXPECT_GT(batteryVoltage(0x80 | 110), batteryVoltage(0x80 | 81));
}

TEST(StatusDecoder, SeriesRunningRemembersTheLastCount)
{
    bool seen = false;
    TDataInfoQV info;
    const auto decode = [&](const Frame &f) {
        decodeStatus(FrameView(f.ptr()), f.bytes()[2], seen, info);
        return info.SeriesRunning;
    };
    EXPECT_TRUE(decode(Frame(0x02).u32(32, 3)));
    EXPECT_TRUE(seen);
    // A status frame between measurements carries the remembered count;
    // relative and integration modes never count as a series from the count,
    // but statistics with autosave always do; text frames do not remember.
    EXPECT_TRUE(decode(Frame(0x01)));
    EXPECT_FALSE(decode(Frame(0x01).byte(5, 0x04)));
    EXPECT_TRUE(decode(Frame(0x01).byte(5, 0x24)));
    EXPECT_FALSE(decode(Frame(0x06)));
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
    EXPECT_EQ(info.Permissions[1], 1);
    EXPECT_EQ(info.Permissions[23], 2);
    EXPECT_EQ(info.UnitKind, 2);
    EXPECT_EQ(info.CalibrationCoefficient, 4194304);
    // 15 March 2009 10:20:30.
    EXPECT_NEAR(info.BuildDate, 39887.0 + (10 * 3600 + 20 * 60 + 30) / 86400.0, 1e-9);
    // Range 0: exponent code 39 + 2 = 41: k = 2, lower 10^-2, upper
    // 10^2 * 10^((3-1)*3) * 1.5 = 1.5e8; each further range a decade lower.
    EXPECT_FLOAT_EQ(info.RangeLower[0], 0.01f);
    EXPECT_FLOAT_EQ(info.RangeUpper[0], 1.5e8f);
    EXPECT_FLOAT_EQ(info.RangeLower[1], 0.001f);
    EXPECT_FLOAT_EQ(info.RangeUpper[2], 1.5e6f);
    // Overall: exponent code 39, k = 0.
    EXPECT_FLOAT_EQ(info.LowerLimit, 1e-4f);
    EXPECT_FLOAT_EQ(info.UpperLimit, 1.5e6f);

    // An invalid build date gives the computer's clock: after 2020.
    decodeIdentification(FrameView(Frame(0x03).text(30, "xx-13-40 99:99:99").ptr()), info);
    EXPECT_GT(info.BuildDate, 43831.0);
}

TEST(TextDecoder, CursorAndEntryKind)
{
    Frame f(0x06);
    f.text(26, "LAMP 3").byte(42, 6).byte(43, 't').byte(44, 4).byte(45, 9).byte(46, 2);
    TDataTextQV t;
    decodeText(FrameView(f.ptr()), t);
    EXPECT_EQ(t.Text, QStringLiteral("LAMP 3"));
    EXPECT_EQ(t.Mode, 't');
    EXPECT_EQ(t.Cursor, 4);
    EXPECT_EQ(t.CursorType, 2);

    // A cursor past the text goes home; only texts and alarm messages have a
    // cursor type; an overlong length is cut to the 16 characters sent.
    decodeText(FrameView(f.byte(44, 20).byte(43, 'd').byte(42, 40).ptr()), t);
    EXPECT_EQ(t.Cursor + t.CursorType, 0);
    EXPECT_EQ(t.Length, 16);
    EXPECT_EQ(t.SentLength, 40);
    EXPECT_EQ(t.Text.size(), 16);
}

TEST(ProbeNames, UnknownCodesAndEveryLimitInTheDescription)
{
    EXPECT_EQ(ProbeModelName(kEnglish, true, 105), QStringLiteral("?"));
    EXPECT_EQ(ProbeDescription(kEnglish, true, 150, 0, false, false, false, false), QStringLiteral("Z.?(150)"));
    EXPECT_EQ(ProbeDescription(kEnglish, true, 22, 1, false, true, true, true),
              QStringLiteral("Z.BLH-700, Under, Over, Over Integ.1°"));
    EXPECT_EQ(ProbeTypeName(kEnglish, true, 150, 7), QStringLiteral("Unknown probe type"));
}

// The frame decoders, read from frames built field by field, for what the
// captured sessions under tests/data/captures do not show: the bar, the
// range limits, the edges of the statistics, the status bits and tables,
// identification and text entry. Each case's record, as the decode command
// prints it, is listed in the golden file protocol/decoders.txt.
#include "cli/EventJson.h"
#include "protocol/CaptureReplay.h"
#include "protocol/FrameDecoders.h"
#include "protocol/Probes.h"
#include "support/Frames.h"
#include "support/GoldenText.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>

using namespace qv;
using qvtest::Frame;

namespace {

constexpr uint8_t kEnglish = 1;

// A measurement frame at range number 15, exponent code 41 (last digit
// 10^-2, full scale 150), three ranges, the middle one selected, ranges a
// decade apart (D = 1, ... bar step 10^(1/95)).
Frame measFrame(float value)
{
    Frame f(0x02);
    f.byte(7, 10).byte(8, 0x31).byte(9, 0x01).byte(10, 15).single(26, value).byte(30, 41);
    return f;
}

// Records listed as the decode command prints them, one member a line,
// each under a heading.
struct Decoded {
    Decoded()
        : json(replay.comm(), [this](const QByteArray &l) {
              static const QRegularExpression member(QStringLiteral(",(?=\"\\w+\":)"));
              line(QString::fromUtf8(l).replace(member, QStringLiteral(",\n  ")));
          })
    {
    }
    TComm32QV &comm() { return replay.comm(); }
    void heading(const QString &name) { text += QStringLiteral("## %1\n").arg(name); }
    void line(const QString &l) { text += l + '\n'; }
    void meas(const char *name, const Frame &f)
    {
        TDataMeasQV m;
        decodeMeasurement(FrameView(f.ptr()), true, kEnglish, m);
        heading(name);
        comm().OnReceiveMeas(m);
    }
    // With the meter's clock set: an invalid one reads as now.
    void info(const char *name, Frame f)
    {
        bool seen = false;
        TDataInfoQV info;
        decodeStatus(FrameView(f.clock().ptr()), f.bytes()[2], seen, info);
        heading(name);
        comm().OnReceiveInfo(info);
    }

    CaptureReplay replay{1};
    cli::EventJson json;
    QString text;
};

} // namespace

TEST(FrameDecoders, RecordsMatchTheGoldenListing)
{
    Decoded out;
    // The bar: one decade below full scale is 95 steps of 10^(1/95) down; two
    // steps above it is clamped to the end; far below, or negative, is empty.
    for (float v : {0.0f, 150.0f, 15.0f, 150.0f * float(std::pow(10.0, 2.0 / 95)), 1e-6f, -5.0f})
        out.meas(qPrintable(QStringLiteral("bar at %1").arg(double(v))), measFrame(v));
    out.meas("no multiplicity, no bar step", measFrame(100.0f).byte(9, 0x00));
    // A value the range text and the bar cannot place reads as 0.
    for (uint32_t bits : {0x7FC00000u, 0x7F800000u, 0xFF800000u})
        out.meas(qPrintable(QString::number(bits, 16)), measFrame(0.0f).u32(26, bits));

    // Limit code 2, position 1, plus a bit outside the field. Automatic
    // ranging can still go up from the middle range, not from the top; on the
    // lowest range under-range is shown by the value alone.
    const Frame over = measFrame(200.0f).byte(31, 0x10 | 7);
    out.meas("over range", over);
    out.meas("over range, auto", Frame(over).byte(5, 0x10));
    out.meas("over range on the top range, auto", Frame(over).byte(5, 0x10).byte(8, 0x32));
    const Frame under = measFrame(0.01f).byte(31, 3).byte(5, 0x10);
    out.meas("under range, auto", under);
    out.meas("under range on the lowest range", Frame(under).byte(8, 0x30));

    // Statistics; with no samples no division; a count too long for its
    // 8-character text is cut.
    const Frame stats = measFrame(50.0f).u32(32, 4).single(36, 200.0f).single(40, 40.0f).single(44, 80.0f);
    out.meas("statistics", stats);
    out.meas("statistics without samples", Frame(stats).u32(32, 0).single(44, 0.0f));
    out.meas("statistics, long count", Frame(stats).u32(32, 1234567890));
    // 100 hours of integration: the hours keep their last two digits.
    out.meas("integration", measFrame(1.0f).byte(5, 0x08).u32(32, 360000).single(36, 2.5f));
    // Luminance possible takes 2 from the range, luminance mode adds them
    // back; without luminance mode the attachment nibble is not read.
    const Frame lum = measFrame(12.345f).byte(6, 0x02).byte(5, 0x80).byte(9, 0x31);
    out.meas("luminance mode", lum);
    out.meas("luminance possible", Frame(lum).byte(5, 0x00));
    // In relative mode the bytes of the series hold the reference instead.
    out.meas("relative", measFrame(50.0f).byte(5, 0x24).byte(32, 3).single(33, 40.0f).single(37, 125.0f));

    out.info("settings", Frame(0x01).byte(5, 0x12).byte(6, 0xF0).byte(7, 12).byte(8, 0x42).menu(231)
                             .word(14, uint16_t(37 << 6)).byte(16, 25).byte(17, 7).byte(18, 3).byte(19, 5));
    out.info("codes outside their tables", Frame(0x01).byte(17, 10).byte(18, 8).byte(19, 6));
    out.info("auto save code 4", Frame(0x01).byte(17, 4));
    // The memory gauge; a full external memory fills it.
    for (uint16_t cells : {0, 64 << 6, (512 << 6) - 1, 0xFFFF})
        out.info(qPrintable(QStringLiteral("memory word %1").arg(cells)), Frame(0x01).word(14, cells));
    out.info("external memory full", Frame(0x01).word(14, uint16_t(511 << 6)).byte(6, 0x10));
    // Both battery codings, at the edges of their steps (0x80: mains adapter).
    for (int code : {0, 17, 18, 29, 30, 0x80, 0x80 | 80, 0x80 | 81, 0x80 | 110, 0x80 | 111})
        out.line(QStringLiteral("battery %1: level %2, %3 V")
                     .arg(code).arg(batteryLevel(uint8_t(code))).arg(double(batteryVoltage(uint8_t(code)))));

    // A status frame between measurements carries the remembered count;
    // relative and integration modes never count as a series from the count,
    // but statistics with autosave always do; text frames do not remember.
    bool seen = false;
    TDataInfoQV info;
    for (const Frame &f : {Frame(0x02).u32(32, 3), Frame(0x01), Frame(0x01).byte(5, 0x04),
                           Frame(0x01).byte(5, 0x24), Frame(0x06)}) {
        decodeStatus(FrameView(f.ptr()), f.bytes()[2], seen, info);
        out.line(QStringLiteral("type %1 byte 5 %2: series %3, count seen %4")
                     .arg(f.bytes()[2]).arg(f.bytes()[5]).arg(info.SeriesRunning).arg(seen));
    }

    // Range 0: exponent code 39 + 2 = 41: k = 2, lower 10^-2, upper
    // 10^2 * 10^((3-1)*3) * 1.5 = 1.5e8; each further range a decade lower;
    // overall: exponent code 39, k = 0. Built 15 March 2009 10:20:30.
    Frame id(0x03);
    id.byte(7, 35).byte(8, 0x31).byte(9, 0x03).byte(10, uint8_t((2 << 5) | 15)).byte(11, 39);
    id.text(30, "09-03-15 10:20:30v1.2").u32(100, 4194304);
    for (int i = 0; i < 24; ++i)
        id.byte(53 + 2 * i, uint8_t('0' + i % 3));
    TInfoMeterQV ident;
    decodeIdentification(FrameView(id.ptr()), ident);
    out.heading("identification");
    out.comm().OnReceiveInfoMeter(ident);

    // A cursor past the text goes home; only texts and alarm messages have a
    // cursor type; an overlong length is cut to the 16 characters sent.
    Frame text(0x06);
    text.text(26, "LAMP 3").byte(42, 6).byte(43, 't').byte(44, 4).byte(45, 9).byte(46, 2);
    for (const Frame &f : {text, Frame(text).byte(44, 20).byte(43, 'd').byte(42, 40)}) {
        TDataTextQV t;
        decodeText(FrameView(f.ptr()), t);
        out.heading("text");
        out.comm().OnReceiveText(t);
    }

    out.line(ProbeModelName(kEnglish, true, 105));
    out.line(ProbeDescription(kEnglish, true, 150, 0, false, false, false, false));
    out.line(ProbeDescription(kEnglish, true, 22, 1, false, true, true, true));
    out.line(ProbeTypeName(kEnglish, true, 150, 7));
    qvtest::expectGoldenText(QStringLiteral("protocol/decoders.txt"), out.text);
}

// An invalid build date gives the computer's clock: after 2020.
TEST(FrameDecoders, InvalidBuildDateIsNow)
{
    TInfoMeterQV info;
    decodeIdentification(FrameView(Frame(0x03).text(30, "xx-13-40 99:99:99").ptr()), info);
    EXPECT_GT(info.BuildDate, 43831.0);
}

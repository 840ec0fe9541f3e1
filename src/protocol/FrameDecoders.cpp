#include "protocol/FrameDecoders.h"

#include "protocol/Cp1250.h"
#include "protocol/Probes.h"
#include "protocol/ValueFormat.h"
#include "protocol/WireBytes.h"
#include "serial/LineSettings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace qv {

namespace {

QString cut(const QString &s) { return s.left(ShortTextCapacity); }

// Sets `out` to ASCII text, reusing its storage when it owns enough.
void assignLatin1(QString &out, const QByteArray &text)
{
    if (out.isDetached() && out.capacity() >= text.size()) {
        out.resize(text.size());
        for (qsizetype i = 0; i < text.size(); ++i)
            out[i] = QLatin1Char(text[i]);
    } else {
        out = QString::fromLatin1(text);
    }
}

bool bit(uint8_t byte, int n) { return (byte >> n) & 1; }

// Full scale of the display for range number r and exponent code e: the
// value at which the bar graph reaches its end.
// 10^k for the exponents an exponent code can give, computed once.
double powerOfTen(int k)
{
    static const auto table = [] {
        std::array<double, 301> t{};
        for (int i = 0; i < 301; ++i)
            t[size_t(i)] = std::pow(10.0, i - 60);
        return t;
    }();
    return k >= -60 && k <= 240 ? table[size_t(k + 60)] : std::pow(10.0, k);
}

double fullScale(int r, int e)
{
    const int k = (e / 3 - 13) * 3 + e % 3 - (r > 17 ? 1 : 0);
    // The meter's ranges step by factors of two from range 15 up; a real power
    // of two also gives a sound value for the rare range numbers below 15.
    return powerOfTen(k) * 15.0 * std::ldexp(1.0, r - 15) / 10.0;
}

int16_t barPosition(float value, double fs, uint8_t multiplicity)
{
    if (value == 0.0f)
        return 0;
    // The natural logarithm of one bar step, 10^(D/95), for each D.
    static const auto lnSteps = [] {
        std::array<double, 16> t{};
        for (int d = 0; d < 16; ++d)
            t[size_t(d)] = std::log(std::pow(10.0, d / 95.0));
        return t;
    }();
    const double lnStep = lnSteps[multiplicity & 0x0F];
    const double steps = std::log(double(value) / fs) / lnStep;
    long pos = 0;
    if (std::isfinite(steps) && std::fabs(steps) < 1e9)
        pos = 127 + std::lrint(steps); // round half to even
    if (pos < 0)
        pos = 0;
    if (pos > 128)
        pos = 128;
    return int16_t(pos);
}

double pow10i(int k) { return powerOfTen(k); }

// Hours, minutes and seconds, each cut or padded to two characters.
void setDoseTimeText(QString &out, int32_t t)
{
    if (t >= 0) {
        const int32_t parts[3] = {t / 3600 % 100, t / 60 % 60, t % 60};
        char text[9] = "00:00:00";
        for (int i = 0; i < 3; ++i) {
            text[3 * i] = char('0' + parts[i] / 10);
            text[3 * i + 1] = char('0' + parts[i] % 10);
        }
        assignLatin1(out, QByteArray::fromRawData(text, 8));
        return;
    }
    out = cut(PadNumber(t / 3600, 2) + ':' + PadNumber((t / 60) % 60, 2) + ':' +
              PadNumber(t % 60, 2));
}

} // namespace

int measRangeNumber(const FrameView &f)
{
    return (f.at(10) & 0x1F) - 2 * bit(f.at(6), 1) + 2 * bit(f.at(5), 7);
}

int rangeLimitCode(const FrameView &f)
{
    // Byte 31 holds limit code * 3 + range position; the bits above those
    // that the number of ranges (+5) needs are not part of it.
    int8_t c = int8_t((f.at(8) >> 4) + 5);
    int n = 0;
    while (n < 7 && c >= 0) {
        c = int8_t(uint8_t(c) << 1);
        ++n;
    }
    const uint8_t mask = uint8_t(0xFF >> n);
    return (f.at(31) & mask) / 3;
}

QString measValueText(const FrameView &f, float value, bool exponentForm)
{
    return FormatValueRange(measRangeNumber(f), f.at(30), exponentForm, value);
}

uint8_t batteryLevel(uint8_t b)
{
    if (!(b & 0x80)) {
        if (b == 0)
            return 0;
        if (b <= 17)
            return 1;
        if (b <= 29)
            return uint8_t(b - 16);
        return 13;
    }
    const int v = b & 0x7F;
    static const struct { int upTo; uint8_t level; } steps[] = {
        {0, 0}, {80, 1}, {84, 2}, {87, 3}, {90, 4}, {92, 5}, {94, 6},
        {96, 7}, {98, 8}, {100, 9}, {103, 10}, {106, 11}, {110, 12},
    };
    for (const auto &s : steps) {
        if (v <= s.upTo)
            return s.level;
    }
    return 13;
}

float batteryVoltage(uint8_t b)
{
    // The meter reports no voltage, only this code. Our reading of it: with
    // bit 7 set the low seven bits count 50 mV (4 AA cells: 80 = 4.0 V is
    // empty, 110 = 5.5 V full); the older coding without bit 7 counts 200 mV
    // (18 = 3.6 V to 29 = 5.8 V). A code of 0 in the low bits means the meter
    // runs from its mains adapter: no battery voltage, 0.
    const int v = b & 0x7F;
    if (v == 0)
        return 0.0f;
    return (b & 0x80) ? float(v * 0.05) : float(v * 0.2);
}

void decodeStatus(const FrameView &f, uint8_t type, bool &seriesCountSeen, TDataInfoQV &out)
{
    const uint8_t b5 = f.at(5), b6 = f.at(6);
    const uint16_t s = uint16_t(b5 | (b6 << 8));
    const bool bit2 = bit(b5, 2), bit3 = bit(b5, 3);

    if (type == 0x02)
        seriesCountSeen = readU32(f.ptr(32)) != 0;

    out.ProbePresent = !bit(b6, 0);
    out.LuxProbe = f.at(7) / 10 == 1;
    out.SingleMeas = bit(b5, 0);
    out.ContinuousMeas = bit(b5, 1);
    out.RelativeMode = bit2;
    out.DoseMode = bit3;
    bool running = bit(b5, 5);
    if (!running && !bit2 && !bit3) {
        if (type == 0x02)
            running = readU32(f.ptr(32)) != 0;
        else if (type == 0x00 || type == 0x01)
            running = seriesCountSeen;
    }
    out.SeriesRunning = running;
    out.AutoRange = bit(b5, 4);
    out.StatAutoSave = bit(b5, 5);
    out.MemoAutoSave = bit(b5, 6);
    out.LuminanceMode = bit(b5, 7);
    out.AlarmOn = (s >> 13) & 1;
    out.BacklightOn = (s >> 14) & 1;
    out.EnglishCharset = (s >> 15) & 1;
    out.RangeCount = f.at(8) >> 4;
    out.RangeIndex = f.at(8) & 0x0F;
    out.MenuCode = readU16(f.ptr(12));
    const uint16_t memo = readU16(f.ptr(14));
    out.MemoCells = memo >> 6;
    out.ExtMemory = (s >> 12) & 1;
    uint8_t level = memo == 0 ? 0 : uint8_t((memo >> 12) + 1);
    if (out.MemoCells == 511 && out.ExtMemory)
        level = 9;
    out.MemoLevel = level > 9 ? 9 : level;
    out.BatteryLevel = batteryLevel(f.at(16));
    out.BatteryVoltage = batteryVoltage(f.at(16));

    const uint8_t save = f.at(17);
    static const uint16_t saveSteps[5] = {5, 10, 15, 30, 60};
    out.AutoSaveTime = save < 10 ? uint16_t(saveSteps[save % 5] * (save / 5 == 1 ? 60 : 1)) : 0;
    static const uint8_t offSteps[8] = {1, 2, 5, 10, 15, 30, 45, 60};
    const uint8_t off = f.at(18);
    out.AutoOffTime = off < 8 ? offSteps[off] : 0;
    const uint8_t baud = f.at(19);
    out.BaudRate = baud <= 5 ? BaudRateValues[baud] : 0;
    out.DateTime = DecodeMeterDateTime(f.ptr(20));
}

void decodeMeasurement(const FrameView &f, bool complete, uint8_t language, TDataMeasQV &out)
{
    const uint8_t b5 = f.at(5), b6 = f.at(6);
    const bool relative = bit(b5, 2), dose = bit(b5, 3);
    const int rangeCount = f.at(8) >> 4, rangeIndex = f.at(8) & 0x0F;
    const int r = measRangeNumber(f);
    const uint8_t e = f.at(30);

    out.Complete = complete;
    out.ProbePresent = !bit(b6, 0);
    out.ProbeCode = f.at(7);
    out.Value = readSingleGuarded(f.ptr(26));
    FormatValueRangeInto(out.ValueText, r, e, false, out.Value);
    out.BarPosition = barPosition(out.Value, fullScale(r, e), f.at(9) & 0x0F);

    const int limit = rangeLimitCode(f);
    out.OverRange = limit == 2;
    out.UnderRange = limit == 1;
    out.RangeChange = bit(b5, 4) && ((out.OverRange && rangeIndex < rangeCount - 1) ||
                                     (out.UnderRange && rangeIndex > 0));

    // The other Singles are kept as sent, infinities and NaN included: their
    // texts show them as the display does (an infinity as the largest value).
    out.RelativeResult = relative ? readSingle(f.ptr(37)) : 0.0f;
    out.Reference = relative ? readSingle(f.ptr(33)) : 0.0f;
    FormatValueSIInto(out.RelativeResultText, out.RelativeResult, false);
    FormatValueSIInto(out.ReferenceText, out.Reference, false);

    out.DoseValue = dose ? readSingle(f.ptr(36)) : 0.0f;
    out.DoseTime = dose ? readI32(f.ptr(32)) : 0;
    out.DoseOverflow = dose && bit(b6, 3);
    FormatValueSIInto(out.DoseText, out.DoseValue, false);
    setDoseTimeText(out.DoseTimeText, out.DoseTime);

    if (!relative) {
        out.SeriesCount = readI32(f.ptr(32));
        out.SeriesMin = readSingle(f.ptr(40));
        out.SeriesMax = readSingle(f.ptr(44));
        const float sum = readSingle(f.ptr(36));
        out.SeriesAverage = out.SeriesCount >= 1 ? float(double(sum) / out.SeriesCount) : 0.0f;
    } else {
        out.SeriesCount = 0;
        out.SeriesMin = out.SeriesMax = out.SeriesAverage = 0.0f;
    }
    out.SeriesMinToAverage =
        out.SeriesAverage > 0 ? float(double(out.SeriesMin) / out.SeriesAverage) : 0.0f;
    out.SeriesMinToMax = out.SeriesMax > 0 ? float(double(out.SeriesMin) / out.SeriesMax) : 0.0f;
    char count[16];
    const int countLength = std::snprintf(count, sizeof count, "%d", int(out.SeriesCount));
    assignLatin1(out.SeriesCountText,
                 QByteArray::fromRawData(count, std::min(countLength, ShortTextCapacity)));
    FormatValueSIInto(out.SeriesMinText, out.SeriesMin, false);
    FormatValueSIInto(out.SeriesMaxText, out.SeriesMax, false);
    FormatValueSIInto(out.SeriesAverageText, out.SeriesAverage, false);
    FormatValueSIInto(out.SeriesMinToAverageText, out.SeriesMinToAverage, false);
    FormatValueSIInto(out.SeriesMinToMaxText, out.SeriesMinToMax, false);

    out.DoseMode = dose && !relative;
    out.SeriesMode = !relative && (out.DoseMode || bit(b5, 5) || out.SeriesCount > 0);
    out.RelativeMode = relative;
    out.AngleCode = bit(b5, 7) ? uint8_t(f.at(9) >> 4) : 0;
    out.Description = ProbeDescription(language, out.ProbePresent, out.ProbeCode, out.AngleCode,
                                       out.AngleCode > 0, out.DoseMode && out.DoseOverflow,
                                       out.OverRange, out.UnderRange && rangeIndex > 0);
}

void decodeIdentification(const FrameView &f, TInfoMeterQV &out)
{
    // The identification area: A[1] is frame byte 30.
    auto a = [&](int i) { return f.at(29 + i); };
    auto twoDigits = [&](int i) -> int {
        const uint8_t h = a(i), l = a(i + 1);
        if (h < '0' || h > '9' || l < '0' || l > '9')
            return -1;
        return (h - '0') * 10 + (l - '0');
    };
    const int fields[6] = {twoDigits(1), twoDigits(4), twoDigits(7),
                           twoDigits(10), twoDigits(13), twoDigits(16)};
    TDateTime built = 0;
    bool valid = true;
    for (int v : fields)
        valid = valid && v >= 0;
    if (!valid || !EncodeDateTime(2000 + fields[0], fields[1], fields[2], fields[3], fields[4],
                                  fields[5], built))
        built = NowDateTime();
    out.BuildDate = built;

    QByteArray version;
    for (int i = 18; i <= 21 && a(i) != 0; ++i)
        version.append(char(a(i)));
    out.FirmwareVersion = FromCp1250(version);

    const uint8_t code = f.at(7);
    out.ProbeCode = code;
    out.ProbeVariant = QString(QChar('0' + code % 10));
    for (int i = 0; i < 24; ++i)
        out.Permissions[size_t(i)] = uint8_t(a(24 + 2 * i) - 0x30);

    const int n = f.at(8) >> 4;
    const int d = f.at(9) & 0x0F;
    const int rConv = f.at(10) & 0x1F;
    const int lum = bit(f.at(5), 7);
    const int e0 = f.at(11);
    out.RangeCount = uint8_t(n);
    out.RangeMultiplicity = uint8_t(d);
    out.UnitKind = f.at(10) >> 5;
    out.ConverterRange = uint8_t(rConv);

    const double span = pow10i((n - 1) * d);
    // Lower and upper limit of a range with range number r and exponent code e.
    auto limits = [&](int r, int e, float &lower, float &upper, QString &lowerText,
                      QString &upperText) {
        const int k = (e / 3 - 13) * 3 + e % 3 - (r > 17 ? 1 : 0);
        lower = float(pow10i(k - 4));
        upper = float(pow10i(k) * span * 15.0 * std::ldexp(1.0, r - 15) / 10.0);
        lowerText = cut(FormatValueRange(r, uint8_t(e), true, lower));
        upperText = cut(FormatValueSI(upper, true));
    };
    const int big = rConv > 17 ? 1 : 0;
    for (int i = 0; i < 3; ++i) {
        const int ei = e0 + 2 * (1 - lum) + (1 - lum) * big - i;
        limits(rConv, ei, out.RangeLower[size_t(i)], out.RangeUpper[size_t(i)],
               out.RangeLowerText[size_t(i)], out.RangeUpperText[size_t(i)]);
    }
    const int rOverall = rConv - 2 * bit(f.at(6), 1);
    const int eOverall = e0 - 2 * lum - lum * big;
    limits(rOverall, eOverall, out.LowerLimit, out.UpperLimit, out.LowerText, out.UpperText);

    out.LuminanceCapable = bit(f.at(6), 1);
    out.CalibrationCoefficient = readI32(f.ptr(100));
    out.Luminance = uint8_t(lum);
}

void decodeText(const FrameView &f, TDataTextQV &out)
{
    const uint8_t sent = f.at(42);
    out.Length = sent < 16 ? sent : 16;
    out.Text = FromCp1250(reinterpret_cast<const char *>(f.ptr(26)), out.Length);
    out.Chars = FromCp1250(reinterpret_cast<const char *>(f.ptr(26)), 16);
    out.SentLength = sent;
    out.Mode = char(f.at(43));
    out.CursorSent = f.at(44);
    out.Byte45 = f.at(45);
    out.Byte46 = f.at(46);
    out.Cursor = f.at(44) < out.Length ? f.at(44) : 0;
    out.CursorType = (out.Mode == 'a' || out.Mode == 't') ? f.at(46) : 0;
}

} // namespace qv

#include "protocol/ValueFormat.h"

#include "protocol/FormatSettings.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace qv {

namespace {

const QString kNoPrefix = QStringLiteral("       ");

float floatFromBits(uint32_t bits)
{
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// The stand-ins for values the display cannot show: the largest text for
// infinities and for anything above 1e18 are these exact Single values.
const double kInfinityStandIn = floatFromBits(0x7F7FC99Eu); // 3.4e38
const double kHugeStandIn = floatFromBits(0x5D5E05BCu);     // 9.999e17

// The fixed-point conversion never works with more digits than this, as the
// float-to-text routine the display texts were designed with.
constexpr int kMaxFixedDigits = 18;

// Smallest integer >= a / b for b > 0.
int ceilDiv(int a, int b)
{
    return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

// v (>= 0, finite) as fixed-point text: rounded to `precision` significant
// digits and to `decimals` decimals, whichever cuts first, then written with
// exactly `decimals` decimals. Rounding is half away from zero on the exact
// binary value of v, so e.g. 12.345f (12.34500026...) rounds up at the fourth
// decimal like any other value slightly above a half.
QString fixedText(double v, int precision, int decimals, QChar separator)
{
    precision = std::clamp(precision, 1, kMaxFixedDigits);
    decimals = std::clamp(decimals, 0, kMaxFixedDigits);

    std::string digits;     // significant digits after rounding
    int intDigits = 1;      // digits before the separator (may be <= 0)
    if (v > 0) {
        // 80 digits are exact for every double below 1e5 and many more.
        char buf[128];
        std::snprintf(buf, sizeof buf, "%.80e", v);
        std::string all(1, buf[0]);
        const char *e = std::strchr(buf, 'e');
        all.append(static_cast<const char *>(buf + 2), e);
        intDigits = std::atoi(e + 1) + 1;

        const int keep = std::min(precision, intDigits + decimals);
        if (keep >= 0) {
            digits = all.substr(0, static_cast<size_t>(keep));
            if (all[static_cast<size_t>(keep)] >= '5') {
                int i = keep - 1;
                while (i >= 0 && digits[static_cast<size_t>(i)] == '9')
                    digits[static_cast<size_t>(i--)] = '0';
                if (i >= 0) {
                    ++digits[static_cast<size_t>(i)];
                } else {
                    digits.insert(digits.begin(), '1');
                    ++intDigits;
                }
            }
        }
    }
    auto digitAt = [&](int i) -> char {
        return i >= 0 && i < static_cast<int>(digits.size()) ? digits[static_cast<size_t>(i)] : '0';
    };

    QString s;
    if (intDigits <= 0)
        s += QLatin1Char('0');
    for (int i = 0; i < intDigits; ++i)
        s += QLatin1Char(digitAt(i));
    if (decimals > 0) {
        s += separator;
        for (int i = 0; i < decimals; ++i)
            s += QLatin1Char(digitAt(intDigits + i));
    }
    return s;
}

// Mantissa text s with the prefix of exponent x, or as s followed by "e<x>".
QString withSuffix(const QString &s, int x, bool exponentForm)
{
    const QChar prefix = PrefixChar(x);
    if (prefix.isNull())
        return kNoPrefix;
    if (!exponentForm)
        return s + QLatin1Char(' ') + prefix;
    return x == 0 ? s : s + QLatin1Char('e') + QString::number(x);
}

// NaN shows as 0 and infinities as the largest Single the meter would send.
double tameSpecial(float value)
{
    if (std::isnan(value))
        return 0;
    if (std::isinf(value))
        return value > 0 ? kInfinityStandIn : -kInfinityStandIn;
    return value;
}

double powerOfTen(int n)
{
    return std::pow(10.0, n);
}

// Decimal text of round(a * 10^-p), half to even. The product is taken as a
// Single, as the meter's value is, so that a value such as 12.345 at a
// resolution of 0.01 rounds as the half it stands for.
QString scaledDigits(double a, int p)
{
    const double exact = p <= 0 ? a * powerOfTen(-p) : a / powerOfTen(p);
    double scaled = static_cast<float>(exact);
    if (std::isinf(scaled))
        scaled = exact; // beyond Single range: keep the wider value
    scaled = std::nearbyint(scaled); // the default rounding mode: half to even
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.0f", scaled);
    return QString::fromLatin1(buf);
}

int bcd(uint8_t b, bool &ok)
{
    const int hi = b >> 4;
    const int lo = b & 0x0F;
    if (hi > 9 || lo > 9)
        ok = false;
    return hi * 10 + lo;
}

// 30 December 1899, day 0 of TDateTime.
constexpr qint64 kEpochJulianDay = 2415019;
constexpr qint64 kMsPerDay = 86400000;

// Splits t into a date and the milliseconds of the day. A negative TDateTime
// counts days before the epoch while its fraction is still the time of day.
void splitDateTime(TDateTime t, QDate &date, qint64 &msOfDay)
{
    // Beyond any calendar date (or not a number): read as day 0.
    if (!(std::fabs(t) < 1e8))
        t = 0;
    const double day = std::trunc(t);
    msOfDay = std::llround(std::fabs(t - day) * kMsPerDay);
    qint64 days = static_cast<qint64>(day);
    if (msOfDay >= kMsPerDay) { // rounding reached midnight
        msOfDay -= kMsPerDay;
        days += t < 0 ? -1 : 1;
    }
    date = QDate::fromJulianDay(kEpochJulianDay + days);
}

TDateTime joinDateTime(const QDate &date, qint64 msOfDay)
{
    const double day = static_cast<double>(date.toJulianDay() - kEpochJulianDay);
    const double time = static_cast<double>(msOfDay) / kMsPerDay;
    return day >= 0 ? day + time : day - time;
}

} // namespace

QChar PrefixChar(int exponent)
{
    static const char prefixes[] = "afpnum kMGTP";
    if (exponent < -18 || exponent > 15 || exponent % 3 != 0)
        return QChar();
    return QLatin1Char(prefixes[(exponent + 18) / 3]);
}

QString FormatValueSI(float value, bool exponentForm)
{
    double v = tameSpecial(value);
    if (std::fabs(v) < 1.5e-45)
        v = 0;
    v = std::fabs(v);
    if (v < 1e-18)
        v = 0;
    else if (v > 1e18)
        v = kHugeStandIn;

    const int d = v == 0 ? 6 : std::max(6, std::abs(static_cast<int>(std::trunc(std::log10(v)))) + 1);

    int x = 0;
    while (v >= 10000) {
        v /= 1000;
        x += 3;
    }
    if (v > 0) {
        while (v < 1) {
            v *= 1000;
            x -= 3;
        }
    }

    const QChar sep = formatSettings().decimalSeparator;
    QString s = fixedText(v, d, d, sep);

    // Move the separator left in steps of three so that at most four digits
    // stand before it, and keep the first five characters.
    const int p = s.indexOf(sep) + 1;
    const int k = ceilDiv(p - 4, 3) * 3;
    s.remove(p - 1, 1);
    s.insert(p - k - 1, sep);
    s.truncate(5);
    return withSuffix(s, x + k, exponentForm);
}

QString FormatValueRange(int rangeNumber, uint8_t exponentCode, bool exponentForm, float value)
{
    const int e = exponentCode;
    const double a = std::fabs(tameSpecial(value));

    // Power of ten of the last displayed digit, and the starting exponent.
    const int p = (e / 3 - 13) * 3 + e % 3 - (rangeNumber > 17 ? 6 : 5) + 1;
    int x = ((e - 1) / 3 - 13) * 3 - 3;

    QString s = scaledDigits(a, p);
    // pos: 1-based index where the separator goes.
    int pos = p + s.size() - x + 1;
    while (s.size() < pos - 1) {
        x += 3;
        pos -= 3;
    }
    while (pos < 2) {
        s.prepend(QLatin1Char('0'));
        ++pos;
    }
    if (s.size() > 4)
        s.truncate(4);
    while (s.size() == 4 && pos > 4) {
        x += 3;
        pos -= 3;
    }
    // A whole number of the unit moves to the next prefix as 0.xxx, except
    // when the resolution happens to equal length + pos.
    if (pos > s.size() && p != s.size() + pos) {
        x += 3;
        pos -= 3;
        while (s.size() < 4) {
            s.prepend(QLatin1Char('0'));
            ++pos;
        }
    }
    if (pos <= s.size())
        s.insert(pos - 1, formatSettings().decimalSeparator);
    return withSuffix(s, x, exponentForm);
}

TDateTime DecodeMeterDateTime(const uint8_t *b)
{
    bool ok = true;
    const int second = bcd(b[0], ok);
    const int minute = bcd(b[1], ok);
    const int hour = bcd(b[2] & 0x3F, ok);
    const int day = bcd(b[3], ok);
    const int month = bcd(b[4] & 0x1F, ok);
    const int year = 2000 + bcd(b[5], ok);
    TDateTime t;
    if (ok && EncodeDateTime(year, month, day, hour, minute, second, t))
        return t;
    return NowDateTime();
}

QString PadNumber(qint64 n, int width)
{
    if (width <= 0)
        return QString();
    QString s = QString::number(n);
    if (s.size() > width)
        return s.right(width);
    return s.rightJustified(width, QLatin1Char('0'));
}

TDateTime NowDateTime()
{
    return FromQDateTime(QDateTime::currentDateTime());
}

bool EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                    TDateTime &out)
{
    // TDateTime has no year 0 and no years beyond 9999.
    if (year < 1 || year > 9999 || !QDate::isValid(year, month, day)
        || !QTime::isValid(hour, minute, second))
        return false;
    out = joinDateTime(QDate(year, month, day),
                       ((hour * 60 + minute) * 60 + second) * qint64(1000));
    return true;
}

QDateTime ToQDateTime(TDateTime t)
{
    QDate date;
    qint64 ms;
    splitDateTime(t, date, ms);
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)), Qt::LocalTime);
}

TDateTime FromQDateTime(const QDateTime &dt)
{
    const QDateTime local = dt.toLocalTime();
    return joinDateTime(local.date(), local.time().msecsSinceStartOfDay());
}

QString FormatDate(TDateTime t)
{
    QDate date;
    qint64 ms;
    splitDateTime(t, date, ms);
    const QChar sep = formatSettings().dateSeparator;
    return PadNumber(date.day(), 2) + sep + PadNumber(date.month(), 2) + sep
        + PadNumber(date.year() % 100, 2);
}

QString FormatTime(TDateTime t)
{
    QDate date;
    qint64 ms;
    splitDateTime(t, date, ms);
    const qint64 seconds = ms / 1000;
    const QChar sep = formatSettings().timeSeparator;
    return PadNumber(seconds / 3600, 2) + sep + PadNumber(seconds / 60 % 60, 2) + sep
        + PadNumber(seconds % 60, 2);
}

QString FormatElapsed(qint64 seconds)
{
    // Unsigned so that the most negative count has a magnitude too.
    const quint64 magnitude = seconds < 0 ? 0 - static_cast<quint64>(seconds)
                                          : static_cast<quint64>(seconds);
    const QChar sep = formatSettings().timeSeparator;
    const QString hours = QString::number(magnitude / 3600).rightJustified(2, QLatin1Char('0'));
    return (seconds < 0 ? QStringLiteral("-") : QString()) + hours + sep
        + PadNumber(static_cast<qint64>(magnitude / 60 % 60), 2) + sep
        + PadNumber(static_cast<qint64>(magnitude % 60), 2);
}

} // namespace qv

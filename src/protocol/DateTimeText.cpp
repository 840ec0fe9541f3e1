#include "protocol/DateTimeText.h"

#include "protocol/FormatSettings.h"

#include <QDate>
#include <QTime>

#include <cmath>
#include <cstring>

namespace qv {

namespace {

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

TDateTime DecodeMeterDateTime(const uint8_t *b)
{
    // Frames repeat the meter's clock until its next second: remember the
    // last valid one.
    static thread_local uint8_t lastBytes[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    static thread_local TDateTime lastTime = 0;
    if (std::memcmp(b, lastBytes, 6) == 0)
        return lastTime;
    bool ok = true;
    const int second = bcd(b[0], ok);
    const int minute = bcd(b[1], ok);
    const int hour = bcd(b[2] & 0x3F, ok);
    const int day = bcd(b[3], ok);
    const int month = bcd(b[4] & 0x1F, ok);
    const int year = 2000 + bcd(b[5], ok);
    TDateTime t;
    if (ok && EncodeDateTime(year, month, day, hour, minute, second, t)) {
        std::memcpy(lastBytes, b, 6);
        lastTime = t;
        return t;
    }
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

namespace {
// Three two-digit numbers joined by a separator: "dd-mm-yy", "hh:nn:ss".
QString threeFields(int a, int b, int c, QChar separator)
{
    const char16_t sep = separator.unicode();
    const char16_t text[8] = {char16_t('0' + a / 10 % 10), char16_t('0' + a % 10), sep,
                              char16_t('0' + b / 10 % 10), char16_t('0' + b % 10), sep,
                              char16_t('0' + c / 10 % 10), char16_t('0' + c % 10)};
    return QString(reinterpret_cast<const QChar *>(text), 8);
}
} // namespace

QString FormatDate(TDateTime t)
{
    QDate date;
    qint64 ms;
    splitDateTime(t, date, ms);
    return threeFields(date.day(), date.month(), date.year() % 100, formatSettings().dateSeparator);
}

QString FormatTime(TDateTime t)
{
    QDate date;
    qint64 ms;
    splitDateTime(t, date, ms);
    const int seconds = int(ms / 1000);
    return threeFields(seconds / 3600, seconds / 60 % 60, seconds % 60,
                       formatSettings().timeSeparator);
}

QString FormatElapsed(qint64 seconds)
{
    if (seconds >= 0 && seconds < 100 * 3600) // the common case: two-digit hours
        return threeFields(int(seconds / 3600), int(seconds / 60 % 60), int(seconds % 60),
                           formatSettings().timeSeparator);
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

#include "engine/meterclock.h"

#include <cstdio>

namespace qvsim {

namespace {

bool leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

uint8_t bcd(int v) { return uint8_t(((v / 10) << 4) | (v % 10)); }

// Two digits at s[pos]; -1 when they are not digits.
int twoDigits(const std::string &s, size_t pos)
{
    if (s.size() < pos + 2)
        return -1;
    const char a = s[pos], b = s[pos + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9')
        return -1;
    return (a - '0') * 10 + (b - '0');
}

} // namespace

int daysInMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return days[month - 1] + (month == 2 && leap(year) ? 1 : 0);
}

bool DateTime::valid() const
{
    return year >= 2000 && year <= 2099 && month >= 1 && month <= 12 && day >= 1
        && day <= daysInMonth(year, month) && hour >= 0 && hour < 24 && minute >= 0
        && minute < 60 && second >= 0 && second < 60;
}

bool DateTime::operator==(const DateTime &o) const
{
    return year == o.year && month == o.month && day == o.day && hour == o.hour
        && minute == o.minute && second == o.second;
}

int64_t toSeconds(const DateTime &t)
{
    int64_t days = 0;
    for (int y = 2000; y < t.year; ++y)
        days += leap(y) ? 366 : 365;
    for (int m = 1; m < t.month; ++m)
        days += daysInMonth(t.year, m);
    days += t.day - 1;
    return ((days * 24 + t.hour) * 60 + t.minute) * 60 + t.second;
}

DateTime fromSeconds(int64_t s)
{
    const int64_t centurySeconds = toSeconds(DateTime{2099, 12, 31, 23, 59, 59});
    if (s < 0)
        s = 0;
    if (s > centurySeconds)  // the meter's calendar ends with its century
        s = centurySeconds;
    DateTime t;
    int64_t days = s / 86400;
    int64_t rest = s % 86400;
    t.hour = int(rest / 3600);
    t.minute = int(rest / 60 % 60);
    t.second = int(rest % 60);
    t.year = 2000;
    while (days >= (leap(t.year) ? 366 : 365)) {
        days -= leap(t.year) ? 366 : 365;
        ++t.year;
    }
    t.month = 1;
    while (days >= daysInMonth(t.year, t.month)) {
        days -= daysInMonth(t.year, t.month);
        ++t.month;
    }
    t.day = int(days) + 1;
    return t;
}

BcdClock toBcd(const DateTime &t)
{
    return {bcd(t.second), bcd(t.minute), bcd(t.hour), bcd(t.day), bcd(t.month), bcd(t.year % 100)};
}

std::string dateText(const DateTime &t)
{
    char b[16];
    std::snprintf(b, sizeof b, "%02d.%02d.%02d", t.day, t.month, t.year % 100);
    return b;
}

std::string timeText(const DateTime &t)
{
    char b[16];
    std::snprintf(b, sizeof b, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return b;
}

bool parseDateText(const std::string &s, DateTime &t)
{
    DateTime n = t;
    n.day = twoDigits(s, 0);
    n.month = twoDigits(s, 3);
    const int yy = twoDigits(s, 6);
    if (s.size() != 8 || n.day < 0 || n.month < 0 || yy < 0)
        return false;
    n.year = 2000 + yy;
    if (!n.valid())
        return false;
    t = n;
    return true;
}

bool parseTimeText(const std::string &s, DateTime &t)
{
    DateTime n = t;
    n.hour = twoDigits(s, 0);
    n.minute = twoDigits(s, 3);
    n.second = twoDigits(s, 6);
    if (s.size() != 8 || n.hour < 0 || n.minute < 0 || n.second < 0 || !n.valid())
        return false;
    t = n;
    return true;
}

void MeterClock::set(const DateTime &t, uint64_t nowMs)
{
    m_setSeconds = toSeconds(t);
    m_setMs = nowMs;
}

int64_t MeterClock::secondsAt(uint64_t nowMs) const
{
    return m_setSeconds + int64_t((nowMs - m_setMs) / 1000);
}

DateTime MeterClock::at(uint64_t nowMs) const { return fromSeconds(secondsAt(nowMs)); }

} // namespace qvsim

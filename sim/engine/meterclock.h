// The meter's own real-time clock: a calendar date and time of this century,
// counted in seconds, sent as packed BCD in every status block.
#pragma once

#include "engine/frames.h"

#include <cstdint>
#include <string>

namespace qvsim {

struct DateTime {
    int year = 2000;   // 2000 ... 2099
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool valid() const;
    bool operator==(const DateTime &o) const;
};

// Seconds since 1 January 2000 00:00:00, and back.
int64_t toSeconds(const DateTime &t);
DateTime fromSeconds(int64_t s);
int daysInMonth(int year, int month);

BcdClock toBcd(const DateTime &t);

// "dd.mm.yy" and "hh:mm:ss": the texts of the meter's date and time fields.
std::string dateText(const DateTime &t);
std::string timeText(const DateTime &t);
// Parse them back into `t` (only the date or only the time part changes);
// false when the text is not a valid date or time.
bool parseDateText(const std::string &s, DateTime &t);
bool parseTimeText(const std::string &s, DateTime &t);

// Runs from a set point: the time now is the set time plus the elapsed
// milliseconds of the engine's clock.
class MeterClock {
public:
    void set(const DateTime &t, uint64_t nowMs);
    DateTime at(uint64_t nowMs) const;
    int64_t secondsAt(uint64_t nowMs) const;

private:
    int64_t m_setSeconds = 0;
    uint64_t m_setMs = 0;
};

} // namespace qvsim

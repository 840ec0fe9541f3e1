// The meter's packed clock and the program's date and time texts: TDateTime
// (days since 30 December 1899) to and from Qt, "dd-mm-yy" and "hh:nn:ss"
// with the system's separators (from formatSettings()), and elapsed times.
#pragma once

#include "protocol/Records.h"

#include <QDateTime>
#include <QString>

#include <cstdint>

namespace qv {

// The meter clock: six packed-BCD bytes (seconds, minutes, hours, day, month,
// year in the century). An invalid clock gives NowDateTime().
TDateTime DecodeMeterDateTime(const uint8_t *sixBytes);

// Decimal text of n padded with leading "0" to width characters, or cut from
// the left to width characters.
QString PadNumber(qint64 n, int width);

// The computer's current local date and time.
TDateTime NowDateTime();

// False (and out untouched) when the fields do not make a valid date and time.
bool EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                    TDateTime &out);

// Conversions to and from Qt, in local time, to the millisecond.
QDateTime ToQDateTime(TDateTime t);
TDateTime FromQDateTime(const QDateTime &dt);

// "dd", date separator, "mm", date separator, "yy".
QString FormatDate(TDateTime t);
// "hh", time separator, "nn", time separator, "ss".
QString FormatTime(TDateTime t);
// A duration as hours (at least two digits), minutes and seconds, e.g. "25:00:00".
// A negative duration gets a leading "-".
QString FormatElapsed(qint64 seconds);

} // namespace qv

// How the program writes the meter's numbers and clock values as text: the
// short fixed-width value texts with an SI prefix (as on the meter's own
// display), the meter's packed date and time, and the date/time helpers that
// the records, files and printouts share. Separators come from formatSettings().
#pragma once

#include "protocol/Records.h"

#include <QChar>
#include <QDateTime>
#include <QString>

#include <cstdint>

namespace qv {

// Five-character mantissa and prefix, e.g. "1.234 k"; with exponentForm the
// prefix becomes "e3" (nothing for e0). The sign is not shown. Seven spaces
// when the engineering exponent has no prefix.
QString FormatValueSI(float value, bool exponentForm);

// The display text of a measured value at a range: at most four digits, the
// last one at the resolution given by the range number and exponent code.
QString FormatValueRange(int rangeNumber, uint8_t exponentCode, bool exponentForm, float value);

// The same texts written into an existing string, reusing its storage: the
// receiver fills its records this way without allocating.
void FormatValueSIInto(QString &out, float value, bool exponentForm);
void FormatValueRangeInto(QString &out, int rangeNumber, uint8_t exponentCode, bool exponentForm,
                          float value);

// The SI prefix of an engineering exponent (a f p n u m, ' ' for 0, k M G T P);
// a null QChar when the exponent has none.
QChar PrefixChar(int exponent);

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

// How the program writes the meter's numbers as text: the short fixed-width
// value texts with an SI prefix, as on the meter's own display. Separators
// come from formatSettings(). The clock and date/time texts are in
// DateTimeText.h, included here for the callers that use both.
#pragma once

#include "protocol/DateTimeText.h"
#include "protocol/Records.h"

#include <QChar>
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

} // namespace qv

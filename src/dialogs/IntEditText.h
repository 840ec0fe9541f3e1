// The text rules of the integer spin edit, apart from the widget: what typing
// may leave in the edit, how a typed text is committed, and how a value is
// brought inside the limits and onto the step.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace qv {

// Removes every character that is not a digit, except a minus sign in the
// first position. `cursor`, when given, is moved back over what was removed.
QString filterIntText(const QString &text, int *cursor = nullptr);

struct CommittedInt {
    QString text;                  // what the edit shows after the commit
    std::optional<int32_t> value;  // unset: the text is no 32-bit integer
};

// The typed text as committed: its first 11 characters, compared as text
// (left-padded with "0" to 11 characters) with the padded limits of a 32-bit
// integer and replaced by the limit it passes, then stripped of leading zeros
// ("0" when nothing is left). The text comparison lets a few negative texts
// through that do not read as an integer; their value is unset.
CommittedInt commitIntText(const QString &typed);

// `v` clamped to min..max, then truncated toward zero to a multiple of `step`.
int32_t snapIntValue(int64_t v, int32_t min, int32_t max, uint16_t step);

} // namespace qv

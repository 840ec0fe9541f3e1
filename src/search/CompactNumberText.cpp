#include "search/CompactNumberText.h"

#include "protocol/Cp1250.h"
#include "protocol/FormatSettings.h"

#include <charconv>
#include <cmath>

namespace qv {

namespace {
constexpr double OverRange = 1.7e38;

// The four leading digits of v (1 <= v < 10000) rounded half away from zero,
// and the power of ten of the first of them (0..4: 9999.5 rounds to 10000).
// The rounding looks at the exact decimal expansion, not at a second binary
// rounding, so ties such as 12.125 go up as written.
void fourDigits(double v, char digits[4], int &power)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 20);
    // buf: d.dddddddddddddddddddde+XX
    const std::string_view s(buf, size_t(r.ptr - buf));
    const size_t ePos = s.find('e');
    int exp10 = 0;
    std::from_chars(s.data() + ePos + (s[ePos + 1] == '+' ? 2 : 1), s.data() + s.size(), exp10);
    char all[21];
    all[0] = s[0];
    for (int i = 1; i < 21; ++i)
        all[i] = s[size_t(i) + 1];
    int carry = all[4] >= '5' ? 1 : 0;
    for (int i = 3; i >= 0 && carry; --i) {
        if (all[i] == '9') {
            all[i] = '0';
        } else {
            ++all[i];
            carry = 0;
        }
    }
    if (carry) {   // 9999.5 and up: 10000
        all[0] = '1';
        ++exp10;
    }
    for (int i = 0; i < 4; ++i)
        digits[i] = all[i];
    power = exp10;
}
} // namespace

std::string CompactNumberText(double x, char decimalSeparator)
{
    if (std::isnan(x))
        x = 0;
    else if (std::isinf(x))
        x = x > 0 ? OverRange : -OverRange;
    if (std::fabs(x) < 2.9e-39)
        x = 0;
    if (x >= OverRange)
        return "Over";
    x = std::fabs(x);
    if (x < 1e-18)
        x = 0;
    else if (x > 1e18)
        x = 9.999e17;

    int e = 0;
    while (x >= 10000) {
        x /= 1000;
        e += 3;
    }
    if (x > 0) {
        while (x < 1) {
            x *= 1000;
            e -= 3;
        }
    }

    std::string out;
    if (x == 0) {
        out = "0";
        out += decimalSeparator;
        out += "000";
    } else {
        char d[4];
        int power = 0;
        fourDigits(x, d, power);
        // The fixed-point text has power + 1 digits before the separator; a
        // separator after the fourth place or later moves three places left.
        int before = power + 1;
        if (before >= 4) {
            before -= 3;
            e += 3;
        }
        // Five characters: the digits (zeros after the fourth) with the
        // separator after `before` of them.
        char digits[5] = {d[0], d[1], d[2], d[3], '0'};
        out.assign(digits, size_t(before));
        out += decimalSeparator;
        out.append(digits + before, size_t(4 - before));
    }
    if (e != 0) {
        out += 'e';
        out += std::to_string(e);
    }
    return out;
}

QString CompactNumberText(double x)
{
    const QByteArray sep = ToCp1250(QString(formatSettings().decimalSeparator));
    return FromCp1250(QByteArray::fromStdString(CompactNumberText(x, sep.isEmpty() ? '.' : sep[0])));
}

} // namespace qv

#include "protocol/ValueFormat.h"

#include "protocol/FormatSettings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace qv {

namespace {


float floatFromBits(uint32_t bits)
{
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// The stand-ins for values the display cannot show: the largest text for
// infinities and for anything above 1e18 are these exact Single values.
const float kInfinityStandIn = floatFromBits(0x7F7FC99Eu); // 3.4e38
const float kHugeStandIn = floatFromBits(0x5D5E05BCu);     // 9.999e17

// The fixed-point conversion never works with more digits than this, as the
// float-to-text routine the display texts were designed with.
constexpr int kMaxFixedDigits = 18;

constexpr uint64_t kPowersOfTen[20] = {
    1ull, 10ull, 100ull, 1000ull, 10000ull, 100000ull, 1000000ull, 10000000ull, 100000000ull,
    1000000000ull, 10000000000ull, 100000000000ull, 1000000000000ull, 10000000000000ull,
    100000000000000ull, 1000000000000000ull, 10000000000000000ull, 100000000000000000ull,
    1000000000000000000ull, 10000000000000000000ull};

// Writes the decimal digits of n into out (no terminator); returns their count.
int decimalDigits(uint64_t n, char *out)
{
    char tmp[24];
    int len = 0;
    do {
        tmp[len++] = char('0' + n % 10);
        n /= 10;
    } while (n);
    for (int i = 0; i < len; ++i)
        out[i] = tmp[len - 1 - i];
    return len;
}

// A short text being assembled; turned into a QString once.
class TextBuffer {
public:
    void add(char16_t c) { m_chars[m_size++] = c; }
    void add(const char *s)
    {
        while (*s)
            add(char16_t(*s++));
    }
    void add(const char16_t *s)
    {
        while (*s)
            add(*s++);
    }
    void addNumber(int n)
    {
        if (n < 0) {
            add(u'-');
            n = -n;
        }
        char digits[12];
        const int len = decimalDigits(uint64_t(n), digits);
        for (int i = 0; i < len; ++i)
            add(char16_t(digits[i]));
    }
    void setSpaces(int n)
    {
        m_size = 0;
        while (n-- > 0)
            add(u' ');
    }
    QString text() const { return QString(reinterpret_cast<const QChar *>(m_chars), m_size); }
    // Writes the text into `out`, reusing its storage when it owns enough.
    void assignTo(QString &out) const
    {
        if (out.isDetached() && out.capacity() >= m_size) {
            if (out.size() != m_size)
                out.resize(m_size);
            std::memcpy(out.data(), m_chars, sizeof(char16_t) * size_t(m_size));
        } else {
            out = text();
        }
    }

private:
    char16_t m_chars[48];
    int m_size = 0;
};

// The leading significant digits of v (>= 0, finite) once it is rounded to
// `keep` significant digits, half away from zero on its exact binary value
// (so 12.345f, which is 12.34500026..., rounds up like any value above a
// half). At least four digits are written; intDigits gets the number of
// digits before the decimal point (1 for v = 0).
void roundedDigits(double v, int keep, char *digits, int &intDigits)
{
    keep = std::clamp(keep, 4, kMaxFixedDigits);
    if (v == 0) {
        std::memset(digits, '0', size_t(keep));
        intDigits = 1;
        return;
    }
    if (v >= 1 && v < 1e5) {
        // Exact: v = m * 2^-shift with a 53-bit m; the scaled value needs
        // at most 110 bits.
        intDigits = v < 10 ? 1 : v < 100 ? 2 : v < 1000 ? 3 : v < 10000 ? 4 : 5;
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        const uint64_t mantissa = (bits & ((uint64_t(1) << 52) - 1)) | (uint64_t(1) << 52);
        const int shift = 1075 - int(bits >> 52); // v = mantissa * 2^-shift, 36 < shift <= 52
        const unsigned __int128 scaled =
            static_cast<unsigned __int128>(mantissa) * kPowersOfTen[keep - intDigits];
        uint64_t q = static_cast<uint64_t>(scaled >> shift);
        const unsigned __int128 rest = scaled & ((static_cast<unsigned __int128>(1) << shift) - 1);
        if (rest >= (static_cast<unsigned __int128>(1) << (shift - 1)))
            ++q;
        if (q >= kPowersOfTen[keep])
            ++intDigits; // rounding carried into a new leading digit
        // Only the leading four digits are shown.
        int length = keep + (q >= kPowersOfTen[keep] ? 1 : 0);
        uint64_t lead = q / kPowersOfTen[length - 4];
        for (int i = 3; i >= 0; --i, lead /= 10)
            digits[i] = char('0' + lead % 10);
        return;
    }
    // Elsewhere (not reached by the display ranges): the exact expansion.
    char buf[128];
    std::snprintf(buf, sizeof buf, "%.80e", v);
    std::string all(1, buf[0]);
    const char *e = std::strchr(buf, 'e');
    all.append(static_cast<const char *>(buf + 2), e);
    intDigits = std::atoi(e + 1) + 1;
    std::string kept = all.substr(0, size_t(keep));
    if (all[size_t(keep)] >= '5') {
        int i = keep - 1;
        while (i >= 0 && kept[size_t(i)] == '9')
            kept[size_t(i--)] = '0';
        if (i >= 0) {
            ++kept[size_t(i)];
        } else {
            kept.insert(kept.begin(), '1');
            ++intDigits;
        }
    }
    std::memcpy(digits, kept.data(), kept.size());
}

// Mantissa text with the prefix of exponent x, or followed by "e<x>"; seven
// spaces when x has no prefix.
void addSuffix(TextBuffer &t, int x, bool exponentForm)
{
    const QChar prefix = PrefixChar(x);
    if (prefix.isNull()) {
        t.setSpaces(7);
    } else if (!exponentForm) {
        t.add(u' ');
        t.add(prefix.unicode());
    } else if (x != 0) {
        t.add(u'e');
        t.addNumber(x);
    }
}

// NaN shows as 0 and infinities as the largest Single the meter would send.
float tameSpecial(float value)
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

// Decimal digits of round(a * 10^-p), half to even, into out; returns their
// count. The product is taken as a Single, as the meter's value is, so that a
// value such as 12.345 at a resolution of 0.01 rounds as the half it stands for.
int scaledDigits(double a, int p, char *out, int capacity)
{
    const double exact = p <= 0 ? a * powerOfTen(-p) : a / powerOfTen(p);
    double scaled = static_cast<float>(exact);
    if (std::isinf(scaled))
        scaled = exact; // beyond Single range: keep the wider value
    scaled = std::nearbyint(scaled); // the default rounding mode: half to even
    if (scaled < 1e19)
        return decimalDigits(static_cast<uint64_t>(scaled), out);
    const int n = std::snprintf(out, size_t(capacity), "%.0f", scaled);
    return std::min(n, capacity - 1);
}

} // namespace

QChar PrefixChar(int exponent)
{
    static const char prefixes[] = "afpnum kMGTP";
    if (exponent < -18 || exponent > 15 || exponent % 3 != 0)
        return QChar();
    return QLatin1Char(prefixes[(exponent + 18) / 3]);
}

namespace {

void formatSI(TextBuffer &t, float value, bool exponentForm)
{
    // Most fields of a record are empty: zero is "0.000" and the blank prefix.
    if (value == 0.0f) {
        t.add(u'0');
        t.add(formatSettings().decimalSeparator.unicode());
        t.add(u"000");
        addSuffix(t, 0, exponentForm);
        return;
    }
    // The meter's number stays a Single throughout: each scaling step below
    // rounds to single precision, so a round number the meter sends (1e12
    // is 999999995904) scales to a round mantissa (1000) as on its display.
    float v = std::fabs(tameSpecial(value));
    if (v < 1e-18)
        v = 0; // subnormals included
    else if (v > 1e18)
        v = kHugeStandIn;

    // Digits of precision: one more than the decimal exponent's size, at
    // least 6 (so 6 for every value between 1e-6 and 1e6).
    const int d = (v == 0 || (double(v) > 1e-6 && v < 1e6f))
                      ? 6
                      : std::max(6, std::abs(static_cast<int>(std::trunc(std::log10(double(v))))) + 1);

    int x = 0;
    while (v >= 10000.0f) {
        v = v / 1000.0f;
        x += 3;
    }
    if (v > 0) {
        while (v < 1.0f) {
            v = v * 1000.0f;
            x -= 3;
        }
    }

    // Four digits are shown; at most four stand before the separator, so a
    // fourth or fifth whole digit moves the exponent up by three.
    char digits[24];
    int intDigits = 1;
    roundedDigits(v, d, digits, intDigits);
    const int k = intDigits >= 4 ? 3 : 0;
    const int before = intDigits - k;
    for (int i = 0; i < 4; ++i) {
        if (i == before)
            t.add(formatSettings().decimalSeparator.unicode());
        t.add(char16_t(digits[i]));
    }
    addSuffix(t, x + k, exponentForm);
}

void formatRange(TextBuffer &t, int rangeNumber, uint8_t exponentCode, bool exponentForm, float value)
{
    const int e = exponentCode;
    const double a = std::fabs(tameSpecial(value));

    // Power of ten of the last displayed digit, and the starting exponent.
    const int p = (e / 3 - 13) * 3 + e % 3 - (rangeNumber > 17 ? 6 : 5) + 1;
    int x = ((e - 1) / 3 - 13) * 3 - 3;

    // s: the digits, with room in front for the zeros the steps insert.
    char buffer[512];
    char *s = buffer + 16;
    int len = scaledDigits(a, p, s, int(sizeof buffer) - 16);
    auto prependZero = [&] {
        *--s = '0';
        ++len;
    };
    // pos: 1-based index where the separator goes.
    int pos = p + len - x + 1;
    while (len < pos - 1) {
        x += 3;
        pos -= 3;
    }
    while (pos < 2 && s > buffer) {
        prependZero();
        ++pos;
    }
    if (len > 4)
        len = 4;
    while (len == 4 && pos > 4) {
        x += 3;
        pos -= 3;
    }
    // A whole number of the unit moves to the next prefix as 0.xxx, except
    // when the resolution happens to equal length + pos.
    if (pos > len && p != len + pos) {
        x += 3;
        pos -= 3;
        while (len < 4) {
            prependZero();
            ++pos;
        }
    }
    for (int i = 0; i < len; ++i) {
        if (i == pos - 1)
            t.add(formatSettings().decimalSeparator.unicode());
        t.add(char16_t(s[i]));
    }
    addSuffix(t, x, exponentForm);
}

} // namespace

QString FormatValueSI(float value, bool exponentForm)
{
    TextBuffer t;
    formatSI(t, value, exponentForm);
    return t.text();
}

void FormatValueSIInto(QString &out, float value, bool exponentForm)
{
    TextBuffer t;
    formatSI(t, value, exponentForm);
    t.assignTo(out);
}

QString FormatValueRange(int rangeNumber, uint8_t exponentCode, bool exponentForm, float value)
{
    TextBuffer t;
    formatRange(t, rangeNumber, exponentCode, exponentForm, value);
    return t.text();
}

void FormatValueRangeInto(QString &out, int rangeNumber, uint8_t exponentCode,
                          bool exponentForm, float value)
{
    TextBuffer t;
    formatRange(t, rangeNumber, exponentCode, exponentForm, value);
    t.assignTo(out);
}

} // namespace qv

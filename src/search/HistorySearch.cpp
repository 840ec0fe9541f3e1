#include "search/HistorySearch.h"

#include "history/HistoryColumns.h"
#include "protocol/Cp1250.h"
#include "protocol/FormatSettings.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace qv {

namespace {

const std::array<unsigned char, 256> &upperTable()
{
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char c = char(b);
            const QString upper = FromCp1250(&c, 1).toUpper();
            const QByteArray back = upper.size() == 1 ? ToCp1250(upper, '\0') : QByteArray();
            t[b] = back.size() == 1 && back[0] != '\0' ? static_cast<unsigned char>(back[0])
                                                        : static_cast<unsigned char>(b);
        }
        return t;
    }();
    return table;
}

std::string_view trimTrailingBlanks(std::string_view s)
{
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// Texts as they are compared: upper case, no trailing blanks; in the notes
// column without commas and blanks at all. Written into `buffer` (reused,
// grown only for a longer text).
std::string_view foldText(std::string_view s, bool notes, std::string &buffer)
{
    const auto &upper = upperTable();
    s = trimTrailingBlanks(s);
    if (buffer.size() < s.size())
        buffer.resize(s.size());
    char *out = &buffer[0];
    size_t n = 0;
    for (char c : s)
        if (!notes || (c != ',' && c != ' '))
            out[n++] = char(upper[static_cast<unsigned char>(c)]);
    return {out, n};
}

// The characters of a date or time at 1-based positions (missing ones left
// out), compared as a byte string.
struct Picked {
    char bytes[6];
    size_t size = 0;
    std::string_view view() const { return {bytes, size}; }
};
template <size_t N>
Picked pick(std::string_view s, const int (&positions)[N])
{
    static_assert(N <= sizeof(Picked::bytes));
    Picked out;
    for (int p : positions)
        if (p - 1 < int(s.size()))
            out.bytes[out.size++] = s[p - 1];
    return out;
}
constexpr int DateOrder[] = {7, 8, 4, 5, 1, 2};
constexpr int TimeOrder[] = {1, 2, 4, 5, 7, 8};

template <class T>
bool compare(int op, const T &a, const T &b)
{
    switch (op) {
    case OpNotEqual: return a != b;
    case OpLess: return a < b;
    case OpLessEqual: return a <= b;
    case OpEqual: return a == b;
    case OpGreaterEqual: return a >= b;
    case OpGreater: return a > b;
    default: return false;
    }
}

bool readInteger(std::string_view s, qint64 &value)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    const auto r = std::from_chars(s.data(), s.data() + s.size(), value);
    return r.ec == std::errc() && r.ptr == s.data() + s.size() && !s.empty();
}

} // namespace

std::string UpperCp1250(std::string_view text)
{
    const auto &t = upperTable();
    std::string out(text);
    for (char &c : out)
        c = char(t[static_cast<unsigned char>(c)]);
    return out;
}

namespace {
// Powers of ten that a double holds exactly.
constexpr double ExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                  1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The common case in one pass: [-]digits[sep digits][e[+-]digits] with a
// mantissa below 2^53 and a power of ten within 22. Then one multiplication
// or division of two exact doubles gives the correctly rounded value, the
// same as from_chars gives. False: not such a text (the full reading decides).
bool readShortNumber(std::string_view s, char decimal, double &value)
{
    const char *p = s.data(), *end = p + s.size();
    const bool negative = p != end && *p == '-';
    p += negative;
    uint64_t mantissa = 0;
    int digits = 0, scale = 0;   // significant digits; the power of ten of the last one
    bool any = false;
    const auto digit = [&](char c) {
        mantissa = mantissa * 10 + unsigned(c - '0');
        digits += mantissa != 0;
        any = true;
    };
    for (; p != end && unsigned(*p - '0') < 10; ++p)
        digit(*p);
    if (p != end && *p == decimal) {
        for (++p; p != end && unsigned(*p - '0') < 10; ++p, --scale)
            digit(*p);
    }
    if (!any || digits > 19)
        return false;
    if (p != end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool minus = p != end && *p == '-';
        p += p != end && (*p == '-' || *p == '+');
        int exponent = 0, expDigits = 0;
        for (; p != end && unsigned(*p - '0') < 10 && expDigits < 4; ++p, ++expDigits)
            exponent = exponent * 10 + (*p - '0');
        if (expDigits == 0)
            return false;
        scale += minus ? -exponent : exponent;
    }
    if (p != end || mantissa > (uint64_t(1) << 53) || scale < -22 || scale > 22)
        return false;
    const double m = double(mantissa);
    value = scale < 0 ? m / ExactPowers[-scale] : m * ExactPowers[scale];
    if (negative)
        value = -value;
    return true;
}
} // namespace

bool ReadSearchNumber(std::string_view s, char decimal, double &value)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    if (readShortNumber(s, decimal, value))
        return true;
    char buf[64];
    if (s.empty() || s.size() >= sizeof buf)
        return false;
    bool copy = false;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == decimal) {
            copy |= c != '.';
        } else if (!((c >= '0' && c <= '9') || c == '-' || c == '+' || c == 'e' || c == 'E')) {
            return false;   // a full stop under a decimal comma, letters, "Over"
        }
    }
    // Only another decimal separator than the full stop needs a copy.
    const char *p = s.data();
    if (copy) {
        for (size_t i = 0; i < s.size(); ++i)
            buf[i] = s[i] == decimal ? '.' : s[i];
        p = buf;
    }
    const auto r = std::from_chars(p, p + s.size(), value);
    return r.ec == std::errc() && r.ptr == p + s.size();
}

BoxStyle ColumnStyle(int column)
{
    switch (column) {
    case hc::Date: return BoxStyle::Date;
    case hc::Time: case hc::IntegrationTime: return BoxStyle::Time;
    case hc::Comment: case hc::Notes: return BoxStyle::Text;
    default: return BoxStyle::Real;
    }
}

HistorySearch::HistorySearch(const std::vector<Criterion> &criteria, bool orMode)
    : m_or(orMode), m_decimal(ToCp1250(QString(formatSettings().decimalSeparator)).at(0))
{
    for (const Criterion &c : criteria) {
        if (c.op == OpOff || c.column < 1 || c.column > hc::Notes)
            continue;
        Test t{c.column, ColumnStyle(c.column), c.op, {}};
        const QByteArray bytes = ToCp1250(c.text);
        const std::string_view text(bytes.constData(), size_t(bytes.size()));
        switch (t.style) {
        case BoxStyle::Date: t.key = std::string(pick(text, DateOrder).view()); break;
        case BoxStyle::Time: t.key = std::string(pick(text, TimeOrder).view()); break;
        case BoxStyle::Text: t.key = std::string(foldText(text, c.column == hc::Notes, m_folded)); break;
        case BoxStyle::Real: t.numberOk = ReadSearchNumber(text, m_decimal, t.number); break;
        case BoxStyle::Longint: t.integer = c.intValue; break;
        }
        m_tests.push_back(std::move(t));
    }
    // The boxes are tested in column order.
    std::stable_sort(m_tests.begin(), m_tests.end(), [](const Test &a, const Test &b) { return a.column < b.column; });
}

bool HistorySearch::test(const Test &t, std::string_view cell) const
{
    switch (t.style) {
    case BoxStyle::Date: return compare(t.op, pick(cell, DateOrder).view(), std::string_view(t.key));
    case BoxStyle::Time: return compare(t.op, pick(cell, TimeOrder).view(), std::string_view(t.key));
    case BoxStyle::Text: {
        const std::string_view folded = foldText(cell, t.column == hc::Notes, m_folded);
        const bool contains = !t.key.empty() && folded.find(t.key) != std::string_view::npos;
        switch (t.op) {
        case OpContains: return contains;
        case OpTextEqual: return folded == t.key;
        case OpNotContains: return !contains;
        case OpTextNotEqual: return folded != t.key;
        default: return false;
        }
    }
    case BoxStyle::Real: {
        double v = 0;
        return t.numberOk && ReadSearchNumber(cell, m_decimal, v) && compare(t.op, v, t.number);
    }
    case BoxStyle::Longint: {
        qint64 v = 0;
        return readInteger(cell, v) && compare(t.op, v, t.integer);
    }
    }
    return false;
}

bool HistorySearch::matches(const CellTable &table, int row) const
{
    if (m_tests.empty())
        return !m_or;
    std::string_view cells[hc::Notes + 1];
    table.splitRow(row, cells, m_tests.back().column + 1);
    for (const Test &t : m_tests) {
        const bool hit = test(t, cells[t.column]);
        if (m_or && hit)
            return true;
        if (!m_or && !hit)
            return false;
    }
    return !m_or;
}

std::vector<int> HistorySearch::run(const CellTable &table, int rows,
                                    const std::function<bool(int done, int total)> &progress) const
{
    std::vector<int> found;
    const int total = std::min(rows, table.rowCount());
    constexpr int Every = 4096;
    for (int r = 0; r < total; ++r) {
        if (progress && r % Every == 0 && !progress(r, total))
            return found;
        if (matches(table, r))
            found.push_back(r);
    }
    if (progress)
        progress(total, total);
    return found;
}

void CopyResults(const CellTable &from, const std::vector<int> &rows, CellTable &results)
{
    CellTable::BulkChange bulk(results);
    results.reset();
    if (rows.empty())
        return;
    results.setRowCount(int(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i)
        results.setRowBytes(int(i), from.rowView(rows[i]), false);
}

QString OdmienPomiar(qint64 n)
{
    return n == 1 ? QStringLiteral("measure") : QStringLiteral("measures");
}

QString ResultText(int found)
{
    if (found <= 0)
        return QStringLiteral("Measures not found");
    return QStringLiteral("%1 %2 found").arg(found).arg(OdmienPomiar(found));
}

} // namespace qv

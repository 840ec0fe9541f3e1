#include "files/HistoryFields.h"

#include "history/HistoryColumns.h"
#include "protocol/Cp1250.h"
#include "protocol/DateTimeText.h"
#include "protocol/FormatSettings.h"
#include "protocol/QVFun.h"
#include "search/CompactNumberText.h"

#include <QDate>

#include <charconv>
#include <climits>
#include <cstring>

namespace qv {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool allDigits(std::string_view s)
{
    for (char c : s)
        if (!isDigit(c))
            return false;
    return !s.empty();
}

int twoDigits(const char *p) { return (p[0] - '0') * 10 + (p[1] - '0'); }

char byteOf(QChar c)
{
    const QByteArray b = ToCp1250(QString(c));
    return b.isEmpty() ? '?' : b[0];
}

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// The lenient readings of dates and times work on text.
void appendLenient(std::string &out, std::string_view field, bool date)
{
    QString text = FromCp1250(field.data(), int(field.size()));
    TDateTime t = 0;
    const bool ok = date ? NormalizeDate(text, t) : NormalizeTime(text, t);
    if (ok)
        out += ToCp1250(text).toStdString();
}

// "dd-mm-yyyy" (as written) or "dd-mm-yy" (as the grid holds it) of a valid
// day in the day-month-year order, the first order the lenient reading tries,
// written as "dd-mm-yy"; nullptr when the field is not such a date.
char *writePlainDate(char *out, std::string_view f, const FieldFormat &format)
{
    if ((f.size() != 10 && f.size() != 8) || f[2] != format.date || f[5] != format.date || !isDigit(f[0]) ||
        !isDigit(f[1]) || !isDigit(f[3]) || !isDigit(f[4]) || !allDigits(f.substr(6)))
        return nullptr;
    const int day = twoDigits(f.data());
    const int month = twoDigits(f.data() + 3);
    if (f.size() == 10) {
        const int year = twoDigits(f.data() + 6) * 100 + twoDigits(f.data() + 8);
        if (year < 1 || !QDate::isValid(year, month, day))
            return nullptr;
        std::memcpy(out, f.data(), 6);
        std::memcpy(out + 6, f.data() + 8, 2);
        return out + 8;
    }
    const int yy = twoDigits(f.data() + 6);
    if (!QDate::isValid(format.century + yy, month, day) || !QDate::isValid(2000 + yy, month, day))
        return nullptr;
    std::memcpy(out, f.data(), 8);
    return out + 8;
}

// "hh:nn:ss" of a time of day, or (integration times) of a day or more.
bool plainTime(std::string_view f, const FieldFormat &format, bool elapsed)
{
    const size_t h = f.size() - 6;
    if (f.size() < 8 || (!elapsed && f.size() != 8) || f[h] != format.time || f[h + 3] != format.time ||
        !allDigits(f.substr(0, h)) || !isDigit(f[h + 1]) || !isDigit(f[h + 2]) || !isDigit(f[h + 4]) ||
        !isDigit(f[h + 5]))
        return false;
    if (twoDigits(f.data() + h + 1) >= 60 || twoDigits(f.data() + h + 4) >= 60)
        return false;
    if (h == 2 && twoDigits(f.data()) < 24)
        return true;
    // A day or more of integration: kept as it stands (hours never start with
    // a needless zero in what the program writes, so "007:00:00" is not one).
    return elapsed && f[0] != '0' && (h > 2 || twoDigits(f.data()) >= 24);
}

// The compact number form exactly: five characters with the separator after
// the first, second or third digit, then "e" and a non-zero multiple of 3
// from -18 to 15. Zero is "0.000" alone.
bool isCompactForm(std::string_view f, char sep)
{
    if (f.size() < 5)
        return false;
    int sepAt = -1;
    for (int i = 0; i < 5; ++i) {
        if (f[size_t(i)] == sep) {
            if (sepAt >= 0)
                return false;
            sepAt = i;
        } else if (!isDigit(f[size_t(i)])) {
            return false;
        }
    }
    if (sepAt < 1 || sepAt > 3)
        return false;
    if (f[0] == '0')
        return f.size() == 5 && sepAt == 1 && f[2] == '0' && f[3] == '0' && f[4] == '0';
    if (f.size() == 5)
        return true;
    if (f[5] != 'e')
        return false;
    std::string_view e = f.substr(6);
    const bool negative = !e.empty() && e[0] == '-';
    if (negative)
        e.remove_prefix(1);
    if (e.empty() || e.size() > 2 || e[0] == '0' || !allDigits(e))
        return false;
    const int v = e.size() == 1 ? e[0] - '0' : twoDigits(e.data());
    return v % 3 == 0 && (negative ? v <= 18 : v <= 15);
}

// A plain integer as the program writes it: no sign, no needless zero.
bool isPlainInteger(std::string_view f)
{
    return !f.empty() && f.size() <= 9 && allDigits(f) && (f[0] != '0' || f.size() == 1);
}

void appendInteger(std::string &out, std::string_view f)
{
    if (isPlainInteger(f)) {
        out += f;
        return;
    }
    size_t i = 0;
    while (i < f.size() && f[i] == ' ')
        ++i;
    bool negative = false;
    if (i < f.size() && (f[i] == '+' || f[i] == '-'))
        negative = f[i++] == '-';
    const std::string_view digits = f.substr(i);
    if (!allDigits(digits))
        return;
    // Wide enough for any run of digits a field can hold; then the range of
    // a 32-bit integer.
    long long v = 0;
    for (char c : digits) {
        v = v * 10 + (c - '0');
        if (v > 2147483648LL)
            return;
    }
    if (negative)
        v = -v;
    if (v > INT_MAX || v < INT_MIN)
        return;
    out += std::to_string(v);
}

} // namespace

bool ReadCellDate(std::string_view f, const FieldFormat &format, int &year, int &month, int &day)
{
    // The grid's own form first: "dd-mm-yy" of a day valid in the day-month-year order.
    if (f.size() == 8 && f[2] == format.date && f[5] == format.date && isDigit(f[0]) && isDigit(f[1]) &&
        isDigit(f[3]) && isDigit(f[4]) && isDigit(f[6]) && isDigit(f[7])) {
        day = twoDigits(f.data());
        month = twoDigits(f.data() + 3);
        const int yy = twoDigits(f.data() + 6);
        if (QDate::isValid(format.century + yy, month, day) && QDate::isValid(2000 + yy, month, day)) {
            year = 2000 + yy;
            return true;
        }
    }
    if (f.empty())
        return false;
    QString text = FromCp1250(f.data(), int(f.size()));
    TDateTime t = 0;
    if (!NormalizeDate(text, t))
        return false;
    const QDate d = ToQDateTime(t).date();
    year = d.year();
    month = d.month();
    day = d.day();
    return true;
}

bool ReadCellTime(std::string_view f, const FieldFormat &format, int &hour, int &minute, int &second)
{
    if (f.empty())
        return false;
    std::string cell;
    if (plainTime(f, format, false)) {
        cell.assign(f);
    } else {
        appendLenient(cell, f, false);
        if (cell.size() != 8)
            return false;
    }
    hour = twoDigits(cell.data());
    minute = twoDigits(cell.data() + 3);
    second = twoDigits(cell.data() + 6);
    return true;
}

FieldFormat FieldFormat::current()
{
    const FormatSettings &s = formatSettings();
    FieldFormat f;
    f.decimal = byteOf(s.decimalSeparator);
    f.date = byteOf(s.dateSeparator);
    f.time = byteOf(s.timeSeparator);
    f.century = QDate::currentDate().year() / 100 * 100;
    return f;
}

FieldRule RuleOfColumn(int column)
{
    switch (column) {
    case hc::Date:
        return FieldRule::Date;
    case hc::Time:
        return FieldRule::Time;
    case hc::IntegrationTime:
        return FieldRule::Elapsed;
    case hc::Comment:
        return FieldRule::Comment;
    case hc::Count:
        return FieldRule::Integer;
    case 4: case 5: case 6: case 7: case 10: case 11: case 12: case 13: case 14:
        return FieldRule::Number;
    default:
        return FieldRule::Unchanged;
    }
}

int ColumnOfField(int index, bool legacyHeader)
{
    if (!legacyHeader)
        return index >= 0 && index <= hc::Notes ? index : -1;
    // Legacy lines: label, date, time, comment, value, then the statistics.
    if (index >= 0 && index <= 4)
        return index;
    if (index >= 5 && index <= 10)
        return index + 4;
    return -1;
}

bool ReadNumberField(std::string_view field, const FieldFormat &format, std::string &cell)
{
    cell.clear();
    if (isCompactForm(field, format.decimal)) {
        cell.assign(field);
        return true;
    }
    const std::string_view blank = trimBlanks(field);
    if (blank.size() == 4 && (blank[0] | 0x20) == 'o' && (blank[1] | 0x20) == 'v' && (blank[2] | 0x20) == 'e' &&
        (blank[3] | 0x20) == 'r') {
        cell = "Over";
        return true;
    }
    size_t start = 0;
    while (start < field.size() && !isDigit(field[start]))
        ++start;
    if (start == field.size())
        return false;
    if (start > 0 && field[start - 1] == format.decimal)
        --start;
    std::string_view s = trimBlanks(field.substr(start));

    // digits [sep digits] | sep digits, then [e|E [+|-] digits]
    std::string ascii;
    size_t i = 0;
    size_t mantissaDigits = 0;
    while (i < s.size() && isDigit(s[i])) {
        ascii += s[i++];
        ++mantissaDigits;
    }
    if (i < s.size() && s[i] == format.decimal) {
        ascii += '.';
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            ascii += s[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    bool negativeExponent = false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ascii += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            negativeExponent = s[i] == '-';
            ascii += s[i++];
        }
        if (i == s.size() || !isDigit(s[i]))
            return false;
        while (i < s.size() && isDigit(s[i]))
            ascii += s[i++];
    }
    if (i != s.size())
        return false;
    double v = 0;
    const auto r = std::from_chars(ascii.data(), ascii.data() + ascii.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // Too small for a double reads as 0; too large does not read.
        if (!negativeExponent)
            return false;
        v = 0;
    } else if (r.ec != std::errc() || r.ptr != ascii.data() + ascii.size()) {
        return false;
    }
    cell = CompactNumberText(v, format.decimal);
    return true;
}

char *WriteFieldCell(char *out, std::string_view f, FieldRule rule, const FieldFormat &format)
{
    const auto put = [&out](std::string_view text) {
        std::memcpy(out, text.data(), text.size());
        return out + text.size();
    };
    if (f.empty())
        return out;
    switch (rule) {
    case FieldRule::Unchanged:
        return put(f);
    case FieldRule::Comment:
        return put(f.substr(0, CommentFieldLength));
    case FieldRule::Date: {
        if (char *end = writePlainDate(out, f, format))
            return end;
        std::string cell;
        appendLenient(cell, f, true);
        return put(cell);
    }
    case FieldRule::Time:
    case FieldRule::Elapsed: {
        if (plainTime(f, format, rule == FieldRule::Elapsed))
            return put(f);
        std::string cell;
        appendLenient(cell, f, false);
        return put(cell);
    }
    case FieldRule::Number: {
        if (isCompactForm(f, format.decimal))
            return put(f);
        std::string cell;
        ReadNumberField(f, format, cell);
        return put(cell);
    }
    case FieldRule::Integer: {
        if (isPlainInteger(f))
            return put(f);
        std::string cell;
        appendInteger(cell, f);
        return put(cell);
    }
    }
    return out;
}

void AppendFieldCell(std::string &out, std::string_view field, FieldRule rule, const FieldFormat &format)
{
    const size_t at = out.size();
    out.resize(at + CellRoom(field));
    char *end = WriteFieldCell(out.data() + at, field, rule, format);
    out.resize(size_t(end - out.data()));
}

} // namespace qv

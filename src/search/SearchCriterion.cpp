#include "search/SearchCriterion.h"

#include "history/HistoryColumns.h"
#include "protocol/Cp1250.h"
#include "protocol/FormatSettings.h"
#include "search/CompactNumberText.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

namespace qv {

namespace {

const char *const NumberOperators[] = {"\xB4", "\xB9", "<", "\xA3", "=", "\xB3", ">"};
const char *const TextOperators[] = {"\xB4", "\xBC=\xBC", "=", "\xBC\xB9\xBC", "\xB9"};

// Splits a text of digits and `sep` into its digit groups; false when a
// group is empty or longer than four digits.
bool digitGroups(const QString &text, QChar sep, std::vector<int> &groups, std::vector<int> &lengths)
{
    groups.clear();
    lengths.clear();
    for (const QString &part : text.split(sep)) {
        if (part.isEmpty() || part.size() > 4)
            return false;
        groups.push_back(part.toInt());
        lengths.push_back(int(part.size()));
    }
    return true;
}

// Every character that is not a digit 0..9 becomes `sep`.
QString digitsAndSeparators(const QString &typed, QChar sep)
{
    QString s = typed;
    for (QChar &c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            c = sep;
    return s;
}

QString twoDigits(int n)
{
    return QString::number(n).rightJustified(2, QLatin1Char('0'));
}

QString writeDate(const QDate &d, QChar sep)
{
    return twoDigits(d.day()) + sep + twoDigits(d.month()) + sep + twoDigits(d.year() % 100);
}

QString writeTime(const QTime &t, QChar sep)
{
    return twoDigits(t.hour()) + sep + twoDigits(t.minute()) + sep + twoDigits(t.second());
}

// Day, month and an optional year; a year of one or two digits lies within
// fifty years before the current one or later in its century.
QDate readDate(const QString &typed, QChar sep, const QDate &today)
{
    std::vector<int> n, len;
    if (!digitGroups(typed, sep, n, len) || n.size() < 2 || n.size() > 3)
        return {};
    int year = today.year();
    if (n.size() == 3) {
        year = n[2];
        if (len[2] <= 2) {
            year += today.year() / 100 * 100;
            if (year < today.year() - 50)
                year += 100;
        }
    }
    if (year < 1 || year > 9999)
        return {};
    return QDate(year, n[1], n[0]);   // invalid for a day or month out of range
}

// Hours, optional minutes, optional seconds.
QTime readTime(const QString &typed, QChar sep)
{
    std::vector<int> n, len;
    if (!digitGroups(typed, sep, n, len) || n.size() > 3)
        return {};
    n.resize(3, 0);
    return QTime(n[0], n[1], n[2]);
}

// A number in the system format: digits, one decimal separator, a sign, an
// exponent. Magnitudes beyond the double's range read as infinite or zero.
bool readReal(const QString &text, QChar decimal, double &value)
{
    const QByteArray bytes = ToCp1250(text, '\x01');
    const QByteArray sepBytes = ToCp1250(QString(decimal));
    const char sep = sepBytes.isEmpty() ? '.' : sepBytes[0];
    if (ReadSearchNumber(std::string_view(bytes.constData(), size_t(bytes.size())), sep, value))
        return true;
    // Out of range for the parser that allocates nothing: once more through
    // strtod, with the same characters allowed.
    std::string copy;
    for (char c : bytes) {
        if (c == sep)
            copy += '.';
        else if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == 'e' || c == 'E')
            copy += c;
        else
            return false;
    }
    if (copy.empty())
        return false;
    char *end = nullptr;
    errno = 0;
    const double v = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size() || errno != ERANGE)
        return false;
    value = v;
    return true;
}

bool readLongint(const QString &text, int32_t &value)
{
    QString s = text;
    if (s.startsWith(QLatin1Char('+')))
        s.remove(0, 1);
    bool ok = false;
    const qlonglong v = s.toLongLong(&ok, 10);
    if (!ok || v < INT32_MIN || v > INT32_MAX || s.isEmpty() || !(s[0].isDigit() || s[0] == QLatin1Char('-')))
        return false;
    value = int32_t(v);
    return true;
}

} // namespace

int OperatorCount(TSearchStyle style)
{
    return style == ssText ? 5 : 7;
}

QByteArray OperatorSymbol(TSearchStyle style, int index)
{
    if (index < 0 || index >= OperatorCount(style))
        return {};
    return QByteArray(style == ssText ? TextOperators[index] : NumberOperators[index]);
}

QString SymbolGlyphs(const QByteArray &symbolBytes)
{
    QString out;
    for (char b : symbolBytes) {
        switch (static_cast<unsigned char>(b)) {
        case 0xB4: out += QChar(0x00D7); break;   // multiplication sign
        case 0xB9: out += QChar(0x2260); break;   // not equal to
        case 0xA3: out += QChar(0x2264); break;   // less-than or equal to
        case 0xB3: out += QChar(0x2265); break;   // greater-than or equal to
        case 0xBC: out += QChar(0x2026); break;   // horizontal ellipsis
        default: out += QLatin1Char(b); break;
        }
    }
    return out;
}

const OperatorDescription *OperatorDescriptions(int &count)
{
    static const OperatorDescription rows[] = {
        {"\xB4", " -  turned off"},
        {"\xB9", " -  not equal"},
        {"<", " -  less"},
        {"\xA3", " -  less or equal"},
        {"=", " -  equal"},
        {"\xB3", " -  greater or equal"},
        {">", " -  greater"},
        {"\xBC=\xBC", " -  containg characters"},
        {"\xBC\xB9\xBC", " -  not containg characters"},
    };
    count = int(sizeof rows / sizeof rows[0]);
    return rows;
}

QString ColumnSearchWord(int column)
{
    static const char *const words[] = {
        "", "date", "time", "comment", "value", "relative value", "reference value", "integral value",
        "integration time", "sample count in statistics", "minimum value in statistics",
        "maximum value in statistics", "average value in statistics", "min/average value in statistics",
        "min/max value in statistics", "notes",
    };
    return column >= 1 && column <= hc::Notes ? QLatin1String(words[column]) : QString();
}

Validated ValidateText(TSearchStyle style, const QString &typed, TResult &result, const QDateTime &now)
{
    const FormatSettings &fs = formatSettings();
    Validated v;
    QString text = typed;
    if (style == ssLongint || style == ssReal) {
        for (QChar &c : text)
            if (c == QLatin1Char(',') || c == QLatin1Char('.'))
                c = fs.decimalSeparator;
        text.remove(QLatin1Char(' '));
        if (text.isEmpty())
            text = QStringLiteral("0");
    }
    switch (style) {
    case ssLongint: {
        int32_t n = 0;
        if (!readLongint(text, n))
            return {false, typed};
        result.IntValue = n;
        result.Text = v.text = QString::number(n);
        break;
    }
    case ssReal: {
        double x = 0;
        if (text.compare(QLatin1String("Over"), Qt::CaseInsensitive) == 0)
            x = OverValue;
        else if (!readReal(text, fs.decimalSeparator, x))
            return {false, typed};
        if (x > OverValue)
            x = OverValue;
        result.RealValue = x;
        result.Text = v.text = CompactNumberText(x);
        break;
    }
    case ssText:
        result.Text = v.text = text;
        break;
    case ssDate: {
        QDate d;
        if (!text.isEmpty())
            d = readDate(digitsAndSeparators(text, fs.dateSeparator), fs.dateSeparator, now.date());
        if (!d.isValid())
            d = now.date();
        result.DateText = v.text = writeDate(d, fs.dateSeparator);
        break;
    }
    case ssTime: {
        QTime t;
        if (!text.isEmpty())
            t = readTime(digitsAndSeparators(text, fs.timeSeparator), fs.timeSeparator);
        if (!t.isValid())
            t = now.time();
        result.TimeText = v.text = writeTime(t, fs.timeSeparator);
        break;
    }
    }
    return v;
}

Criterion MakeCriterion(int column, int op, TSearchStyle style, const TResult &result)
{
    Criterion c;
    c.column = column;
    c.op = op;
    c.intValue = result.IntValue;
    switch (style) {
    case ssDate: c.text = result.DateText; break;
    case ssTime: c.text = result.TimeText; break;
    default: c.text = result.Text; break;
    }
    return c;
}

} // namespace qv

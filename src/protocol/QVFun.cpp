#include "protocol/QVFun.h"

#include "protocol/FormatSettings.h"
#include "protocol/ValueFormat.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <array>

namespace qv {

namespace {

// Field positions of one date order.
struct DateOrder {
    int day;
    int month;
    int year;
};

constexpr std::array<DateOrder, 6> kDateOrders{{
    {0, 1, 2}, // day-month-year
    {2, 1, 0}, // year-month-day
    {1, 0, 2}, // month-day-year
    {2, 0, 1}, // month-year-day
    {1, 2, 0}, // year-day-month
    {0, 2, 1}, // day-year-month
}};

// Splits text at separator into 1..maxFields unsigned numbers, blanks around
// each allowed. Nine digits at most, so that any field fits an int.
bool splitNumbers(const QString &text, QChar separator, int maxFields, QStringList &fields,
                  std::array<int, 3> &values)
{
    fields = text.split(separator);
    if (fields.size() > maxFields)
        return false;
    for (int i = 0; i < fields.size(); ++i) {
        QString &f = fields[i];
        f = f.trimmed();
        if (f.isEmpty() || f.size() > 9)
            return false;
        for (QChar c : f) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        }
        values[static_cast<size_t>(i)] = f.toInt();
    }
    return true;
}

QString withTrailingSlash(const QString &path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

} // namespace

bool NormalizeDate(QString &text, TDateTime &date)
{
    date = 0;
    if (text.isEmpty())
        return false;

    QStringList fields;
    std::array<int, 3> values{};
    if (splitNumbers(text, formatSettings().dateSeparator, 3, fields, values)
        && fields.size() == 3) {
        // A first reading takes a year of one or two digits in the current century.
        const int century = QDate::currentDate().year() / 100 * 100;
        for (const DateOrder &o : kDateOrders) {
            const QString &yearField = fields[o.year];
            int year = values[static_cast<size_t>(o.year)];
            if (yearField.size() <= 2)
                year += century;
            TDateTime t;
            if (!EncodeDateTime(year, values[static_cast<size_t>(o.month)],
                                values[static_cast<size_t>(o.day)], 0, 0, 0, t))
                continue;
            // The order is settled; short years are then always in the 2000s.
            if (yearField.size() < 4)
                year = (QLatin1Char('2') + yearField.rightJustified(3, QLatin1Char('0'))).toInt();
            else
                year = values[static_cast<size_t>(o.year)];
            if (!EncodeDateTime(year, values[static_cast<size_t>(o.month)],
                                values[static_cast<size_t>(o.day)], 0, 0, 0, t))
                continue;
            date = t;
            text = FormatDate(t);
            return true;
        }
    }
    text.clear();
    return false;
}

bool NormalizeTime(QString &text, TDateTime &time)
{
    time = 0;
    if (text.isEmpty())
        return false;

    QStringList fields;
    std::array<int, 3> hms{};
    TDateTime t;
    if (splitNumbers(text, formatSettings().timeSeparator, 3, fields, hms)
        && EncodeDateTime(1899, 12, 30, hms[0], hms[1], hms[2], t)) {
        time = t;
        text = FormatTime(t);
        return true;
    }
    text.clear();
    return false;
}

QString ProgramFolder()
{
    QString dir;
    if (QCoreApplication::instance())
        dir = QCoreApplication::applicationDirPath();
    else
        dir = QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
    return withTrailingSlash(QDir(dir).absolutePath());
}

QString SpecialFolder(QStandardPaths::StandardLocation location)
{
    const QString path = QStandardPaths::writableLocation(location);
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return QString();
    return withTrailingSlash(QDir(path).absolutePath());
}

QString DocumentsFolder()
{
    const QString documents = SpecialFolder(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? ProgramFolder() : documents;
}

} // namespace qv

#include "protocol/FormatSettings.h"

#include <QLocale>

namespace qv {

namespace {
// The first character of the short date (time) format that is not a field letter.
QChar separatorOf(const QString &format, const QString &fieldLetters, QChar fallback)
{
    for (QChar c : format) {
        if (!fieldLetters.contains(c, Qt::CaseInsensitive) && c != '\'' && !c.isSpace())
            return c;
    }
    return fallback;
}
} // namespace

FormatSettings FormatSettings::fromSystem()
{
    const QLocale locale = QLocale::system();
    FormatSettings s;
    const QString dp = locale.decimalPoint();
    s.decimalSeparator = dp.isEmpty() ? QChar('.') : dp.at(0);
    s.dateSeparator = separatorOf(locale.dateFormat(QLocale::ShortFormat), "dMy", '-');
    s.timeSeparator = separatorOf(locale.timeFormat(QLocale::ShortFormat), "hHmsaApAPz", ':');
    return s;
}

FormatSettings &formatSettings()
{
    static FormatSettings settings = FormatSettings::fromSystem();
    return settings;
}

} // namespace qv

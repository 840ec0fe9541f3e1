// The system's decimal, date and time separators, read once from the locale.
// Every formatting routine takes them from here, so tests (and the command
// line's --decimal-separator) set them explicitly.
#pragma once

#include <QChar>

namespace qv {

struct FormatSettings {
    QChar decimalSeparator = '.';
    QChar dateSeparator = '-';
    QChar timeSeparator = ':';

    // The separators of QLocale::system().
    static FormatSettings fromSystem();
};

// The process-wide settings used by the formatting routines. They start as
// fromSystem(); tests and the command line overwrite them.
FormatSettings &formatSettings();

// Sets the process-wide settings for the lifetime of the object (tests).
class ScopedFormatSettings {
public:
    explicit ScopedFormatSettings(const FormatSettings &s) : m_saved(formatSettings())
    {
        formatSettings() = s;
    }
    ~ScopedFormatSettings() { formatSettings() = m_saved; }

private:
    FormatSettings m_saved;
};

} // namespace qv

// Progress and status on standard error as command-line tools show them: on
// a terminal one live line, rewritten in place (at most ten times a second);
// when standard error is a file or a pipe, plain lines, only at the steps the
// caller marks, so that a log of days stays readable.
#pragma once

#include <QString>

#include <cstdio>

namespace qv::cli {

class StatusLine {
public:
    // `enabled` false (--quiet) shows no progress; messages still go out.
    explicit StatusLine(bool enabled, std::FILE *out = stderr);
    ~StatusLine();

    bool onTerminal() const { return m_terminal; }
    // The progress now: the live line on a terminal; a plain line otherwise
    // when `step` is set. `force` rewrites the live line at once.
    void progress(const QString &text, bool step, bool force = false);
    // A line of its own (trouble, a summary): above the live line.
    void message(const QString &text);
    // Ends the live line (the last progress stays on screen).
    void finish();

private:
    void clearLive();

    std::FILE *m_out;
    bool m_enabled;
    bool m_terminal;
    QString m_live;
    bool m_shown = false;
    qint64 m_lastDraw = 0;
};

// "2026-12-07 03:10:22": the local time, for messages about the link.
QString timeStamp();

} // namespace qv::cli

#include "cli/StatusLine.h"

#include <QDateTime>

#include <unistd.h>

namespace qv::cli {

namespace {
constexpr qint64 RedrawMs = 100;
}

StatusLine::StatusLine(bool enabled, std::FILE *out)
    : m_out(out), m_enabled(enabled), m_terminal(::isatty(::fileno(out)) == 1)
{
}

StatusLine::~StatusLine()
{
    finish();
}

void StatusLine::progress(const QString &text, bool step, bool force)
{
    if (!m_enabled)
        return;
    if (!m_terminal) {
        if (step) {
            std::fprintf(m_out, "%s\n", text.toLocal8Bit().constData());
            std::fflush(m_out);
        }
        return;
    }
    m_live = text;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (!force && !step && m_shown && now - m_lastDraw < RedrawMs)
        return;
    m_lastDraw = now;
    std::fprintf(m_out, "\r\033[K%s", text.toLocal8Bit().constData());
    std::fflush(m_out);
    m_shown = true;
}

void StatusLine::clearLive()
{
    if (m_shown)
        std::fputs("\r\033[K", m_out);
}

void StatusLine::message(const QString &text)
{
    clearLive();
    std::fprintf(m_out, "%s\n", text.toLocal8Bit().constData());
    if (m_shown)
        std::fprintf(m_out, "%s", m_live.toLocal8Bit().constData());
    std::fflush(m_out);
}

void StatusLine::finish()
{
    if (m_shown)
        std::fputc('\n', m_out);
    m_shown = false;
    std::fflush(m_out);
}

QString timeStamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace qv::cli

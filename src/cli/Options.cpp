#include "cli/Options.h"

#include <cstdio>

namespace qv::cli {

int failWith(const QString &message)
{
    std::fprintf(stderr, "qv7xx-cli: %s\n", message.toLocal8Bit().constData());
    return 2;
}

Options::Options(const QStringList &args, const char *usage) : m_args(args), m_usage(usage) {}

bool Options::take(const QString &name, QString &value)
{
    for (int i = 0; i < m_args.size(); ++i) {
        const QString &a = m_args[i];
        if (a == name) {
            if (i + 1 >= m_args.size()) {
                setError(QStringLiteral("option %1 needs a value").arg(name));
                m_args.removeAt(i);
                return false;
            }
            value = m_args[i + 1];
            m_args.remove(i, 2);
            return true;
        }
        if (a.startsWith(name + '=')) {
            value = a.mid(name.size() + 1);
            m_args.removeAt(i);
            return true;
        }
        if (a == QLatin1String("--"))
            break;
    }
    return false;
}

bool Options::has(const QString &name) const
{
    for (const QString &a : m_args) {
        if (a == name || a.startsWith(name + '='))
            return true;
    }
    return false;
}

bool Options::flag(const QString &name)
{
    const qsizetype i = m_args.indexOf(name);
    if (i < 0)
        return false;
    m_args.removeAt(i);
    return true;
}

QString Options::text(const QString &name, const QString &fallback)
{
    QString v;
    return take(name, v) ? v : fallback;
}

int Options::integer(const QString &name, int fallback, int min, int max)
{
    QString v;
    if (!take(name, v))
        return fallback;
    bool okNumber = false;
    const qlonglong n = v.toLongLong(&okNumber);
    if (!okNumber || n < min || n > max) {
        setError(QStringLiteral("%1 must be a whole number from %2 to %3, not '%4'")
                     .arg(name).arg(min).arg(max).arg(v));
        return fallback;
    }
    return int(n);
}

double Options::real(const QString &name, double fallback, double min, double max)
{
    QString v;
    if (!take(name, v))
        return fallback;
    bool okNumber = false;
    const double n = v.toDouble(&okNumber);
    if (!okNumber || !(n >= min && n <= max)) {
        setError(QStringLiteral("%1 must be a number from %2 to %3, not '%4'")
                     .arg(name).arg(min).arg(max).arg(v));
        return fallback;
    }
    return n;
}

QChar Options::character(const QString &name, QChar fallback)
{
    QString v;
    if (!take(name, v))
        return fallback;
    if (v.size() != 1) {
        setError(QStringLiteral("%1 takes exactly one character, not '%2'").arg(name, v));
        return fallback;
    }
    return v.at(0);
}

uint8_t Options::language(const QString &name)
{
    const QString v = text(name, QStringLiteral("en"));
    if (v == QLatin1String("en"))
        return 1;
    if (v == QLatin1String("pl"))
        return 0;
    setError(QStringLiteral("%1 must be en or pl, not '%2'").arg(name, v));
    return 1;
}

void Options::finish()
{
    for (const QString &a : m_args) {
        if (a.startsWith(QLatin1String("--"))) {
            setError(QStringLiteral("unknown option %1").arg(a));
            return;
        }
    }
    if (!m_args.isEmpty())
        setError(QStringLiteral("unexpected argument '%1'").arg(m_args.first()));
}

QString Options::singlePositional()
{
    QStringList positional;
    for (const QString &a : m_args) {
        if (a.startsWith(QLatin1String("--")) && a != QLatin1String("--")) {
            setError(QStringLiteral("unknown option %1").arg(a));
            return QString();
        }
        if (a != QLatin1String("--"))
            positional << a;
    }
    if (positional.size() > 1) {
        setError(QStringLiteral("more than one input given"));
        return QString();
    }
    m_args.clear();
    return positional.value(0);
}

int Options::fail() const
{
    std::fprintf(stderr, "qv7xx-cli: %s\n%s\n", m_error.toLocal8Bit().constData(), m_usage);
    return 2;
}

} // namespace qv::cli

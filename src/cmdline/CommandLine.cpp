#include "cmdline/CommandLine.h"

#include <algorithm>
#include <cstdio>

#ifndef QV_VERSION
#error "QV_VERSION comes from CMake's project()"
#endif

namespace qv {

namespace {

const OptionInfo HelpOption{QStringLiteral("--help"), QString(), QStringLiteral("show this help and exit")};
const OptionInfo VersionOption{QStringLiteral("--version"), QString(), QStringLiteral("show the version and exit")};

QString usageLine(const CommandInfo &about)
{
    QString line = QStringLiteral("usage: ") + about.fullName();
    if (!about.options.empty())
        line += QStringLiteral(" [OPTIONS]");
    if (!about.arguments.isEmpty())
        line += QLatin1Char(' ') + about.arguments;
    return line;
}

void print(std::FILE *to, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
    std::fflush(to);
}

} // namespace

QString CommandInfo::fullName() const
{
    return command.isEmpty() ? program : program + QLatin1Char(' ') + command;
}

QString programVersion()
{
    return QStringLiteral(QV_VERSION);
}

QString helpText(const CommandInfo &about)
{
    std::vector<OptionInfo> all = about.options;
    all.push_back(HelpOption);
    all.push_back(VersionOption);
    auto left = [](const OptionInfo &o) { return o.value.isEmpty() ? o.name : o.name + QLatin1Char(' ') + o.value; };
    int width = 0;
    for (const OptionInfo &o : all)
        width = std::max(width, int(left(o).size()));
    QString text = usageLine(about) + QLatin1Char('\n');
    if (!about.summary.isEmpty())
        text += about.summary + QLatin1Char('\n');
    text += QStringLiteral("\noptions:\n");
    for (const OptionInfo &o : all)
        text += QStringLiteral("  ") + left(o).leftJustified(width + 2) + o.help + QLatin1Char('\n');
    if (!about.notes.isEmpty())
        text += QLatin1Char('\n') + about.notes + (about.notes.endsWith(QLatin1Char('\n')) ? "" : "\n");
    return text;
}

ArgumentReader::ArgumentReader(const CommandInfo &about, const QStringList &args) : m_about(about)
{
    bool optionsEnd = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (optionsEnd || a == QLatin1String("-") || !a.startsWith(QLatin1Char('-'))) {
            m_positionals << a;
            continue;
        }
        if (a == QLatin1String("--")) {
            optionsEnd = true;
            continue;
        }
        if (a == QLatin1String("-h") || a == HelpOption.name) {
            m_info = Info::Help;
            return;
        }
        if (a == VersionOption.name) {
            m_info = Info::Version;
            return;
        }
        const int equals = int(a.indexOf(QLatin1Char('=')));
        const QString name = equals < 0 ? a : a.left(equals);
        const OptionInfo *about = find(name);
        if (!about) {
            setError(QStringLiteral("unknown option %1").arg(name));
            continue;
        }
        if (about->value.isEmpty()) {
            if (equals >= 0)
                setError(QStringLiteral("option %1 takes no value").arg(name));
            m_values[name] = QString();
        } else if (equals >= 0) {
            m_values[name] = a.mid(equals + 1);
        } else if (i + 1 < args.size()) {
            m_values[name] = args.at(++i);
        } else {
            setError(QStringLiteral("option %1 needs a value (%2)").arg(name, about->value));
        }
    }
}

int ArgumentReader::printInfo() const
{
    print(stdout, m_info == Info::Version ? m_about.program + QLatin1Char(' ') + programVersion() + QLatin1Char('\n')
                                          : helpText(m_about));
    return 0;
}

const OptionInfo *ArgumentReader::find(const QString &name) const
{
    for (const OptionInfo &o : m_about.options) {
        if (o.name == name)
            return &o;
    }
    return nullptr;
}

bool ArgumentReader::has(const QString &name) const
{
    return m_values.contains(name);
}

bool ArgumentReader::value(const QString &name, QString &out)
{
    if (!find(name)) {
        setError(QStringLiteral("option %1 is read but not in the table").arg(name));
        return false;
    }
    const auto it = m_values.constFind(name);
    if (it == m_values.constEnd())
        return false;
    out = *it;
    return true;
}

QString ArgumentReader::text(const QString &name, const QString &fallback)
{
    QString v;
    return value(name, v) ? v : fallback;
}

qint64 ArgumentReader::integer(const QString &name, qint64 fallback, qint64 min, qint64 max)
{
    QString v;
    if (!value(name, v))
        return fallback;
    bool okNumber = false;
    const qlonglong n = v.toLongLong(&okNumber);
    if (!okNumber || n < min || n > max) {
        setError(
            QStringLiteral("%1 must be a whole number from %2 to %3, not '%4'").arg(name).arg(min).arg(max).arg(v));
        return fallback;
    }
    return n;
}

double ArgumentReader::real(const QString &name, double fallback, double min, double max)
{
    QString v;
    if (!value(name, v))
        return fallback;
    bool okNumber = false;
    const double n = v.toDouble(&okNumber);
    if (!okNumber || !(n >= min && n <= max)) {
        setError(
            QStringLiteral("%1 must be a number from %2 to %3, not '%4'").arg(name).arg(min).arg(max).arg(v));
        return fallback;
    }
    return n;
}

QChar ArgumentReader::character(const QString &name, QChar fallback)
{
    QString v;
    if (!value(name, v))
        return fallback;
    if (v.size() != 1) {
        setError(QStringLiteral("%1 takes exactly one character, not '%2'").arg(name, v));
        return fallback;
    }
    return v.at(0);
}

int ArgumentReader::choice(const QString &name, const QStringList &choices, int fallback)
{
    QString v;
    if (!value(name, v))
        return fallback;
    const int index = int(choices.indexOf(v));
    if (index < 0) {
        const QString list = choices.size() < 2 ? choices.value(0)
                                                : choices.mid(0, choices.size() - 1).join(QStringLiteral(", ")) +
                                                      QStringLiteral(" or ") + choices.last();
        setError(QStringLiteral("%1 must be %2, not '%3'").arg(name, list, v));
    }
    return index < 0 ? fallback : index;
}

QString ArgumentReader::singlePositional()
{
    if (m_positionals.size() > 1)
        setError(QStringLiteral("more than one input given"));
    return m_positionals.value(0);
}

void ArgumentReader::noPositionals()
{
    if (!m_positionals.isEmpty())
        setError(QStringLiteral("unexpected argument '%1'").arg(m_positionals.first()));
}

void ArgumentReader::setError(const QString &e)
{
    if (m_error.isEmpty())
        m_error = e;
}

int printFailure(const CommandInfo &about, const QString &problem)
{
    print(stderr, QStringLiteral("%1: %2\n%3 (%4 --help lists the options)\n")
                      .arg(about.program, problem, usageLine(about), about.fullName()));
    return 2;
}

} // namespace qv

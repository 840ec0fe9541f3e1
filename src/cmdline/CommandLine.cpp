#include "cmdline/CommandLine.h"

#include <algorithm>
#include <cstdio>

#ifndef QV_VERSION
#error "QV_VERSION comes from CMake's project()"
#endif

namespace qv {

namespace {

const OptionSpec HelpOption{QStringLiteral("--help"), QString(), QStringLiteral("show this help and exit")};
const OptionSpec VersionOption{QStringLiteral("--version"), QString(), QStringLiteral("show the version and exit")};

QString usageLine(const CommandSpec &spec)
{
    QString line = QStringLiteral("usage: ") + spec.fullName();
    if (!spec.options.empty())
        line += QStringLiteral(" [OPTIONS]");
    if (!spec.arguments.isEmpty())
        line += QLatin1Char(' ') + spec.arguments;
    return line;
}

void print(std::FILE *to, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
    std::fflush(to);
}

} // namespace

QString CommandSpec::fullName() const
{
    return command.isEmpty() ? program : program + QLatin1Char(' ') + command;
}

QString programVersion()
{
    return QStringLiteral(QV_VERSION);
}

QString helpText(const CommandSpec &spec)
{
    std::vector<OptionSpec> all = spec.options;
    all.push_back(HelpOption);
    all.push_back(VersionOption);
    auto left = [](const OptionSpec &o) { return o.value.isEmpty() ? o.name : o.name + QLatin1Char(' ') + o.value; };
    int width = 0;
    for (const OptionSpec &o : all)
        width = std::max(width, int(left(o).size()));
    QString text = usageLine(spec) + QLatin1Char('\n');
    if (!spec.summary.isEmpty())
        text += spec.summary + QLatin1Char('\n');
    text += QStringLiteral("\noptions:\n");
    for (const OptionSpec &o : all)
        text += QStringLiteral("  ") + left(o).leftJustified(width + 2) + o.help + QLatin1Char('\n');
    if (!spec.notes.isEmpty())
        text += QLatin1Char('\n') + spec.notes + (spec.notes.endsWith(QLatin1Char('\n')) ? "" : "\n");
    return text;
}

ArgumentReader::ArgumentReader(const CommandSpec &spec, const QStringList &args) : m_spec(spec)
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
        const OptionSpec *spec = find(name);
        if (!spec) {
            setError(QStringLiteral("unknown option %1").arg(name));
            continue;
        }
        if (spec->value.isEmpty()) {
            if (equals >= 0)
                setError(QStringLiteral("option %1 takes no value").arg(name));
            m_values[name] = QString();
        } else if (equals >= 0) {
            m_values[name] = a.mid(equals + 1);
        } else if (i + 1 < args.size()) {
            m_values[name] = args.at(++i);
        } else {
            setError(QStringLiteral("option %1 needs a value (%2)").arg(name, spec->value));
        }
    }
}

int ArgumentReader::printInfo() const
{
    print(stdout, m_info == Info::Version ? m_spec.program + QLatin1Char(' ') + programVersion() + QLatin1Char('\n')
                                          : helpText(m_spec));
    return 0;
}

const OptionSpec *ArgumentReader::find(const QString &name) const
{
    for (const OptionSpec &o : m_spec.options) {
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

int printFailure(const CommandSpec &spec, const QString &problem)
{
    print(stderr, QStringLiteral("%1: %2\n%3 (%4 --help lists the options)\n")
                      .arg(spec.program, problem, usageLine(spec), spec.fullName()));
    return 2;
}

} // namespace qv

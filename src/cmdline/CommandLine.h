// The command lines of qv7xx, qv7xx-cli (and each of its commands) and
// qv7xx-sim. Each program or command describes its options in one table;
// the same table gives the --help text and tells the reader which options
// exist and which take a value, so help and parsing cannot disagree. Every
// table answers --help (-h) and --version.
#pragma once

#include <QChar>
#include <QMap>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace qv {

struct OptionInfo {
    QString name;  // "--port"
    QString value; // what the value is ("PATH"); empty for a flag
    QString help;  // one line
};

struct CommandInfo {
    QString program;   // "qv7xx-cli": the prefix of messages
    QString command;   // "decode", or empty for the program itself
    QString arguments; // what follows the options in the usage line ("[FILE|-]")
    QString summary;   // what it does, a line or two
    std::vector<OptionInfo> options;
    QString notes;     // printed after the options (value lists, exit status)

    // "qv7xx-cli decode"
    QString fullName() const;
};

// The program's version, as CMake's project() gives it.
QString programVersion();
// "usage:" line, summary, one line per option (--help and --version
// included), notes.
QString helpText(const CommandInfo &about);

// Prints "<program>: <problem>" and the usage line to stderr; returns 2.
int printFailure(const CommandInfo &about, const QString &problem);

// Reads arguments (without the program's or the command's name) against a
// table: "--name value", "--name=value", flags, and positional arguments
// ("-" is one; after "--" all are). The first problem found is kept.
class ArgumentReader {
public:
    ArgumentReader(const CommandInfo &about, const QStringList &args);

    // --help, -h or --version was given (it wins over any problem): the
    // caller prints the answer with printInfo() and ends with 0.
    bool askedForInfo() const { return m_info != Info::None; }
    int printInfo() const;

    bool has(const QString &name) const;
    bool flag(const QString &name) const { return has(name); }
    QString text(const QString &name, const QString &fallback = QString());
    qint64 integer(const QString &name, qint64 fallback, qint64 min, qint64 max);
    double real(const QString &name, double fallback, double min, double max);
    QChar character(const QString &name, QChar fallback);
    // One of `choices`, by index; `fallback` when not given.
    int choice(const QString &name, const QStringList &choices, int fallback);

    const QStringList &positionals() const { return m_positionals; }
    // The one positional argument, or empty; more than one is an error.
    QString singlePositional();
    // No positional argument is allowed.
    void noPositionals();

    bool ok() const { return m_error.isEmpty(); }
    const QString &error() const { return m_error; }
    void setError(const QString &e);
    // printFailure() with the problem found.
    int fail() const { return printFailure(m_about, m_error); }

private:
    enum class Info { None, Help, Version };
    const OptionInfo *find(const QString &name) const;
    // The option's value when given; an option missing from the table is an error.
    bool value(const QString &name, QString &out);

    CommandInfo m_about;
    Info m_info = Info::None;
    QMap<QString, QString> m_values; // the last value of each option given
    QStringList m_positionals;
    QString m_error;
};

// A table whose rows also say how each option is read into a target: one
// row per option, so that adding an option is adding a row.
template <class Target>
struct OptionRow {
    OptionInfo about;
    std::function<void(ArgumentReader &, const QString &name, Target &)> read;
};

template <class Target>
std::vector<OptionInfo> infosOf(const std::vector<OptionRow<Target>> &rows)
{
    std::vector<OptionInfo> infos;
    for (const auto &row : rows)
        infos.push_back(row.about);
    return infos;
}

// Reads every row's option that was given, in table order.
template <class Target>
void readRows(ArgumentReader &reader, const std::vector<OptionRow<Target>> &rows, Target &target)
{
    for (const auto &row : rows) {
        if (reader.has(row.about.name))
            row.read(reader, row.about.name, target);
    }
}

} // namespace qv

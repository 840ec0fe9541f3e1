// A small argument reader for the commands of qv7xx-cli: options of the form
// "--name value" or "--name=value", flags, and positional arguments. The
// first problem found is kept and reported by fail().
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace qv::cli {

class Options {
public:
    Options(const QStringList &args, const char *usage);

    bool flag(const QString &name);
    QString text(const QString &name, const QString &fallback = QString());
    bool has(const QString &name) const;
    int integer(const QString &name, int fallback, int min, int max);
    double real(const QString &name, double fallback, double min, double max);
    QChar character(const QString &name, QChar fallback);
    // "en" (1) or "pl" (0); English by default.
    uint8_t language(const QString &name);
    // The one positional argument, or empty; more than one is an error.
    // Also reports any option that no command asked for.
    QString singlePositional();
    // Only checks for unknown options and stray positionals.
    void finish();

    bool ok() const { return m_error.isEmpty(); }
    // Prints the problem and the usage line to stderr; returns 2.
    int fail() const;
    void setError(const QString &e)
    {
        if (m_error.isEmpty())
            m_error = e;
    }

private:
    bool take(const QString &name, QString &value);

    QStringList m_args;
    QString m_error;
    const char *m_usage;
};

// Prints "qv7xx-cli: <message>" to stderr; returns 2.
int failWith(const QString &message);

} // namespace qv::cli

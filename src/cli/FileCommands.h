// `qv7xx-cli history` and `qv7xx-cli export`: a history file opened as the
// program opens it, then written as the program saves a history, or as CSV.
#pragma once

#include <QString>
#include <QStringList>

namespace qv {
class HistoryStore;
}

namespace qv::cli {

class Options;

// --decimal-separator, --date-separator, --time-separator into formatSettings().
void takeSeparators(Options &o);
// Opens FILE as File > Open does; exit status 0, or 2 with the message shown.
int openHistory(const QString &path, HistoryStore &store);

int runHistory(const QStringList &args);
int runExport(const QStringList &args);
// The command if it is one of these two (its exit status), else -1.
int runFileCommand(const QString &command, const QStringList &args);

} // namespace qv::cli

// `qv7xx-cli history` and `qv7xx-cli export`: a history file opened as the
// program opens it, then written as the program saves a history, or as CSV.
#pragma once

#include "cmdline/CommandLine.h"

#include <QString>
#include <QStringList>

namespace qv {
class HistoryStore;
}

namespace qv::cli {

// The three separator options, and reading them into formatSettings().
std::vector<OptionSpec> separatorOptions();
void takeSeparators(ArgumentReader &o);
// Opens FILE as File > Open does; exit status 0, or 2 with the message shown.
int openHistory(const QString &path, HistoryStore &store);

CommandSpec historySpec();
CommandSpec exportSpec();
int runHistory(const QStringList &args);
int runExport(const QStringList &args);

} // namespace qv::cli

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
std::vector<OptionInfo> separatorOptions();
void takeSeparators(ArgumentReader &o);
// The FILE argument and the output option of a command that opens a history
// file; false with the problem kept in `o`.
bool takeFileArguments(ArgumentReader &o, const QString &outOption, bool outRequired, QString &out,
                       QString &path);
// Opens FILE as File > Open does; exit status 0, or 2 with the message shown.
int openHistory(const QString &path, HistoryStore &store);

CommandInfo historyInfo();
CommandInfo exportInfo();
int runHistory(const QStringList &args);
int runExport(const QStringList &args);

} // namespace qv::cli

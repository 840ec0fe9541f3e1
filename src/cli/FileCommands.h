// `qv7xx-cli history` and `qv7xx-cli export`: a history file opened as the
// program opens it, then written as the program saves a history, or as CSV.
#pragma once

#include "cmdline/CommandLine.h"

#include <QStringList>

namespace qv::cli {

CommandSpec historySpec();
CommandSpec exportSpec();
int runHistory(const QStringList &args);
int runExport(const QStringList &args);

} // namespace qv::cli

// The commands of qv7xx-cli. Each takes the arguments after its name and
// returns the process exit status (0 success, 2 usage error or unreadable
// input, with a one-line message on stderr).
#pragma once

#include <QStringList>
#include "cli/FileCommands.h"  // history, export
#include "cli/SearchCommand.h"  // search

namespace qv::cli {

int runDecode(const QStringList &args);
int runPorts(const QStringList &args);
int runMonitor(const QStringList &args);
int runJournal(const QStringList &args);

} // namespace qv::cli

// The commands of qv7xx-cli. Each takes the arguments after its name and
// returns the process exit status (0 success, 2 usage error or unreadable
// input, with a one-line message on stderr); each describes its options in
// its CommandInfo, which also gives its --help.
#pragma once

#include "cmdline/CommandLine.h"

#include "cli/FileCommands.h"  // history, export
#include "cli/SearchCommand.h"  // search

#include <QStringList>

#include <vector>

namespace qv::cli {

CommandInfo decodeInfo();
CommandInfo portsInfo();
CommandInfo monitorInfo();
int runDecode(const QStringList &args);
int runPorts(const QStringList &args);
int runMonitor(const QStringList &args);
CommandInfo journalInfo();
int runJournal(const QStringList &args);
CommandInfo findInfo();
CommandInfo logInfo();
CommandInfo memoryInfo();
int runFind(const QStringList &args);
int runLog(const QStringList &args);
int runMemory(const QStringList &args);

struct Command {
    CommandInfo (*about)();
    int (*run)(const QStringList &args);
    bool draws;          // needs a (offscreen) GUI application
    const char *brief;   // its line in the program's --help
};

// Every command of this build, in the order --help lists them.
const std::vector<Command> &commands();
// The program's own description: its --help lists the commands.
CommandInfo programInfo();

} // namespace qv::cli

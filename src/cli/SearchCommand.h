// `qv7xx-cli search`: a history file opened as the program opens it, searched
// with criteria given as the criterion boxes take them, and the matching rows
// written as a search-results file.
#pragma once

#include "cmdline/CommandLine.h"

#include <QStringList>

namespace qv::cli {

CommandInfo searchInfo();
int runSearch(const QStringList &args);

} // namespace qv::cli

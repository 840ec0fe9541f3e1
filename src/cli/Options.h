// What the commands of qv7xx-cli share about their command lines: each
// command describes itself in a CommandInfo (its options table and help)
// read with the shared ArgumentReader, and reports other failures in one line.
#pragma once

#include "cmdline/CommandLine.h"

#include <QString>

#include <cstdint>

namespace qv::cli {

// A command's description; the program is qv7xx-cli.
CommandInfo commandInfo(const QString &command, const QString &arguments, const QString &summary,
                        std::vector<OptionInfo> options, const QString &notes = QString());

// --lang en|pl, read as the language byte (0 Polish, 1 English; English by default).
OptionInfo languageOption();
uint8_t readLanguage(ArgumentReader &opts);

// Prints "qv7xx-cli: <message>" to stderr; returns 2.
int failWith(const QString &message);

} // namespace qv::cli

// The commands of qv7xx-cli that draw (they need the widget library).
#pragma once

#include "cmdline/CommandLine.h"

#include <QStringList>

namespace qv::cli {

// Exit status of render when the capture holds no screen of the meter.
constexpr int RenderNoScreen = 3;

CommandInfo renderInfo();
// qv7xx-cli render: a capture through the protocol component and the
// instrument's core into a PNG picture of the LCD.
int runRender(const QStringList &args);

CommandInfo printInfo();
// qv7xx-cli print: a history file printed into a PDF file.
int runPrint(const QStringList &args);

} // namespace qv::cli

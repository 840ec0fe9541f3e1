// The commands of qv7xx-cli that draw (they need the widget library).
#pragma once

#include <QStringList>

namespace qv::cli {

// qv7xx-cli render: a capture through the protocol component and the
// instrument's core into a PNG picture of the LCD.
int runRender(const QStringList &args);

} // namespace qv::cli

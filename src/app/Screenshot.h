// A picture of the main window for the documentation: taken once the meter
// shows its measurement screen, then the program quits.
#pragma once

#include <QString>

namespace qv {

class TFormQV;

// Waits (at most `timeoutMs`) for the measurement screen, takes one
// measurement, waits `afterMs` more, grabs the window into `file` and quits the event loop with 0 (1 when the
// screen never came or the file could not be written).
void grabWhenMeasuring(TFormQV &form, const QString &file, int afterMs, int timeoutMs = 20000);

} // namespace qv

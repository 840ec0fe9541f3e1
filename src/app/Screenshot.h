// A picture of the main window for the documentation: taken once the meter
// shows its measurement screen, then the program quits. It always ends: at
// the deadline the window is saved as it is and the reason goes to stderr.
#pragma once

#include <QString>

namespace qv {

class TFormQV;

// Exit status when the measurement screen never came (the picture is saved).
constexpr int ScreenshotTimedOut = 3;

// Waits (at most `timeoutMs`) for the measurement screen, takes one
// measurement, waits `afterMs` more, grabs the window into `file` and ends
// the event loop with 0. At the deadline it saves the window as it is and
// ends with ScreenshotTimedOut; 1 when the file cannot be written.
void grabWhenMeasuring(TFormQV &form, const QString &file, int afterMs, int timeoutMs);

// Why the meter is not on its measurement screen, for the message at the deadline.
QString whyNotMeasuring(TFormQV &form);

} // namespace qv

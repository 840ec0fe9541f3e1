// What the serial components have to tell the user outside their events,
// brought to the main window: the warning about two ports of one name, as a
// message box the window owns, and the error sound of link errors (status
// codes above 1) for components that ask for it, made only while the program
// is in front.
#pragma once

#include <functional>

class QWidget;

namespace qv {

// Installs both for the process; `errorSound` makes the sound.
void installLinkNotices(QWidget *mainWindow, std::function<void()> errorSound);
// Back to the defaults: the warning on standard error, no sound.
void removeLinkNotices();

} // namespace qv

#include "app/LinkNotices.h"

#include "dialogs/DialogSeam.h"
#include "serial/TComm32VN.h"

#include <QGuiApplication>
#include <QPointer>
#include <QWidget>

namespace qv {

void installLinkNotices(QWidget *mainWindow, std::function<void()> errorSound)
{
    QPointer<QWidget> owner(mainWindow);
    // The flags are the message box's: their icon part is the dialog's icon.
    TComm32VN::setWarningHandler([owner](const QString &text, int flags) {
        ShowInfoBox(owner, text, QString(), flags & 0xF0);
    });
    TComm32VN::setErrorBeep([sound = std::move(errorSound)] {
        if (sound && QGuiApplication::applicationState() == Qt::ApplicationActive)
            sound();
    });
}

void removeLinkNotices()
{
    TComm32VN::setWarningHandler(nullptr);
    TComm32VN::setErrorBeep(nullptr);
}

} // namespace qv

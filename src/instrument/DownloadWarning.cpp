#include "instrument/DownloadWarning.h"

#include "protocol/TComm32QV.h"

#include <QWidget>

namespace qv {

QString downloadWarningText(uint8_t language, LinkAction action)
{
    static const char *const actionPl[] = {"Zmiana prędkości transmisji", "Zmiana portu komunikacji",
                                           "Wznowienie połączenia"};
    static const char *const actionEn[] = {"Baud rate change", "Serial port change", "Reconnection"};
    const int i = int(action);
    if (language == 0)
        return QStringLiteral("UWAGA\r\nTrwa odbiór danych pamięci miernika.\r\n") +
               QString::fromUtf8(actionPl[i]) +
               QStringLiteral(" spowoduje ich utratę.\r\nCzy na pewno chcesz kontynuować?");
    return QStringLiteral("WARNING\r\nData downloading in progress. ") + QLatin1String(actionEn[i]) +
           QStringLiteral(" causes data lost.\r\nContinue anyway?");
}

bool DownloadWarning::confirm(QWidget *owner, LinkAction action)
{
    if (!m_comm.InMemoryTransfer())
        return true;
    if (m_held.isOpen())
        return false;
    QWidget *top = owner ? owner->window() : nullptr;
    return AskYesNoHeld(top, m_held, downloadWarningText(m_language, action), IconWarning,
                        top ? top->windowTitle() : QString());
}

} // namespace qv

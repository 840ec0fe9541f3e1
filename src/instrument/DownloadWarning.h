// The question asked before a baud-rate change, a port change or a
// reconnection would cut a memory download short. One such question is open
// at a time; a link error or the end of the download closes it (answer No).
#pragma once

#include "dialogs/DialogSeam.h"

#include <QString>

#include <cstdint>

class QWidget;

namespace qv {

class TComm32QV;

enum class LinkAction { BaudRateChange, PortChange, Reconnection };

QString downloadWarningText(uint8_t language, LinkAction action);

class DownloadWarning {
public:
    DownloadWarning(TComm32QV &comm, uint8_t language) : m_comm(comm), m_language(language) {}

    // True when `action` may go ahead: no download runs, or the user said
    // Yes. Refused while another such question is open.
    bool confirm(QWidget *owner, LinkAction action);
    bool isOpen() const { return m_held.isOpen(); }
    // Closes an open question, as when the download ends or the link fails.
    void close() { m_held.close(); }

private:
    TComm32QV &m_comm;
    uint8_t m_language;
    HeldDialog m_held;
};

} // namespace qv

// TFormQV: the instrument's events, the enabled commands, the link settings
// at start-up and shutdown, errors after start-up.
#include "app/TFormQV.h"

#include "app/LinkNotices.h"
#include "dialogs/DialogSeam.h"
#include "instrument/QVMeter32.h"

#include <QAction>
#include <QApplication>

namespace qv {

void TFormQV::wireInstrument()
{
    // The program's error sound is the instrument's.
    installLinkNotices(this, [this] {
        if (m_meter && m_meter->beep)
            m_meter->beep();
    });
    TQVMeter32 &m = *m_meter;
    m.OnMeterON = [this] {
        MeterOn = true;
        StatusAlarm = false;
        ButtonsRefresh();
        MenuMeterInfo->setEnabled(false);
    };
    m.OnMeterOFF = [this] {
        MeterOn = false;
        StatusAlarm = false;
        MenuMeterInfo->setEnabled(false);
        ButtonsRefresh();
    };
    m.OnEnter = [this] {
        if (QGuiApplication::applicationState() == Qt::ApplicationActive && !m_meter->hasFocus())
            m_meter->setFocus();
    };
    m.OnStatus = [this](int code, const QString &) {
        if (code < 0)
            return;
        MeterOn = true;
        StatusAlarm = code > stDisconnected;
        ButtonsRefresh();
    };
    m.OnReceiveInfo = [this](const TDataInfoQV &info) {
        MeterOn = true;
        StatusAlarm = false;
        LastInfo = info;
        if (!ProbeSeen)
            ProbeSeen = info.ProbePresent;
        ButtonsRefresh();
    };
    m.OnReceiveInfoMeter = [this](const TInfoMeterQV &ident) {
        LastInfoMeter = ident;
        MenuMeterInfo->setEnabled(true);
    };
    m.OnStartMeas = [this] {
        Measuring = true;
        ButtonsRefresh();
    };
    m.OnStopMeas = [this] {
        Measuring = false;
        ButtonsRefresh();
    };
}

void TFormQV::ButtonsRefresh()
{
    // Autosave (and with it the measuring meter holding the history) comes
    // with the capture; until then the history is always free.
    const bool autosaveOn = false;
    const bool free = !(MeterOn && Measuring && autosaveOn) || StatusAlarm;
    const bool idle = !m_searchBusy && !m_copying;
    const bool history = m_historyRows > 0;
    MenuSaveMemory->setEnabled(m_memoLoaded);
    MenuPrintMemory->setEnabled(m_memoLoaded);
    MenuSaveHistory->setEnabled(history && free && idle);
    MenuPrintHistory->setEnabled(history && free && idle);
    MenuSaveResults->setEnabled(m_searchResults && !m_searchBusy);
    MenuPrintResults->setEnabled(m_searchResults && !m_searchBusy);
}

void TFormQV::applyStartLink(const StartLink &start)
{
    LinkSettings link;
    const bool read = readLinkSettings(m_settings, m_language, link);
    const bool given = !start.port.isEmpty() || start.baud;
    if (!start.port.isEmpty())
        link.port = start.port;
    if (start.baud)
        link.baudRate = *start.baud;
    if (!read && !given)
        return;
    // The empty name is the none choice.
    const QString port = link.port.isEmpty() ? noneName(m_language) : link.port;
    if (port.compare(m_meter->Port(), Qt::CaseInsensitive) == 0 && link.baudRate == m_meter->BaudRate())
        return;
    // A port that appeared a moment ago (a simulator just started) may not
    // be on the list yet.
    m_meter->comm().RescanPorts();
    m_meter->setPortAndBaudRate(port, link.baudRate);
}

void TFormQV::shutdown()
{
    if (m_shutDown || !m_meter)
        return;
    m_shutDown = true;
    removeLinkNotices();
    TQVMeter32 &m = *m_meter;
    m.OnMeterON = m.OnMeterOFF = m.OnEnter = m.OnStartMeas = m.OnStopMeas = nullptr;
    m.OnStatus = nullptr;
    m.OnReceiveInfo = nullptr;
    m.OnReceiveInfoMeter = nullptr;
    writeLinkSettings(m_settings, m.comm());
    m.setPort(noneName(m_language));
}

void TFormQV::showException(const QString &what)
{
    ShowInfoBox(this, what, windowTitle(), IconWarning);
    if (m_meter)
        m_meter->ClosePort();
}

} // namespace qv

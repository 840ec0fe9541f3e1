// TFormQV: the instrument's events, the enabled commands, the link settings
// at start-up and shutdown, errors after start-up.
#include "app/TFormQV.h"

#include "app/AutosaveList.h"
#include "app/LinkNotices.h"
#include "dialogs/DialogSeam.h"
#include "instrument/QVMeter32.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>

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
        m_capture->LastInfo = info;
        if (!ProbeSeen)
            ProbeSeen = info.ProbePresent;
        ButtonsRefresh();
    };
    m.OnReceiveInfoMeter = [this](const TInfoMeterQV &ident) {
        LastInfoMeter = ident;
        MenuMeterInfo->setEnabled(true);
    };
}

void TFormQV::ButtonsRefresh()
{
    const bool autosaveOn = m_capture->autosaveOn();
    const bool free = !(MeterOn && Measuring && autosaveOn) || StatusAlarm;
    const bool idle = !SearchBusy && !m_store->Copying;
    const bool history = m_store->HistOK();
    const bool results = m_store->ReplyOK();
    const TDataMeasQV &last = m_capture->LastMeas;
    BtnInsertMeas->setEnabled(autosaveOn || (free && CBAutoInsert->currentIndex() == 0 &&
                                             !last.ValueText.isEmpty() && ProbeSeen && idle));
    BtnDel->setEnabled(free && history && idle);
    BtnOFF->setEnabled(idle && CriteriaOn);
    BtnSearch->setEnabled(free && history && CriteriaOn && idle);
    BtnDopiszMemo->setEnabled(MemoLoaded && free && idle);
    BtnNadpiszMemo->setEnabled(MemoLoaded && free && idle);
    MenuOpenMemory->setEnabled(true);
    MenuOpenHistory->setEnabled(free && idle);
    MenuSaveMemory->setEnabled(MemoLoaded);
    MenuPrintMemory->setEnabled(MemoLoaded);
    MenuSaveHistory->setEnabled(history && free && idle);
    MenuPrintHistory->setEnabled(history && free && idle);
    MenuSaveResults->setEnabled(results && !SearchBusy);
    MenuPrintResults->setEnabled(results && !SearchBusy);
    refreshFileCommands();
    refreshCount();
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
    m.OnReceiveMeas = nullptr;
    m.OnReceiveMemo = nullptr;
    writeLinkSettings(m_settings, m.comm());
    writeFolders();
    writeSearchSettings();
    if (FormMask())
        MenuFindOperatorsClick();   // the operators window closes
    m.setPort(noneName(m_language));
    m_blinkTimer->setEnabled(false);
    MemoBuf.clear();
    // What the history holds stays in the journal for the next start.
    m_journal.close();
}

void TFormQV::showException(const QString &what)
{
    ShowInfoBox(this, what, windowTitle(), IconWarning);
    if (m_meter)
        m_meter->ClosePort();
}

} // namespace qv

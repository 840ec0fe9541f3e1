// TQVMeter32: the serial link. Port and baud-rate changes (by property and by
// the boxes), the "Turn off" and "Search"/"Connect" buttons, the port list.
#include "instrument/QVMeter32.h"

#include "instrument/MeterWindows.h"
#include "instrument/QVStatusBar.h"
#include "instrument/TransmissionFrame.h"
#include "serial/PortOrder.h"
#include "serial/PortSource.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>

namespace qv {

namespace {
// A new port gets this long before a silent meter counts as lost: it may be
// switching on.
constexpr uint32_t NewPortHoldMs = 4000;
} // namespace

bool TQVMeter32::realPortSelected() const
{
    return m_comm->PortIndex() > 0;
}

int TQVMeter32::PortNumber() const
{
    return m_comm->IsOpen() ? m_comm->PortIndex() : 0;
}

void TQVMeter32::ClosePort()
{
    m_typer->clear();
    m_comm->Close();
}

void TQVMeter32::requestRefresh()
{
    m_comm->SendKey(kcI);
}

void TQVMeter32::raiseHoldTime()
{
    if (m_comm->HoldTime() < NewPortHoldMs)
        m_comm->SetHoldTime(NewPortHoldMs);
}

void TQVMeter32::setBaudRate(TBaudRate rate)
{
    if (rate < br001200 || rate > br009600)
        return;
    const TBaudRate old = m_comm->BaudRate();
    // Keys still waiting were meant for the link as it was.
    m_typer->clear();
    m_comm->setBaudRate(rate);
    {
        const QSignalBlocker quiet(baudBox());
        baudBox()->setCurrentIndex(rate - br001200);
    }
    if (!realPortSelected()) {
        m_core->clearSent();
    } else if (m_refreshOnChange) {
        m_core->setIdentRequest(true);
        requestRefresh();
    }
    if (rate != old) {
        m_comm->setFixedRespTime(m_comm->TransmitTime(28) + m_comm->TimeOut() + 5000);
        if (OnBaudRateChange)
            OnBaudRateChange();
    }
    m_core->storeFrameDelay();
}

void TQVMeter32::setPort(const QString &name)
{
    const QString old = m_comm->COMPort();
    m_typer->clear();
    m_comm->setCOMPort(name);
    m_port = m_comm->COMPort();
    selectPortInBox();
    const bool changed = m_port != old;
    if (!realPortSelected()) {
        m_core->clearSent();
    } else {
        if (m_refreshOnChange) {
            m_core->setIdentRequest(true);
            requestRefresh();
        }
        if (changed)
            raiseHoldTime();
    }
    m_core->stopClock();
    if (changed) {
        if (realPortSelected()) {
            m_core->forgetMeter();
            InternalCOMSearch = true;
        }
        if (OnCOMPortChange)
            OnCOMPortChange();
    }
    updateLinkButtons();
    redrawKeyHint();
}

void TQVMeter32::setPortAndBaudRate(const QString &port, TBaudRate rate)
{
    const QString old = m_comm->COMPort();
    m_refreshOnChange = false;
    m_core->setIdentRequest(false);
    // Closing and opening the port here ends and starts its threads before
    // returning, so nothing needs waiting for between the two steps.
    setBaudRate(rate);
    setPort(port);
    m_refreshOnChange = true;
    m_core->setIdentRequest(true);
    requestRefresh();
    if (m_comm->COMPort() != old)
        raiseHoldTime();
}

void TQVMeter32::updateLinkButtons()
{
    const bool pl = m_language == 0;
    const bool real = realPortSelected();
    searchButton()->setText(real ? (pl ? QStringLiteral("Wznów") : QStringLiteral("Connect"))
                                 : (pl ? QStringLiteral("Szukaj") : QStringLiteral("Search")));
    offButton()->setEnabled(real);
}

// Each item shows the port's short name and holds its whole name (the one
// opened) as data and as its tool tip.
void TQVMeter32::fillPortBox()
{
    QComboBox *box = portBox();
    const QSignalBlocker quiet(box);
    box->hidePopup();
    box->clear();
    const QStringList &ports = m_comm->PortList();
    const QStringList shown = portDisplayNames(ports, virtualPortFolder());
    for (int i = 0; i < ports.size(); ++i) {
        box->addItem(shown.at(i), ports.at(i));
        box->setItemData(i, ports.at(i), Qt::ToolTipRole);
    }
    // Device paths are longer than the box: the list shows them whole.
    box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) + 8);
    selectPortInBox();
}

QString TQVMeter32::portInBox(int index) const
{
    return portBox()->itemData(index).toString();
}

int TQVMeter32::portIndexInBox(const QString &port) const
{
    for (int i = 0; i < portBox()->count(); ++i) {
        if (portInBox(i).compare(port, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void TQVMeter32::selectPortInBox()
{
    QComboBox *box = portBox();
    const QSignalBlocker quiet(box);
    const int i = portIndexInBox(m_port);
    box->setCurrentIndex(i >= 0 ? i : 0);
    box->setToolTip(portInBox(box->currentIndex()));
}

void TQVMeter32::portListChanged()
{
    fillPortBox();
    if (m_comm->COMPort() != m_port)
        setPort(m_comm->COMPort());
    updateLinkButtons();
    redrawKeyHint();
}

// Cuts a running memory download short before the link changes under it;
// characters still waiting to be typed are dropped.
static void cancelDownload(TComm32QV &comm, KeyTyper &typer)
{
    if (!comm.InMemoryTransfer())
        return;
    typer.clear();
    comm.SendKey(kcQ);
}

void TQVMeter32::baudBoxChosen(int index)
{
    const int rate = br001200 + index;
    if (index < 0 || rate > br009600)
        return;
    if (rate != BaudRate()) {
        if (!m_warning.confirm(this, LinkAction::BaudRateChange)) {
            const QSignalBlocker quiet(baudBox());
            baudBox()->setCurrentIndex(BaudRate() - br001200);
            returnFocus();
            return;
        }
        cancelDownload(*m_comm, *m_typer);
        setBaudRate(TBaudRate(rate));
    }
    returnFocus();
}

void TQVMeter32::portBoxChosen(int index)
{
    if (index < 0)
        return;
    const QString name = portInBox(index);
    if (name.compare(m_port, Qt::CaseInsensitive) == 0 && m_comm->IsOpen()) {
        returnFocus();
        return;
    }
    if (!m_warning.confirm(this, LinkAction::PortChange)) {
        selectPortInBox();
        returnFocus();
        return;
    }
    cancelDownload(*m_comm, *m_typer);
    m_core->resetScreenState();
    setPort(name);
    returnFocus();
}

void TQVMeter32::turnOffClicked()
{
    ClosePort();
    redrawKeyHint();
    returnFocus();
}

void TQVMeter32::searchClicked()
{
    if (m_reconnecting)
        return;
    const bool real = realPortSelected();
    const bool search = InternalCOMSearch || bool(OnExternalCOMSearch);
    if (!m_warning.confirm(this, !real && search ? LinkAction::PortChange : LinkAction::Reconnection))
        return;
    if (real) {
        m_reconnecting = true;
        ClosePort();
        m_comm->Open();
        PressKey(MeterKey::Refresh);
        m_reconnecting = false;
    } else if (InternalCOMSearch) {
        QStringList ports;
        for (int i = 0; i < portBox()->count(); ++i)
            ports << portInBox(i);
        QString port, baudName;
        if (runMeterSearch(this, m_language, BaudRate(), ports, port, baudName)) {
            const int b = baudBox()->findText(baudName);
            if (b >= 0) {
                baudBox()->setCurrentIndex(b);
                baudBoxChosen(b);
            }
            const int p = portIndexInBox(port);
            if (p >= 0) {
                portBox()->setCurrentIndex(p);
                portBoxChosen(p);
            }
        }
    } else if (OnExternalCOMSearch) {
        OnExternalCOMSearch();
    }
    redrawKeyHint();
    returnFocus();
}

} // namespace qv

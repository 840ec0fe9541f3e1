// TComm32VN: construction, the published properties and status reporting.
#include "serial/TComm32VNPrivate.h"

namespace qv {

namespace {

std::function<void()> &errorBeep()
{
    static std::function<void()> beep;
    return beep;
}

} // namespace

SerialPlatform SerialPlatform::system()
{
    SerialPlatform platform;
    platform.clock = &systemClock();
    platform.timers = &qtTimers();
    platform.ports = &systemPortSource();
    return platform;
}

TComm32VN::Impl::Impl(TComm32VN *component, const SerialPlatform &platform)
    : q(component),
      clock(platform.clock ? platform.clock : &systemClock()),
      timers(platform.timers ? platform.timers : &qtTimers()),
      ports(platform.ports ? platform.ports : &systemPortSource())
{
}

void TComm32VN::Impl::post(std::function<void()> work)
{
    QMetaObject::invokeMethod(&owner, std::move(work), Qt::QueuedConnection);
}

TComm32VN::TComm32VN(uint8_t language, const SerialPlatform &platform)
    : d(std::make_unique<Impl>(this, platform)), m_language(language)
{
    d->comPort = noneName(language);
    d->portList = QStringList{noneName(language)}; // until the first scan has run
    d->queueTimer = d->timers->create();
    d->queueTimer->setInterval(100);
    d->queueTimer->setEnabled(false);
    d->queueTimer->onTimeout = [this] { d->onQueueTimer(); };
    d->responseTimer = d->timers->create();
    d->responseTimer->setInterval(100);
    d->responseTimer->setEnabled(false);
    d->responseTimer->onTimeout = [this] { d->onResponseTimer(); };
    d->registerForDeviceChanges();
    d->requestScan();
}

TComm32VN::~TComm32VN()
{
    d->destroying = true;
    d->queueTimer->setEnabled(false);
    d->queueTimer->onTimeout = nullptr;
    d->responseTimer->setEnabled(false);
    d->responseTimer->onTimeout = nullptr;
    // A descendant's Close override is gone by now; it closes in its own destructor.
    TComm32VN::Close();
    d->unregister();
}

// --- published properties ----------------------------------------------------

QString TComm32VN::COMPort() const { return d->comPort; }

TBaudRate TComm32VN::BaudRate() const { return d->line.baudRate; }
void TComm32VN::setBaudRate(TBaudRate rate)
{
    d->line.baudRate = rate;
    d->reopen();
}

TParityBit TComm32VN::Parity() const { return d->line.parity; }
void TComm32VN::setParity(TParityBit parity)
{
    d->line.parity = parity;
    d->reopen();
}

TDataBits TComm32VN::DataBits() const { return d->line.dataBits; }
void TComm32VN::setDataBits(TDataBits bits)
{
    d->line.dataBits = bits;
    d->reopen();
}

TStopBits TComm32VN::StopBits() const { return d->line.stopBits; }
void TComm32VN::setStopBits(TStopBits bits)
{
    d->line.stopBits = bits;
    d->reopen();
}

uint16_t TComm32VN::TimeOut() const { return d->timeOut.load(); }
// The receive thread reads the shared value before every pause: no reopen.
void TComm32VN::setTimeOut(uint16_t ms) { d->timeOut.store(ms); }

uint32_t TComm32VN::MaxRespTime() const { return d->maxRespTime; }
void TComm32VN::setMaxRespTime(uint32_t ms) { d->maxRespTime = ms; }

uint32_t TComm32VN::FixedRespTime() const { return d->fixedRespTime; }
void TComm32VN::setFixedRespTime(uint32_t ms) { d->fixedRespTime = ms; }

uint16_t TComm32VN::SizeBufTXD() const { return d->sizeBufTXD; }
void TComm32VN::setSizeBufTXD(uint16_t bytes)
{
    d->sizeBufTXD = bytes;
    d->reopen();
}

uint16_t TComm32VN::SizeBufRXD() const { return d->sizeBufRXD; }
void TComm32VN::setSizeBufRXD(uint16_t bytes)
{
    d->sizeBufRXD = bytes;
    d->reopen();
}

namespace {
// Flags that shape how the port is opened reopen it only when they change.
template <typename Impl>
void setReopenFlag(Impl &d, bool &flag, bool on)
{
    if (flag == on)
        return;
    flag = on;
    d.reopen();
}
} // namespace

bool TComm32VN::DTRCtrlEnable() const { return d->dtrCtrlEnable; }
void TComm32VN::setDTRCtrlEnable(bool on) { setReopenFlag(*d, d->dtrCtrlEnable, on); }
bool TComm32VN::DTRCtrlHandshake() const { return d->dtrCtrlHandshake; }
void TComm32VN::setDTRCtrlHandshake(bool on) { setReopenFlag(*d, d->dtrCtrlHandshake, on); }
bool TComm32VN::RTSCtrlEnable() const { return d->rtsCtrlEnable; }
void TComm32VN::setRTSCtrlEnable(bool on) { setReopenFlag(*d, d->rtsCtrlEnable, on); }
bool TComm32VN::RTSCtrlHandshake() const { return d->rtsCtrlHandshake; }
void TComm32VN::setRTSCtrlHandshake(bool on) { setReopenFlag(*d, d->rtsCtrlHandshake, on); }
bool TComm32VN::RTSCtrlToggle() const { return d->rtsCtrlToggle; }
void TComm32VN::setRTSCtrlToggle(bool on) { setReopenFlag(*d, d->rtsCtrlToggle, on); }
bool TComm32VN::FlowDTR_DSR() const { return d->line.flowDtrDsr; }
void TComm32VN::setFlowDTR_DSR(bool on) { setReopenFlag(*d, d->line.flowDtrDsr, on); }
bool TComm32VN::FlowRTS_CTS() const { return d->line.flowRtsCts; }
void TComm32VN::setFlowRTS_CTS(bool on) { setReopenFlag(*d, d->line.flowRtsCts, on); }

bool TComm32VN::RTSState() const { return d->rtsState; }
void TComm32VN::setRTSState(bool on)
{
    d->rtsState = on;
    d->driveRts(on);
}

bool TComm32VN::DTRState() const { return d->dtrState; }
void TComm32VN::setDTRState(bool on)
{
    d->dtrState = on;
    d->driveDtr(on);
}

// --- state ------------------------------------------------------------------------

bool TComm32VN::ReadyToSend() const { return d->readyToSend; }
int TComm32VN::LastStatus() const { return d->lastStatus; }
LineSettings TComm32VN::lineSettings() const { return d->line; }
QString TComm32VN::LastErrorHint() const { return d->lastHint; }

// --- status -------------------------------------------------------------------------

void TComm32VN::ReportStatus(int code)
{
    if (d->destroying)
        return;
    // Stored first: a handler may read it, or even delete the component.
    d->lastStatus = code;
    if (OnCOMStatus) {
        if (code > stDisconnected && SoundOnError && errorBeep())
            errorBeep()();
        OnCOMStatus(code, statusText(code, m_language));
    }
}

void TComm32VN::ReportStatus()
{
    ReportStatus(d->lastStatus);
}

void TComm32VN::setErrorBeep(std::function<void()> beep)
{
    errorBeep() = std::move(beep);
}

bool TComm32VN::Destroying() const { return d->destroying; }
Clock &TComm32VN::clock() const { return *d->clock; }

} // namespace qv

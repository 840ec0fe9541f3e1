// TComm32VN: opening and closing the port, its two threads, the modem lines.
#include "serial/LinkTexts.h"
#include "serial/TComm32VNPrivate.h"

#include <sys/ioctl.h>

namespace qv {

namespace {

// Port names are device paths; a bare name means a node under /dev.
QString devicePath(const QString &name)
{
    return name.startsWith(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name;
}

} // namespace

bool TComm32VN::IsOpen() const
{
    return d->detached || d->device.isOpen();
}

QString TComm32VN::OpenedPort() const
{
    return d->openedName;
}

bool TComm32VN::Open()
{
    if (IsOpen())
        return true;
    if (d->portIndex == 0) {
        Close();
        return false;
    }
    d->openedName = d->comPort;
    const QString path = devicePath(d->comPort);
    if (!d->device.open(path)) {
        const int err = d->device.lastError();
        const QString hint = openFailureHint(m_language, path, err);
        switch (SerialDevice::classify(err)) {
        case SerialDevice::OpenFailure::Busy:
            d->failOpen(stBusy, hint);
            break;
        case SerialDevice::OpenFailure::NotFound:
            d->comPort = noneName(m_language);
            d->portIndex = 0;
            d->failOpen(stPortNotFound, hint);
            break;
        case SerialDevice::OpenFailure::Other:
            d->failOpen(stPortError, hint);
            break;
        }
        return false;
    }
    if (!d->device.configure(d->line, d->line.flowRtsCts || d->rtsCtrlHandshake)) {
        const QString hint = d->line.dataBits == dbFour
            ? unsupportedDataBitsHint(m_language, path)
            : configureFailureHint(m_language, path, d->device.lastError());
        d->device.close();
        d->failOpen(stPortError, hint);
        return false;
    }
    // DTR and RTS "enable" modes raise the line while the port is open; the
    // states below then have the last word unless a handshake owns the line.
    // (Linux has no DTR/DSR handshake nor RTS toggling in the driver: DSR is
    // checked before each send instead.)
    if (d->dtrCtrlEnable)
        d->device.setModemLine(TIOCM_DTR, true);
    if (d->rtsCtrlEnable)
        d->device.setModemLine(TIOCM_RTS, true);
    d->driveRts(d->rtsState);
    d->driveDtr(d->dtrState);

    if (!d->stop.create()) {
        d->device.close();
        return false;
    }
    d->queue.clear();
    d->holdTime = 0;
    d->readyToSend = true;
    d->openLine = d->line;
    d->lastHint.clear();
    ++d->session;
    tty::purgeInput(d->device.fd());
    tty::purgeOutput(d->device.fd());
    d->startThreads();
    ReportStatus(stConnected);
    return true;
}

void TComm32VN::Impl::failOpen(int status, const QString &hint)
{
    device.close();
    lastHint = hint;
    q->ReportStatus(status);
}

void TComm32VN::Impl::startThreads()
{
    const uint64_t mySession = session;

    ReadThreadConfig rc;
    rc.fd = device.fd();
    rc.stopFd = stop.fd();
    rc.bufferSize = sizeBufRXD;
    rc.line = openLine;
    rc.timeOut = &timeOut;
    rc.noGapWait = &noGapWait;
    rc.handOver = [this](QByteArray block) {
        post([this, block] {
            q->DeliverBlock(reinterpret_cast<const uint8_t *>(block.constData()), uint32_t(block.size()));
        });
    };
    rc.lineError = [this, mySession] {
        post([this, mySession] {
            // Not for a port closed (or reopened) since the error was seen.
            if (session == mySession && device.isOpen())
                q->ReportStatus(stCommError);
        });
    };
    reader = std::make_unique<ReadThread>(std::move(rc));

    WriteThreadConfig wc;
    wc.fd = device.fd();
    wc.stopFd = stop.fd();
    wc.bufferSize = sizeBufTXD;
    if (q->OnTxdEmpty) {
        wc.sent = [this](QByteArray bytes) {
            post([this, bytes] {
                if (q->OnTxdEmpty && !bytes.isEmpty())
                    q->OnTxdEmpty(reinterpret_cast<const uint8_t *>(bytes.constData()),
                                  uint32_t(bytes.size()));
            });
        };
    }
    writer = std::make_unique<WriteThread>(std::move(wc));
}

void TComm32VN::Close()
{
    d->readyToSend = false;
    d->queue.clear();
    d->queueTimer->setEnabled(false);
    d->responseTimer->setEnabled(false);
    if (!IsOpen()) {
        ReportStatus(stDisconnected);
        return;
    }
    if (d->detached) {
        d->detached = false;
        d->sink = nullptr;
    } else {
        d->stopThreads();
        d->driveRts(false);
        d->driveDtr(false);
        d->device.close();
        d->stop.close();
    }
    d->holdTime = 0;
    ReportStatus(stDisconnected);
}

// Both threads are joined before the descriptor is closed: the next Open may
// get the same descriptor number, and a thread still polling or reading it
// would steal the new port's bytes. The stop event wakes them at once.
void TComm32VN::Impl::stopThreads()
{
    stop.signal();
    if (writer)
        writer->join();
    if (reader)
        reader->join();
    writer.reset();
    reader.reset();
}

void TComm32VN::OpenDetached(std::function<void(const QByteArray &)> sink)
{
    if (IsOpen())
        Close();
    d->detached = true;
    d->sink = std::move(sink);
    d->detachedNotifySent = bool(OnTxdEmpty);
    d->queue.clear();
    d->holdTime = 0;
    d->readyToSend = true;
    d->openLine = d->line;
    d->lastHint.clear();
    ++d->session;
    d->lastStatus = stConnected;
}

void TComm32VN::DeliverBlock(const uint8_t *buf, uint32_t size)
{
    if (d->destroying)
        return;
    DoReceive(buf, size);
}

void TComm32VN::Loaded()
{
    Close();
    Open();
}

void TComm32VN::Impl::reopen()
{
    if (detached)
        return;
    q->Close();
    q->Open();
}

bool TComm32VN::Impl::writeThreadRuns() const
{
    return detached || (writer && writer->running());
}

void TComm32VN::Impl::driveRts(bool on)
{
    if (!line.flowRtsCts)
        device.setModemLine(TIOCM_RTS, on);
}

void TComm32VN::Impl::driveDtr(bool on)
{
    if (!line.flowDtrDsr)
        device.setModemLine(TIOCM_DTR, on);
}

} // namespace qv

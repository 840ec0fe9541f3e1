// TComm32VN: the one-block transmit queue with its pacing, the response
// watch, and the base handling of received blocks.
#include "serial/TComm32VNPrivate.h"

#include <algorithm>
#include <sys/ioctl.h>

namespace qv {

bool TComm32VN::Transmit(const uint8_t *buf, uint32_t size, bool awaitResponse)
{
    const uint32_t count = buf ? std::min<uint32_t>(size, d->sizeBufTXD) : 0;
    bool added = false;
    if (d->queue.empty()) {
        d->queue.push_back({awaitResponse, QByteArray(reinterpret_cast<const char *>(buf), int(count))});
        added = true;
    }
    bool result = false;
    if (d->readyToSend && d->writeThreadRuns()) {
        result = added;
        if (d->queue.size() == 1)
            d->sendNext();
    }
    d->queueTimer->setEnabled(!d->queue.empty());
    return result;
}

bool TComm32VN::Transmit(const QByteArray &bytes, bool awaitResponse)
{
    return Transmit(reinterpret_cast<const uint8_t *>(bytes.constData()), uint32_t(bytes.size()),
                    awaitResponse);
}

bool TComm32VN::QueueBusy() const
{
    return !d->queue.empty();
}

// More than TimeOut ms since the last send (wrap-around safe).
bool TComm32VN::Impl::pacingElapsed() const
{
    if (!lastSend)
        return true;
    return static_cast<int32_t>(clock->ticks() - (*lastSend + timeOut.load())) > 0;
}

void TComm32VN::Impl::sendNext()
{
    if (!q->IsOpen() || !writeThreadRuns() || queue.empty() || !pacingElapsed()
        || (!detached && stop.signalled()))
        return;

    // With a handshake the block waits until the meter's side is ready. A
    // driver without modem lines (a pseudo-terminal) never holds it back.
    bool heldBack = false;
    int lines = 0;
    if ((line.flowDtrDsr || line.flowRtsCts) && !detached && device.modemStatus(lines)) {
        if (line.flowDtrDsr && !(lines & TIOCM_DSR))
            heldBack = true;
        if (line.flowRtsCts && !(lines & TIOCM_CTS))
            heldBack = true;
    }

    readyToSend = false;
    queueTimer->setEnabled(false);
    const QueueEntry entry = queue.front();
    if (!heldBack)
        queue.pop_front();

    QByteArray forSink; // detached: handed over once the watch is set up
    if (!entry.bytes.isEmpty()) {
        bool handedOver = false;
        if (!heldBack) {
            lastSend = clock->ticks();
            if (detached) {
                forSink = entry.bytes;
                handedOver = true;
            } else {
                handedOver = writer->handOver(entry.bytes);
            }
        }
        if (heldBack || handedOver) {
            awaiting = entry.awaitResponse;
            if (!responseTimer->enabled())
                responseStart.reset();
            responseLength = fixedRespTime
                ? fixedRespTime
                : q->TransmitTime(uint32_t(entry.bytes.size()) + sizeBufRXD) + maxRespTime
                    + timeOut.load() + 1000;
        }
        lastSend = clock->ticks();
        responseTimer->setEnabled(true);
    }
    readyToSend = true;
    queueTimer->setEnabled(!queue.empty());

    // A sink may answer at once (a test's meter); the watch is already armed,
    // so such an answer clears it as a real one would.
    if (!forSink.isEmpty()) {
        const bool notify = detachedNotifySent;
        // A copy: the sink may close the component, which drops `sink`.
        const auto deliver = sink;
        if (deliver)
            deliver(forSink);
        if (notify && q->OnTxdEmpty)
            q->OnTxdEmpty(reinterpret_cast<const uint8_t *>(forSink.constData()),
                          uint32_t(forSink.size()));
    }
}

void TComm32VN::Impl::onQueueTimer()
{
    if (pacingElapsed())
        sendNext();
}

void TComm32VN::Impl::onResponseTimer()
{
    const uint32_t now = clock->ticks();
    if (!responseStart) {
        responseStart = now;
        return;
    }
    if (tickReached(now, *responseStart + responseLength) && holdTime == 0) {
        responseTimer->setEnabled(false);
        if (q->OnCOMStatus && q->WaitToResponse && awaiting) {
            awaiting = false;
            if (q->IsOpen())
                q->ReportStatus(stCommLost);
        }
        q->DoRespTimeOver();
    }
    const uint32_t step = uint32_t(responseTimer->interval());
    holdTime = holdTime > step ? holdTime - step : 0;
}

void TComm32VN::DoReceive(const uint8_t *buf, uint32_t size)
{
    if (!buf || size == 0)
        return;
    d->responseStart.reset();
    d->responseTimer->setEnabled(false);
    if (StatusONifReceive)
        ReportStatus(stConnected);
    if (OnReceive)
        OnReceive(buf, size);
}

void TComm32VN::DoRespTimeOver()
{
    if (OnRespTimeOver)
        OnRespTimeOver();
}

uint32_t TComm32VN::TransmitTime(uint32_t bytes) const
{
    return transmitTimeMs(IsOpen() ? d->openLine : LineSettings{}, bytes);
}

uint32_t TComm32VN::BytesInTime(uint32_t ms) const
{
    return bytesInTime(IsOpen() ? d->openLine : LineSettings{}, ms);
}

// --- for descendants --------------------------------------------------------------

Timer &TComm32VN::ResponseTimer() { return *d->responseTimer; }
bool TComm32VN::AwaitingResponse() const { return d->awaiting; }
void TComm32VN::SetAwaitingResponse(bool on) { d->awaiting = on; }
void TComm32VN::SetNoGapWait(bool on) { d->noGapWait.store(on); }
bool TComm32VN::NoGapWait() const { return d->noGapWait.load(); }
uint32_t TComm32VN::HoldTime() const { return d->holdTime; }
void TComm32VN::SetHoldTime(uint32_t ms) { d->holdTime = ms; }
void TComm32VN::ResetResponseWatch() { d->responseStart.reset(); }

} // namespace qv

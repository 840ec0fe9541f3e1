#include "protocol/TComm32QV.h"

#include "protocol/FrameDecoders.h"
#include "protocol/MemoryTable.h"
#include "protocol/WireBytes.h"

#include <QByteArrayView>

#include <algorithm>

namespace qv {

namespace {

// Receiver state shared by every instance of the component, as the meter
// search runs several at once and they must agree on the meter's last screen.
struct SharedState {
    uint32_t previousMenuCode = 0xFFFFFFFF;
    uint32_t progressThreshold = 0;
    bool seriesCountSeen = false;
};

SharedState &shared()
{
    static SharedState state;
    return state;
}

const uint8_t kKeyBytes[KeyCommandCount] = {'D', 'L', 'T', 'Q', 'Z', 'R', 'J', 'S', 'K', 'A', 'I', 'B'};

const char kPolishTable[] = "0123456789. ACEGJŁŃPŚVYŻĄĆĘHKMORTWZ/BDFILNÓSUXŹ-";
const char kEnglishTable[] = "0123456789. ADGJMPSVY-$+BEHKNQTWZ@%!CFILORUX/#&?";

// The frame check used for frames found at the end of a memory transfer:
// a type 0x00 frame counts as 28 bytes long there.
bool isFrameAt(const uint8_t *p, int length)
{
    if (length < 4 || p[0] != '%' || p[1] != '%')
        return false;
    const int expected = p[2] == 0x00 ? 28 : frameLength(p[2]);
    return expected == length && p[length - 2] == '#' && p[length - 1] == '#';
}

} // namespace

int frameLength(uint8_t type)
{
    switch (type) {
    case 0x00: return 66;
    case 0x01: return 28;
    case 0x02: return 50;
    case 0x03: return 106;
    case 0x05: return 66;
    case 0x06: return 49;
    case 0x2A: case 0x2B: case 0x2D: return 5;
    default: return 0;
    }
}

TComm32QV::TComm32QV(uint8_t language, const SerialPlatform &platform)
    : TComm32VN(language, platform)
{
    setTimeOut(75);
}

TComm32QV::~TComm32QV() = default;

uint32_t TComm32QV::PreviousMenuCode() { return shared().previousMenuCode; }

void TComm32QV::ResetSharedState() { shared() = SharedState(); }

void TComm32QV::Close()
{
    TComm32VN::Close();
    m_memoryMode = false;
    m_measuring = false;
    m_lastCommand = 0;
    SetNoGapWait(false);
}

void TComm32QV::dropFront(size_t n)
{
    m_buffer.remove(0, qsizetype(n));
}

void TComm32QV::DoReceive(const uint8_t *buf, uint32_t size)
{
    TComm32VN::DoReceive(buf, size);
    if (size == 0 || buf == nullptr)
        return;

    m_buffer.append(reinterpret_cast<const char *>(buf), qsizetype(size));
    m_hasBuffer = true;
    bool done = dataSize() <= 2;
    bool blockCut = false;
    bool frameBroken = false;

    // The loop body runs at least once: even a block too short for a frame
    // keeps the response watch going and is searched for a start marker.
    do {
        ResponseTimer().setEnabled(true);
        const char marker = m_memoryMode ? '!' : '%';
        const char endMarker = m_memoryMode ? '!' : '#';
        const char startPair[2] = {marker, marker};
        const qsizetype start = m_buffer.indexOf(QByteArrayView(startPair, 2));
        if (start < 0) {
            const bool keepLast = !m_buffer.isEmpty() && m_buffer.back() == marker;
            m_buffer = keepLast ? QByteArray(1, marker) : QByteArray();
            ResponseTimer().setEnabled(false);
            done = true;
        } else {
            dropFront(size_t(start));
            const auto *data = reinterpret_cast<const uint8_t *>(m_buffer.constData());
            const size_t have = dataSize();
            bool handled = false;

            if (m_memoryMode && have > 3 && !memoryBlockComplete()) {
                // A normal frame at the end of the buffer means the meter has
                // left the transfer (for example after Q was sent). A block
                // that is all there comes first: the meter's next frame may
                // have arrived in the same read as the block's end.
                static const int lengths[] = {28, 50, 106, 66, 49, 5, 5};
                for (int l : lengths) {
                    if (have > size_t(l) && isFrameAt(data + have - l, l)) {
                        // The meter switched off in the middle of the block.
                        blockCut = data[have - l + 2] == ftMeterOff;
                        m_memoryMode = false;
                        SetNoGapWait(false);
                        m_buffer = m_buffer.right(l);
                        handled = true;
                        break;
                    }
                }
            }

            if (!handled && m_memoryMode) {
                if (m_memorySize == 0) {
                    done = true; // cannot happen: memory mode needs a size
                } else {
                    reportMemoryProgress();
                    if (dataSize() < m_memorySize)
                        done = true;
                    else
                        receiveMemoryBlock();
                }
            } else if (!handled) {
                const uint8_t type = have > 2 ? data[2] : 0;
                const int length = frameLength(type);
                if (length == 0) {
                    dropFront(2);
                } else if (!done) {
                    if (have < size_t(length)) {
                        done = true;
                    } else if (data[length - 2] != endMarker || data[length - 1] != endMarker) {
                        // A byte lost or spoilt on the line: in a series, where
                        // no answer is awaited, nothing else would tell.
                        frameBroken = frameBroken || m_measuring;
                        dropFront(2);
                    } else {
                        acceptFrame(length);
                    }
                }
            }
        }
        done = done || m_buffer.isEmpty() || !IsOpen();
    } while (!done);
    // After the frames that followed: the panel keeps saying what was lost
    // until the next frame arrives whole.
    if (blockCut)
        ReportStatus(stDataError);
    else if (frameBroken)
        ReportStatus(stFrameError);
}

bool TComm32QV::completeFlag() const
{
    const auto *data = reinterpret_cast<const uint8_t *>(m_buffer.constData());
    if (data[2] != ftMeasurement)
        return false;
    const uint8_t key = data[3], second = data[4];
    if ((m_infoDeadlineSet && !tickReached(clock().ticks(), m_infoDeadline)) || key == 'Q')
        return false;
    if (key == 'S')
        return true;
    if (m_measuring && m_lastCommand == 'K' && key == 'K' && second == 0)
        return true;
    if ((m_lastCommand == 0 || m_lastCommand == 'B' || m_lastCommand == 'I') && second == 0)
        return true;
    return false;
}

void TComm32QV::acceptFrame(int length)
{
    SetNoGapWait(false);
    const auto *data = reinterpret_cast<const uint8_t *>(m_buffer.constData());
    const uint8_t type = data[2];
    const bool complete = completeFlag();

    if (length >= 28) {
        SharedState &s = shared();
        const uint16_t menu = readU16(data + 12);
        const uint8_t key = data[3];
        if (!m_measuring && menu == 0 && s.previousMenuCode == 0 && !(data[6] & 1) &&
            ((type == ftStatus && key == 'S') || complete)) {
            m_measuring = true;
            if (OnStartMeas)
                OnStartMeas();
        }
        if (m_measuring && (menu != 0 || key == 's' || (type == ftMeasurement && key == 'Q'))) {
            m_measuring = false;
            if (OnStopMeas)
                OnStopMeas();
        }
        s.previousMenuCode = menu;
    }

    ReportStatus(stConnected);
    ResponseTimer().setEnabled(false);
    ++m_framesAccepted;
    m_frame = m_buffer.left(length);
    const auto *frame = reinterpret_cast<const uint8_t *>(m_frame.constData());
    if (OnRecFrame)
        OnRecFrame(frame, uint32_t(length));
    dispatchFrame(frame, complete);

    dropFront(size_t(length));
    m_frame.clear();
    if (complete || shared().previousMenuCode != 0)
        m_lastCommand = 0;
}

void TComm32QV::dispatchFrame(const uint8_t *frame, bool complete)
{
    const FrameView view(frame);
    const uint8_t type = frame[2];
    switch (type) {
    case ftMemoryRecord:
    case ftMemoryPreview:
        decodeMeas(view, false);
        break;
    case ftStatus:
        decodeInfo(view, type);
        break;
    case ftMeasurement:
        decodeInfo(view, type);
        decodeMeas(view, complete);
        break;
    case ftIdentification: {
        TInfoMeterQV info;
        decodeIdentification(view, info);
        if (OnReceiveInfoMeter)
            OnReceiveInfoMeter(info);
        m_memorySize = readU32(frame + 26);
        if (m_memorySize > 0) {
            m_memoryMode = true;
            SetNoGapWait(!OnReceive);
        }
        shared().progressThreshold = m_memorySize > 4 ? MemoryCellSize : 0;
        break;
    }
    case ftText:
        decodeInfo(view, type);
        decodeText(view, m_text);
        if (OnReceiveText)
            OnReceiveText(m_text);
        break;
    case ftMeterOn:
        if (OnMeterON)
            OnMeterON();
        break;
    case ftMeterOff:
        if (OnMeterOFF)
            OnMeterOFF();
        break;
    default:
        break;
    }
}

void TComm32QV::decodeInfo(const FrameView &view, uint8_t type)
{
    decodeStatus(view, type, shared().seriesCountSeen, m_info);
    if (OnReceiveInfo)
        OnReceiveInfo(m_info);
}

void TComm32QV::decodeMeas(const FrameView &view, bool complete)
{
    if (m_measuring && view.at(2) == ftMeasurement)
        m_lastMeasTick = clock().ticks();
    decodeMeasurement(view, complete, Language(), m_meas);
    if (OnReceiveMeas)
        OnReceiveMeas(m_meas);
}

void TComm32QV::reportMemoryProgress()
{
    SharedState &s = shared();
    const uint32_t total = m_memorySize;
    if (!OnProgressMemo || total <= 4 || dataSize() < 4)
        return;
    const bool all = dataSize() >= total;
    // Bytes after the block (the meter's next frame) are not part of it.
    const uint32_t n = all ? total - 4 : uint32_t(dataSize() - 4);
    if (n < s.progressThreshold && !all)
        return;
    const uint32_t hold = (TransmitTime(SizeBufRXD()) + TimeOut()) * 5 / 4;
    if (HoldTime() < hold)
        SetHoldTime(hold);
    SetNoGapWait(!OnReceive);
    const uint32_t contents = total - 4;
    OnProgressMemo(int32_t(contents / MemoryCellSize), int32_t(n / MemoryCellSize),
                   int32_t(uint64_t(n) * 1000 / contents));
    s.progressThreshold = std::min(s.progressThreshold + MemoryCellSize, contents);
}

bool TComm32QV::memoryBlockComplete() const
{
    const uint32_t size = m_memorySize;
    const auto *data = reinterpret_cast<const uint8_t *>(m_buffer.constData());
    // A block announced shorter than its two markers can only be garbage.
    return size >= 2 && dataSize() >= size && data[size - 2] == '!' && data[size - 1] == '!';
}

void TComm32QV::receiveMemoryBlock()
{
    SetNoGapWait(false);
    const uint32_t size = m_memorySize;
    if (memoryBlockComplete()) {
        ResponseTimer().setEnabled(false);
        m_frame = m_buffer.left(qsizetype(size));
        const auto *block = reinterpret_cast<const uint8_t *>(m_frame.constData());
        if (OnRecFrame)
            OnRecFrame(block, size);
        // A cell that cannot be shown is reported, but costs only its own
        // values: the other cells of the download are kept.
        if (buildMemoryTable(block, size, Language(), m_memoText) > 0)
            ReportStatus(stDataError);
        if (OnReceiveMemo)
            OnReceiveMemo(reinterpret_cast<const uint8_t *>(m_memoText.constData()),
                          uint32_t(m_memoText.size()));
        m_frame.clear();
        m_memoryMode = false;
        dropFront(size);
    } else {
        dropFront(2);
        m_memoryMode = false;
    }
}

void TComm32QV::DoRespTimeOver()
{
    ++m_responseTimeouts;
    if (m_hasBuffer) {
        const char marker = m_memoryMode ? '!' : '%';
        const char startPair[2] = {marker, marker};
        const bool found = m_buffer.indexOf(QByteArrayView(startPair, 2)) >= 0;
        if (!found || m_buffer.back() == marker) {
            m_buffer.clear();
            m_hasBuffer = false;
        }
        ResponseTimer().setEnabled(false);
        if (OnCOMStatus && (AwaitingResponse() || m_memoryMode)) {
            ReportStatus(found ? stFrameError : stCommLost);
            SetAwaitingResponse(false);
            if (m_memoryMode) {
                m_buffer.clear();
                m_hasBuffer = false;
            }
        }
        m_memoryMode = false;
    }
    SetNoGapWait(false);
    m_lastCommand = 0;
    TComm32VN::DoRespTimeOver();
}

void TComm32QV::sendCommandByte(uint8_t byte)
{
    Transmit(&byte, 1, true);
    m_lastCommand = byte;
}

void TComm32QV::SendKey(int index)
{
    uint8_t byte = (index >= 0 && index < KeyCommandCount) ? kKeyBytes[index] : 0;
    if (m_memoryMode && index != kcQ)
        byte = 0;
    if (index == kcI) {
        m_infoDeadline = clock().ticks() + TransmitTime(1) + TransmitTime(28) + TransmitTime(50) +
                         MaxRespTime() + 2u * TimeOut();
        m_infoDeadlineSet = true;
    }
    if (shared().previousMenuCode == 150 && index == kcK)
        SetNoGapWait(!OnReceive);
    sendCommandByte(byte);
}

QByteArray TComm32QV::CharKeys(QChar ch, bool englishTable)
{
    const QString table = QString::fromUtf8(englishTable ? kEnglishTable : kPolishTable);
    const QString upper = QString(ch).toUpper();
    if (upper.size() != 1)
        return QByteArray();
    const qsizetype p = table.indexOf(upper.at(0));
    if (p < 0)
        return QByteArray();
    QByteArray keys;
    static const char groupKeys[4] = {0, 'D', 'L', 'T'};
    static const char letters[3] = {'E', 'M', 'U'};
    if (p / 12 > 0)
        keys.append(groupKeys[p / 12]);
    keys.append(char(letters[(p / 4) % 3] + p % 4));
    return keys;
}

void TComm32QV::SendChar(QChar ch)
{
    for (char k : CharKeys(ch, m_info.EnglishCharset))
        SendCharKey(uint8_t(k));
}

void TComm32QV::SendCharKey(uint8_t key)
{
    if (!m_memoryMode)
        sendCommandByte(key);
}

void TComm32QV::releaseHandlers()
{
    OnRecFrame = nullptr;
    OnReceiveInfo = nullptr;
    OnReceiveInfoMeter = nullptr;
    OnReceiveMeas = nullptr;
    OnReceiveMemo = nullptr;
    OnReceiveText = nullptr;
    OnProgressMemo = nullptr;
    OnStartMeas = nullptr;
    OnStopMeas = nullptr;
    OnMeterON = nullptr;
    OnMeterOFF = nullptr;
    OnCOMStatus = nullptr;
    OnTxdEmpty = nullptr;
}

} // namespace qv

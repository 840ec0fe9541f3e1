// The meter protocol component: cuts the meter's frames out of the byte
// stream, decodes them into records and raises the events in a fixed order;
// sends key commands and typed characters; receives the memory block.
//
// Link: RS-232, 9600 bit/s 8N1 by default (the meter offers 1200 to 9600).
// Frames: "%%" type payload "##", fixed length per type, no checksum;
// the memory block: "!!" cells of 63 bytes "!!". Commands: one byte each.
#pragma once

#include "protocol/Records.h"
#include "serial/TComm32VN.h"

#include <QByteArray>

#include <functional>

namespace qv {

class FrameView;

// Index of each key command (the byte sent is the letter).
enum KeyCommand : int {
    kcD = 0, kcL = 1, kcT = 2, kcQ = 3, kcZ = 4, kcR = 5,
    kcJ = 6, kcS = 7, kcK = 8, kcA = 9, kcI = 10, kcB = 11,
};
constexpr int KeyCommandCount = 12;

// Frame types and their total lengths.
enum FrameType : uint8_t {
    ftMemoryRecord = 0x00, ftStatus = 0x01, ftMeasurement = 0x02, ftIdentification = 0x03,
    ftMemoryPreview = 0x05, ftText = 0x06, ftSync = 0x2A, ftMeterOn = 0x2B, ftMeterOff = 0x2D,
};
// The total length of a frame of this type; 0 when it is not a frame type.
int frameLength(uint8_t type);

class TComm32QV : public TComm32VN {
public:
    using TNotifyInfo = std::function<void(const TDataInfoQV &)>;
    using TNotifyInfoMeter = std::function<void(const TInfoMeterQV &)>;
    using TNotifyMeas = std::function<void(const TDataMeasQV &)>;
    using TNotifyText = std::function<void(const TDataTextQV &)>;
    using TNotifyProgress = std::function<void(int32_t total, int32_t cell, int32_t progress)>;

    explicit TComm32QV(uint8_t language, const SerialPlatform &platform = SerialPlatform::system());
    ~TComm32QV() override;

    void Close() override;

    // Sends the command of a key index (any other index sends 0x00; during a
    // memory transfer every index but kcQ sends 0x00).
    void SendKey(int index);
    // Types one character into the meter's text editor: up to two keys (the
    // group key and the letter). Ignored during a memory transfer.
    void SendChar(QChar ch);
    // The key bytes SendChar would send for `ch`; empty when the character is
    // not in the table.
    static QByteArray CharKeys(QChar ch, bool englishTable);
    // Sends one key byte of a typed character (a group key or a letter) as
    // SendChar does; ignored during a memory transfer.
    void SendCharKey(uint8_t key);

    bool InMemoryTransfer() const { return m_memoryMode; }
    bool Measuring() const { return m_measuring; }
    uint8_t LastCommand() const { return m_lastCommand; }
    uint32_t LastMeasTick() const { return m_lastMeasTick; }
    const TDataMeasQV &DataMeas() const { return m_meas; }
    const TDataInfoQV &DataInfo() const { return m_info; }
    const TDataTextQV &DataText() const { return m_text; }
    const QByteArray &MemoryText() const { return m_memoText; }
    // Counts of accepted frames and of response timeouts since construction:
    // a caller waiting for the meter's answer watches them change.
    uint32_t FramesAccepted() const { return m_framesAccepted; }
    uint32_t ResponseTimeouts() const { return m_responseTimeouts; }

    // The process-wide previous menu code (0xFFFFFFFF at program start).
    static uint32_t PreviousMenuCode();
    // Puts the process-wide receiver state back as at program start (the
    // command line's decoder and tests).
    static void ResetSharedState();

    // --- events (raised only when assigned) -------------------------------
    TReceive OnRecFrame;
    TNotifyInfo OnReceiveInfo;
    TNotifyInfoMeter OnReceiveInfoMeter;
    TNotifyMeas OnReceiveMeas;
    TReceive OnReceiveMemo;
    TNotifyText OnReceiveText;
    TNotifyProgress OnProgressMemo;
    TNotify OnStartMeas;
    TNotify OnStopMeas;
    TNotify OnMeterON;
    TNotify OnMeterOFF;

    // Unhooks every event above and the link's status and sent-data events,
    // for an owner of these handlers that goes away before the component.
    void releaseHandlers();

protected:
    void DoReceive(const uint8_t *buf, uint32_t size) override;
    void DoRespTimeOver() override;

private:
    bool completeFlag() const;
    void acceptFrame(int length);
    void dispatchFrame(const uint8_t *frame, bool complete);
    void decodeInfo(const FrameView &view, uint8_t type);
    void decodeMeas(const FrameView &view, bool complete);
    bool memoryBlockComplete() const;
    void receiveMemoryBlock();
    void reportMemoryProgress();
    void sendCommandByte(uint8_t byte);
    void dropFront(size_t n);
    size_t dataSize() const { return size_t(m_buffer.size()); }

    QByteArray m_buffer;        // bytes not yet consumed
    bool m_hasBuffer = false;   // bytes arrived since the buffer was last discarded
    QByteArray m_frame;         // the frame being dispatched
    bool m_memoryMode = false;
    uint32_t m_memorySize = 0;
    bool m_measuring = false;
    uint8_t m_lastCommand = 0;
    uint32_t m_infoDeadline = 0;
    bool m_infoDeadlineSet = false;
    uint32_t m_lastMeasTick = 0;
    TDataMeasQV m_meas;
    TDataInfoQV m_info;
    TDataTextQV m_text;
    QByteArray m_memoText;
    uint32_t m_framesAccepted = 0;
    uint32_t m_responseTimeouts = 0;
};

} // namespace qv

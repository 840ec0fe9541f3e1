// Decoders of the meter's frames into records. Each reads a frame by its
// offsets (offset 0 is the first "%" of the start marker); a memory cell is
// read through the same offsets (cell byte j holds frame offset j + 3).
#pragma once

#include "protocol/Records.h"

#include <cstdint>

namespace qv {

// A frame, or a memory cell seen as one.
class FrameView {
public:
    FrameView(const uint8_t *bytes, int firstOffset = 0) : m_bytes(bytes), m_first(firstOffset) {}
    uint8_t at(int offset) const { return m_bytes[offset - m_first]; }
    const uint8_t *ptr(int offset) const { return m_bytes + (offset - m_first); }

private:
    const uint8_t *m_bytes;
    int m_first;
};

// The display range number of a measurement block: the converter range,
// less 2 when luminance is possible, plus 2 in luminance mode.
int measRangeNumber(const FrameView &f);
// 0 normal, 1 under range, 2 over range.
int rangeLimitCode(const FrameView &f);
// The value display text of a measurement block.
QString measValueText(const FrameView &f, float value, bool exponentForm);

// Status block of types 0x01, 0x02, 0x06 (and the memory record views).
// `seriesCountSeen` is the flag remembered between frames: whether the last
// measurement frame carried a non-zero count.
void decodeStatus(const FrameView &f, uint8_t type, bool &seriesCountSeen, TDataInfoQV &out);

// Measurement block of types 0x02, 0x00 and 0x05.
void decodeMeasurement(const FrameView &f, bool complete, uint8_t language, TDataMeasQV &out);

// The identification frame (type 0x03, 106 bytes).
void decodeIdentification(const FrameView &f, TInfoMeterQV &out);

// The text-editing block of a type 0x06 frame.
void decodeText(const FrameView &f, TDataTextQV &out);

// Battery level 0 to 13 and an estimate of the voltage from the battery code.
uint8_t batteryLevel(uint8_t code);
float batteryVoltage(uint8_t code);

} // namespace qv

// The meter's side of the wire: the blocks it fills and the frames it sends.
// All multi-byte numbers are little-endian; values are IEEE 754 singles.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qvsim {

using Bytes = std::vector<uint8_t>;

// Frame type bytes and their fixed total lengths.
enum FrameType : uint8_t {
    FrameRecordView = 0x00,  // a stored measurement shown on the meter
    FrameStatus = 0x01,
    FrameMeasurement = 0x02,
    FrameIdentification = 0x03,
    FramePreview = 0x05,     // a memory cell previewed while choosing it
    FrameText = 0x06,        // the text editor's state
    FrameSync = '*',
    FramePowerOn = '+',
    FramePowerOff = '-',
};
// 0 for a byte that is not a frame type.
size_t frameLength(uint8_t type);

// Frame offsets of the blocks.
constexpr size_t StatusOffset = 3;        // status block: bytes 3 to 25
constexpr size_t StatusSize = 23;
constexpr size_t MeasurementOffset = 26;  // measurement block: bytes 26 to 47
constexpr size_t MeasurementSize = 22;
constexpr size_t CommentOffset = 48;      // comment of a stored cell: 48 to 63
constexpr size_t CommentSize = 16;
constexpr size_t TextOffset = 26;         // text block: bytes 26 to 46
constexpr size_t CellSize = 63;           // a memory cell: frame bytes 3 to 65

// Bits of the 16-bit status word (frame bytes 5 and 6).
enum StatusBit : uint16_t {
    StSingle = 1u << 0,
    StContinuous = 1u << 1,
    StRelative = 1u << 2,
    StIntegration = 1u << 3,
    StAutoRange = 1u << 4,
    StStatisticsAuto = 1u << 5,
    StMemoryAutosave = 1u << 6,
    StLuminance = 1u << 7,
    StNoProbe = 1u << 8,
    StLuminancePossible = 1u << 9,
    StRangeOver = 1u << 10,
    StIntegrationOver = 1u << 11,
    StExternalMemory = 1u << 12,
    StAlarm = 1u << 13,
    StBacklight = 1u << 14,
    StEnglishTable = 1u << 15,
};

// Packed BCD clock as the meter sends it: seconds, minutes, hours, day,
// month, year within the century.
using BcdClock = std::array<uint8_t, 6>;

struct StatusBlock {
    uint8_t key1 = 0;          // the key or command the meter acts on
    uint8_t key2 = 0;          // a second key, 0 when none
    uint16_t status = 0;       // StatusBit
    uint8_t probeCode = 0;
    uint8_t rangeCount = 0;    // high nibble of byte 8
    uint8_t rangeIndex = 0;    // low nibble of byte 8
    uint8_t decades = 0;       // low nibble of byte 9: adjacent ranges differ by 10^decades
    uint8_t attachment = 0;    // high nibble of byte 9: 0 none, 1, 2, 3 for 1°, 3°, 10°
    uint8_t unitRow = 0;       // bits 5-7 of byte 10
    uint8_t converter = 0;     // bits 0-4 of byte 10
    uint8_t exponent0 = 0;     // exponent code of range 0
    uint16_t screen = 0;
    uint16_t memoryWord = 0;   // stored cells << 6
    uint8_t battery = 0;
    uint8_t autosaveCode = 0;
    uint8_t autoOffCode = 0;
    uint8_t baudIndex = 0;
    BcdClock clock{};

    void encode(uint8_t *dst) const;  // StatusSize bytes
};

// Bytes 26 to 47. The 16 mode bytes (frame 32 to 47) carry either the
// statistics or integration figures, or the relative figures.
struct MeasurementBlock {
    float value = 0;
    uint8_t exponent = 0;     // display exponent code of the current range
    uint8_t limitCode = 0;    // range-limit code × 3 + position in the range
    std::array<uint8_t, 16> modeBytes{};

    // Count (or integration seconds), sum (or integral), minimum, maximum.
    void setSeries(uint32_t countOrSeconds, float sumOrIntegral, float min, float max);
    // Multiplier byte, reference, relative result in per cent.
    void setRelative(uint8_t multiplier, float reference, float percent);
    void encode(uint8_t *dst) const;  // MeasurementSize bytes
};

// Bytes 26 to 46 of a text frame.
struct TextBlock {
    std::array<uint8_t, 16> text{};   // Windows-1250 bytes, space padded
    uint8_t length = 0;
    uint8_t mode = 0;                 // editor mode letter
    uint8_t cursor = 0;
    uint8_t extra = 0;                // exponent code of the unit in mode 'k'
    uint8_t cursorType = 0;           // the entry kind in modes 'a' and 't'

    void encode(uint8_t *dst) const;
};

// A frame of `type` with its markers; the payload must be the type's length - 5.
Bytes makeFrame(uint8_t type, const uint8_t *payload, size_t n);
Bytes markerFrame(uint8_t type);
Bytes statusFrame(const StatusBlock &st);
Bytes measurementFrame(const StatusBlock &st, const MeasurementBlock &m);
Bytes textFrame(const StatusBlock &st, const TextBlock &t);
// Type 0x00 or 0x05 from a stored cell; the status block's keys and screen
// are replaced by the meter's current ones so that the screen stays named.
Bytes cellFrame(uint8_t type, const std::array<uint8_t, CellSize> &cell, const StatusBlock &now);

// The identification area: 70 characters of firmware build date, version and
// permission digits (one per probe family slot, every second character).
struct Identification {
    std::string buildDate = "09-11-23 10:42:17";  // yy-mm-dd hh:mm:ss
    std::string version = "2.13";
    std::array<uint8_t, 24> permissions{};        // highest probe variant allowed per slot
    int32_t calibration = 0;                      // fraction × 8388607
    std::string area() const;
};
Bytes identificationFrame(const StatusBlock &st, uint32_t memoryBlockSize, const Identification &id);

// A stored cell: the tail of a 66-byte record frame from byte 3 on.
std::array<uint8_t, CellSize> makeCell(const StatusBlock &st, const MeasurementBlock &m,
                                       const std::array<uint8_t, 16> &comment);
// "!!", the cells, "!!".
Bytes memoryBlock(const std::vector<std::array<uint8_t, CellSize>> &cells);

// Little-endian helpers shared by the engine and its tests.
void put16(uint8_t *p, uint16_t v);
void put32(uint8_t *p, uint32_t v);
void putFloat(uint8_t *p, float v);
uint16_t get16(const uint8_t *p);
uint32_t get32(const uint8_t *p);
float getFloat(const uint8_t *p);

} // namespace qvsim

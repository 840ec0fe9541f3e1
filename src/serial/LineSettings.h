// Line settings of a serial port and their display tables.
#pragma once

#include <QString>

#include <cstdint>

namespace qv {

enum TBaudRate : uint8_t {
    br000300, br000600, br001200, br002400, br004800, br009600, br014400,
    br019200, br038400, br057600, br115200, br230400, br460800, br921600
};
constexpr int BaudRateCount = 14;

enum TParityBit : uint8_t { pbNone, pbOdd, pbEven, pbMark, pbSpace };
enum TDataBits : uint8_t { dbFour, dbFive, dbSix, dbSeven, dbEight };
enum TStopBits : uint8_t { sbOne, sbOnePointFive, sbTwo };

// Bit/s of each TBaudRate, in order.
extern const uint32_t BaudRateValues[BaudRateCount];
// "300bps" ... "921600bps" and the bare "300" ... "921600".
extern const char *const BaudRateNames[BaudRateCount];
extern const char *const BaudRateNumbers[BaudRateCount];
// Parity names by language (0 Polish, 1 English), parity letters, stop and data bit names.
extern const char *const ParityNames[2][5];
extern const char *const ParityLetters[5];
extern const char *const StopBitNames[3];
extern const char *const DataBitNames[5];

// The TBaudRate of a rate in bit/s; false when the rate is not in the table.
bool baudRateFromValue(uint32_t bitsPerSecond, TBaudRate &out);

struct LineSettings {
    TBaudRate baudRate = br009600;
    TParityBit parity = pbNone;
    TDataBits dataBits = dbEight;
    TStopBits stopBits = sbOne;
    bool flowRtsCts = false;
    bool flowDtrDsr = false;
};

// Bytes per second on a line with these settings: start bit, data bits,
// parity bit and 1, 1.5 or 2 stop bits per character.
double bytesPerSecond(const LineSettings &s);
// Milliseconds to send `bytes` (rounded); and its inverse, bytes sent in `ms`.
uint32_t transmitTimeMs(const LineSettings &s, uint32_t bytes);
uint32_t bytesInTime(const LineSettings &s, uint32_t ms);

} // namespace qv

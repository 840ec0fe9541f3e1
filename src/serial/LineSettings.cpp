#include "serial/LineSettings.h"

#include <cmath>

namespace qv {

const uint32_t BaudRateValues[BaudRateCount] = {
    300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 57600, 115200, 230400, 460800, 921600,
};

const char *const BaudRateNames[BaudRateCount] = {
    "300bps", "600bps", "1200bps", "2400bps", "4800bps", "9600bps", "14400bps",
    "19200bps", "38400bps", "57600bps", "115200bps", "230400bps", "460800bps", "921600bps",
};

const char *const BaudRateNumbers[BaudRateCount] = {
    "300", "600", "1200", "2400", "4800", "9600", "14400",
    "19200", "38400", "57600", "115200", "230400", "460800", "921600",
};

const char *const ParityNames[2][5] = {
    {"brak", "nieparzyste", "parzyste", "znacznik", "spacja"},
    {"none", "odd", "even", "mark", "space"},
};
const char *const ParityLetters[5] = {"N", "O", "E", "M", "S"};
const char *const StopBitNames[3] = {"1", "1.5", "2"};
const char *const DataBitNames[5] = {"4", "5", "6", "7", "8"};

bool baudRateFromValue(uint32_t bitsPerSecond, TBaudRate &out)
{
    for (int i = 0; i < BaudRateCount; ++i) {
        if (BaudRateValues[i] == bitsPerSecond) {
            out = static_cast<TBaudRate>(i);
            return true;
        }
    }
    return false;
}

double bytesPerSecond(const LineSettings &s)
{
    const int baudIndex = s.baudRate < BaudRateCount ? s.baudRate : br009600;
    const double baud = BaudRateValues[baudIndex];
    const double dataBits = static_cast<int>(s.dataBits) + 4;
    // 1, 1.5 or 2 stop bits from the enumeration value 0, 1 or 2.
    const double stopBits = (static_cast<int>(s.stopBits) + 2) / 2.0;
    const double bitsPerChar = dataBits + 1 + (s.parity != pbNone ? 1 : 0) + stopBits;
    // The meter's own reckoning counts only the data bits of each character as
    // payload, hence the dataBits / 8 factor.
    return std::round(baud / bitsPerChar * dataBits / 8.0);
}

uint32_t transmitTimeMs(const LineSettings &s, uint32_t bytes)
{
    const double bps = bytesPerSecond(s);
    if (bps <= 0)
        return 0;
    return static_cast<uint32_t>(std::llround(double(bytes) * 1000.0 / bps));
}

uint32_t bytesInTime(const LineSettings &s, uint32_t ms)
{
    return static_cast<uint32_t>(std::llround(bytesPerSecond(s) * double(ms) / 1000.0));
}

} // namespace qv

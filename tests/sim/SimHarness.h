// Drives a MeterEngine the way the program does: one command byte at a time,
// waiting for the answer, cutting the answer into frames with its own reading
// of the frame layouts, and passing every frame through an independent copy
// of the receiver's measurement rules.
#pragma once

#include "engine/engine.h"

#include <cstdint>
#include <string>
#include <vector>

namespace simtest {

using qvsim::Bytes;

struct Frame {
    Bytes b;

    uint8_t type() const { return b[2]; }
    uint8_t key1() const { return b[3]; }
    uint8_t key2() const { return b[4]; }
    uint16_t status() const { return uint16_t(b[5] | (b[6] << 8)); }
    uint16_t screen() const { return uint16_t(b[12] | (b[13] << 8)); }
    bool hasStatus() const { return b.size() >= 28; }
    float value() const;  // of a measurement or a stored cell
    uint32_t u32(size_t at) const;
    // Text block of a type 0x06 frame.
    std::string text() const { return std::string(b.begin() + 26, b.begin() + 42); }
};

// The length of each frame type, as the program's receiver knows them.
size_t expectedLength(uint8_t type);

// The program's receiver rules for starts and ends of measurement series and
// complete measurements (kept apart from the engine on purpose).
class ReceiverRules {
public:
    void commandSent(uint8_t c) { m_lastCommand = c; }
    void frame(const Frame &f);

    bool measuring = false;
    // "start", "complete", "measurement" (not complete) and "stop", in order.
    std::vector<std::string> events;

private:
    uint32_t m_previousMenu = 0xFFFFFFFF;  // the first frame never starts a series
    uint8_t m_lastCommand = 0;
};

// The keys that type `digits` (and the point) into a number, date or time
// field: the first twelve places of either character table, four a key.
inline std::string digitKeys(const std::string &digits)
{
    std::string keys;
    for (char c : digits) {
        const int p = c == '.' ? 10 : c - '0';
        keys += char("EMU"[p / 4] + p % 4);
    }
    return keys;
}

class SimMeter {
public:
    explicit SimMeter(const qvsim::MeterConfig &config = qvsim::MeterConfig());

    // Sends each byte of `keys` as the program would, one at a time, and
    // returns every frame the meter sent meanwhile.
    std::vector<Frame> press(const std::string &keys);
    // Lets the meter's clock run; returns what it sent on its own.
    std::vector<Frame> wait(uint32_t ms);
    // Presses `keys`, then tells the screen the meter is on.
    uint16_t go(const std::string &keys)
    {
        press(keys);
        return screen();
    }
    uint16_t screen() const { return engine.screen(); }
    const Frame &last() const { return frames.back(); }

    qvsim::MeterEngine engine;
    ReceiverRules rules;
    std::vector<Frame> frames;  // everything received so far
    Bytes memoryBlock;          // the last memory block received

private:
    std::vector<Frame> collect();
};

} // namespace simtest

#include "SimHarness.h"

#include <gtest/gtest.h>

#include <cstring>

namespace simtest {

size_t expectedLength(uint8_t type)
{
    switch (type) {
    case 0x00: case 0x05: return 66;
    case 0x01: return 28;
    case 0x02: return 50;
    case 0x03: return 106;
    case 0x06: return 49;
    case '*': case '+': case '-': return 5;
    default: return 0;
    }
}

uint32_t Frame::u32(size_t at) const
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

float Frame::value() const
{
    const uint32_t bits = u32(26);
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}

void ReceiverRules::frame(const Frame &f)
{
    const uint8_t t = f.type();
    bool complete = false;
    if (t == 0x02) {
        const uint8_t k1 = f.key1(), k2 = f.key2();
        if (k1 == 'Q')
            complete = false;
        else if (k1 == 'S')
            complete = true;
        else if (measuring && m_lastCommand == 'K' && k1 == m_lastCommand && k2 == 0)
            complete = true;
        else if ((m_lastCommand == 0 || m_lastCommand == 'B' || m_lastCommand == 'I') && k2 == 0)
            complete = true;
    }
    if (f.hasStatus()) {
        const uint16_t w = f.screen();
        const bool probe = (f.b[6] & 1) == 0;
        if (!measuring && w == 0 && m_previousMenu == 0 && probe
            && ((t == 0x01 && f.key1() == 'S') || complete)) {
            measuring = true;
            events.push_back("start");
        }
        if (measuring && (w != 0 || f.key1() == 's' || (t == 0x02 && f.key1() == 'Q'))) {
            measuring = false;
            events.push_back("stop");
        }
        m_previousMenu = w;
    }
    if (t == 0x02)
        events.push_back(complete ? "complete" : "measurement");
    if (complete || m_previousMenu != 0)
        m_lastCommand = 0;
}

SimMeter::SimMeter(const qvsim::MeterConfig &config) : engine(config) {}

std::vector<Frame> SimMeter::collect()
{
    const Bytes out = engine.takeOutput();
    std::vector<Frame> got;
    size_t i = 0;
    while (i < out.size()) {
        if (out.size() - i < 5 || out[i] != '%' || out[i + 1] != '%') {
            ADD_FAILURE() << "no frame start at byte " << i;
            break;
        }
        const size_t len = expectedLength(out[i + 2]);
        if (len == 0 || i + len > out.size() || out[i + len - 2] != '#' || out[i + len - 1] != '#') {
            ADD_FAILURE() << "bad frame of type " << int(out[i + 2]) << " at byte " << i;
            break;
        }
        Frame f{Bytes(out.begin() + long(i), out.begin() + long(i + len))};
        i += len;
        rules.frame(f);
        got.push_back(f);
        if (f.type() == 0x03 && f.u32(26) > 0) {
            // The announced memory block follows, as far as it was sent.
            const size_t n = std::min<size_t>(f.u32(26), out.size() - i);
            memoryBlock.assign(out.begin() + long(i), out.begin() + long(i + n));
            i += n;
        }
    }
    frames.insert(frames.end(), got.begin(), got.end());
    return got;
}

std::vector<Frame> SimMeter::press(const std::string &keys)
{
    std::vector<Frame> all;
    for (char c : keys) {
        rules.commandSent(uint8_t(c));
        engine.receive(std::string(1, c));
        const std::vector<Frame> got = collect();
        all.insert(all.end(), got.begin(), got.end());
    }
    return all;
}

std::vector<Frame> SimMeter::wait(uint32_t ms)
{
    engine.advance(ms);
    return collect();
}

} // namespace simtest

// The millisecond tick counter of the program: 32-bit ticks that wrap around,
// compared as unsigned numbers. Production code reads the steady clock; tests
// drive a ManualClock by hand so that timing logic never sleeps.
#pragma once

#include <cstdint>

namespace qv {

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t ticks() const = 0;
};

// The process's steady clock in milliseconds, truncated to 32 bits.
Clock &systemClock();

class ManualClock : public Clock {
public:
    explicit ManualClock(uint32_t start = 100000) : m_now(start) {}
    uint32_t ticks() const override { return m_now; }
    void set(uint32_t now) { m_now = now; }
    void advance(uint32_t ms) { m_now += ms; }

private:
    uint32_t m_now;
};

// True when `now` has reached `deadline`, with wrap-around.
inline bool tickReached(uint32_t now, uint32_t deadline)
{
    return static_cast<int32_t>(now - deadline) >= 0;
}

} // namespace qv

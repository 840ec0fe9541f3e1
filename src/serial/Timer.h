// Interval timers on the owner thread, behind a small seam: the program uses
// QTimer, tests use ManualTimers and step them with a ManualClock.
#pragma once

#include "serial/Clock.h"

#include <functional>
#include <memory>
#include <vector>

namespace qv {

class Timer {
public:
    virtual ~Timer() = default;
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
    virtual void setEnabled(bool on) = 0;
    virtual bool enabled() const = 0;
    std::function<void()> onTimeout;
};

class TimerFactory {
public:
    virtual ~TimerFactory() = default;
    virtual std::unique_ptr<Timer> create() = 0;
};

// QTimer-backed timers on the calling thread's event loop.
TimerFactory &qtTimers();

// Timers that fire only when the test advances time. Enabling a timer (or
// re-enabling it) restarts its period, as a window timer does.
class ManualTimers : public TimerFactory {
public:
    explicit ManualTimers(ManualClock &clock) : m_clock(clock) {}
    ~ManualTimers() override;
    std::unique_ptr<Timer> create() override;

    // Moves the clock forward by `ms`, firing every timer whose period ends on
    // the way, in time order.
    void advance(uint32_t ms);
    ManualClock &clock() { return m_clock; }

private:
    class ManualTimer;
    friend class ManualTimer;
    ManualClock &m_clock;
    std::vector<ManualTimer *> m_timers;
};

} // namespace qv

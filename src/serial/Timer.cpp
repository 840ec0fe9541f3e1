#include "serial/Timer.h"

#include <QTimer>

#include <algorithm>

namespace qv {

namespace {

class QtTimer : public Timer {
public:
    QtTimer()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (onTimeout)
                onTimeout();
        });
    }
    void setInterval(int ms) override { m_timer.setInterval(ms); }
    int interval() const override { return m_timer.interval(); }
    void setEnabled(bool on) override
    {
        if (on && !m_timer.isActive())
            m_timer.start();
        else if (!on)
            m_timer.stop();
    }
    bool enabled() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};

class QtTimerFactory : public TimerFactory {
public:
    std::unique_ptr<Timer> create() override { return std::make_unique<QtTimer>(); }
};

} // namespace

TimerFactory &qtTimers()
{
    static QtTimerFactory factory;
    return factory;
}

class ManualTimers::ManualTimer : public Timer {
public:
    explicit ManualTimer(ManualTimers *owner) : m_owner(owner) {}
    ~ManualTimer() override
    {
        if (m_owner) {
            auto &list = m_owner->m_timers;
            list.erase(std::remove(list.begin(), list.end(), this), list.end());
        }
    }
    void setInterval(int ms) override
    {
        m_interval = std::max(1, ms);
        restart();
    }
    int interval() const override { return m_interval; }
    void setEnabled(bool on) override
    {
        if (on && !m_enabled)
            restart();
        m_enabled = on;
    }
    bool enabled() const override { return m_enabled; }

    void restart() { m_due = (m_owner ? m_owner->m_clock.ticks() : 0) + uint32_t(m_interval); }

    ManualTimers *m_owner;
    int m_interval = 1000;
    bool m_enabled = false;
    uint32_t m_due = 0;
};

ManualTimers::~ManualTimers()
{
    for (ManualTimer *t : m_timers)
        t->m_owner = nullptr;
}

std::unique_ptr<Timer> ManualTimers::create()
{
    auto timer = std::make_unique<ManualTimer>(this);
    m_timers.push_back(timer.get());
    return timer;
}

void ManualTimers::advance(uint32_t ms)
{
    const uint32_t end = m_clock.ticks() + ms;
    for (;;) {
        // The earliest enabled timer due no later than `end`.
        ManualTimer *next = nullptr;
        for (ManualTimer *t : m_timers) {
            if (!t->m_enabled || !tickReached(end, t->m_due))
                continue;
            if (!next || static_cast<int32_t>(t->m_due - next->m_due) < 0)
                next = t;
        }
        if (!next)
            break;
        if (static_cast<int32_t>(next->m_due - m_clock.ticks()) > 0)
            m_clock.set(next->m_due);
        next->m_due = m_clock.ticks() + uint32_t(next->m_interval);
        if (next->onTimeout)
            next->onTimeout();
    }
    m_clock.set(end);
}

} // namespace qv

#include "protocol/KeyTyper.h"

namespace qv {

namespace {
// Often enough to follow the queue's own 100 ms retry closely.
constexpr int kPollMs = 10;
// A key whose answer never comes (nothing watched it) holds the rest no longer.
constexpr uint32_t kLongestWaitMs = 15000;
} // namespace

KeyTyper::KeyTyper(TComm32QV &comm, TimerFactory &timers, Clock &clock)
    : m_comm(comm), m_clock(clock), m_timer(timers.create())
{
    m_timer->setInterval(kPollMs);
    m_timer->onTimeout = [this] { pump(); };
}

void KeyTyper::pressKey(int index)
{
    m_items.push_back({false, index, QChar()});
    pump();
}

bool KeyTyper::typeChar(QChar ch)
{
    if (TComm32QV::CharKeys(ch, false).isEmpty() && TComm32QV::CharKeys(ch, true).isEmpty())
        return false;
    m_items.push_back({true, 0, ch});
    pump();
    return true;
}

void KeyTyper::clear()
{
    m_items.clear();
    m_keys.clear();
    m_waiting = false;
    m_timer->setEnabled(false);
}

bool KeyTyper::answerPending() const
{
    return m_waiting && m_comm.FramesAccepted() == m_framesBefore &&
           m_comm.ResponseTimeouts() == m_timeoutsBefore &&
           m_clock.ticks() - m_waitStart < kLongestWaitMs;
}

void KeyTyper::pump()
{
    for (;;) {
        if (!m_comm.IsOpen()) {
            clear();
            return;
        }
        if (!m_keys.empty()) {
            if (m_comm.QueueBusy())
                break;
            const int key = m_keys.front();
            m_keys.pop_front();
            if (key >= 0)
                m_comm.SendKey(key);
            else
                m_comm.SendCharKey(uint8_t(-key));
            if (m_keys.empty()) {
                m_waiting = true;
                m_framesBefore = m_comm.FramesAccepted();
                m_timeoutsBefore = m_comm.ResponseTimeouts();
                m_waitStart = m_clock.ticks();
            }
            continue;
        }
        if (m_items.empty() || answerPending())
            break;
        m_waiting = false;
        const Item item = m_items.front();
        m_items.pop_front();
        if (!item.isChar) {
            m_keys.push_back(item.key);
            continue;
        }
        // The entry kind and the table as the meter's last answer gives them.
        static const int kindKeys[4] = {-1, kcD, kcL, kcT};
        const int kind = m_comm.DataText().CursorType;
        if (kind >= 1 && kind <= 3)
            m_keys.push_back(kindKeys[kind]);
        for (char k : TComm32QV::CharKeys(item.ch, m_comm.DataInfo().EnglishCharset))
            m_keys.push_back(-int(uint8_t(k)));
        // A character missing from the meter's current table sends nothing.
        if (m_keys.size() == 1 && kind >= 1 && kind <= 3)
            m_keys.clear();
    }
    m_timer->setEnabled(!idle());
}

} // namespace qv

// Operates the meter key by key where no key may be lost: each typed
// character, and each key of a scripted sequence (the command line's
// monitor), goes out after the meter has answered the one before (or its
// response timed out), and every key is handed to the protocol component only
// when its transmit queue has room. The queue holds one waiting block and
// drops the next, and a typed character takes up to three keys (the
// entry-kind key, the group key, the letter); sent straight away, keys would
// be lost. Characters typed quickly in a row go out in order, none lost.
// Keys a person presses on the instrument do not come here: they go straight
// to the protocol component, so that a held key that finds the queue full is
// dropped rather than piled up behind the meter's answers.
#pragma once

#include "protocol/TComm32QV.h"
#include "serial/Timer.h"

#include <QChar>

#include <deque>
#include <memory>

namespace qv {

class KeyTyper {
public:
    KeyTyper(TComm32QV &comm, TimerFactory &timers, Clock &clock);

    // A key command (an index of KeyCommand).
    void pressKey(int index);
    // One character for the meter's text editor. When its turn comes, the
    // key of the editor's current entry kind (MODE, SET or MEMO for 1, 2, 3)
    // goes first, then the character's keys in the meter's character table.
    // False when neither table has the character (nothing is queued).
    bool typeChar(QChar ch);

    // Keys and characters not yet handed over.
    bool idle() const { return m_items.empty() && m_keys.empty(); }
    void clear();

private:
    struct Item {
        bool isChar;
        int key;    // a key command index
        QChar ch;
    };
    void pump();
    bool answerPending() const;

    TComm32QV &m_comm;
    Clock &m_clock;
    std::unique_ptr<Timer> m_timer;
    std::deque<Item> m_items;
    std::deque<int> m_keys;     // keys of the item being sent: >= 0 commands, < 0 -byte
    bool m_waiting = false;
    uint32_t m_framesBefore = 0;
    uint32_t m_timeoutsBefore = 0;
    uint32_t m_waitStart = 0;
};

} // namespace qv

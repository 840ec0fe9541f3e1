// The stop event of an open port: an eventfd that stays signalled once set,
// so every thread polling it wakes at once and keeps seeing it.
#pragma once

#include <cstdint>

namespace qv {

class StopEvent {
public:
    StopEvent() = default;
    ~StopEvent();
    StopEvent(const StopEvent &) = delete;
    StopEvent &operator=(const StopEvent &) = delete;

    // Creates a fresh, unsignalled event; false when the system refuses.
    bool create();
    void close();
    bool valid() const { return m_fd >= 0; }
    int fd() const { return m_fd; }

    void signal();
    bool signalled() const { return isSignalled(m_fd); }

    // Waits up to `ms` for the event; true when it is (or becomes) signalled.
    static bool waitFor(int fd, uint32_t ms);
    static bool isSignalled(int fd);

private:
    int m_fd = -1;
};

} // namespace qv

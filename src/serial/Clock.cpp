#include "serial/Clock.h"

#include <chrono>

namespace qv {

namespace {
class SteadyClock : public Clock {
public:
    uint32_t ticks() const override
    {
        using namespace std::chrono;
        return static_cast<uint32_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
};
} // namespace

Clock &systemClock()
{
    static SteadyClock clock;
    return clock;
}

} // namespace qv

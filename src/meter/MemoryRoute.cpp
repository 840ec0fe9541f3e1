#include "meter/MemoryRoute.h"

#include "protocol/TComm32QV.h"

namespace qv {

namespace {
constexpr int MeasurementScreen = 0;
constexpr int WelcomeScreen = 1;
constexpr int MemoryMenu = 10;
constexpr int SendItem = 5;
} // namespace

int NextKeyToSendMemory(int screen, bool editing)
{
    if (editing)
        return kcQ;
    if (screen == SendMemoryScreen || screen == MemoryMenu + SendItem)
        return kcK;
    if (screen == WelcomeScreen)
        return -1;
    if (screen == MeasurementScreen)
        return kcT;
    // UP from the first item wraps round to the last; the others go down.
    if (screen == MemoryMenu)
        return kcR;
    if (screen > MemoryMenu && screen < MemoryMenu + SendItem)
        return kcJ;
    return kcQ;
}

} // namespace qv

// The meter's main loop: bytes in, timers, power, bytes out.
#include "engine/engine.h"

#include "engine/keys.h"

#include <algorithm>
#include <random>

namespace qvsim {

namespace {

bool isCommandByte(uint8_t c)
{
    switch (c) {
    case KeyMode: case KeySet: case KeyMemo: case KeyEsc: case KeyPower: case KeyUp:
    case KeyDown: case KeyMeas: case KeyEnter: case KeyAux: case CmdInfo: case CmdIdentify:
        return true;
    default:
        return positionOfLetter(c) >= 0;
    }
}

int autoOffMinutes(uint8_t code)
{
    static const int minutes[8] = {1, 2, 5, 10, 15, 30, 45, 60};
    return minutes[code & 7];
}

} // namespace

uint32_t bitsPerSecond(uint8_t baudIndex)
{
    switch (baudIndex) {
    case 2: return 1200;
    case 3: return 2400;
    case 4: return 4800;
    case 5: return 9600;
    default: return 0;
    }
}

MeterEngine::MeterEngine(const MeterConfig &config)
    : m_config(config), m_lamp(1.0, 1.0, config.seed), m_memory(config.externalMemory)
{
    m_probeCode = config.probeCode < 0 ? defaultProbe(config.model) : uint8_t(config.probeCode);
    m_probePresent = !config.noProbe;
    m_probe = probeSpec(m_probeCode);
    m_access = m_probePresent ? probeAccess(config.model, m_probeCode) : ProbeAccess::Allowed;
    m_lamp.setLevel(m_probe.lamp, m_probe.lampLuminance);
    m_ident.permissions = probePermissions(config.model);
    m_calibration = m_factoryCalibration = factoryCalibration(m_probeCode);
    m_baudIndex = std::clamp<uint8_t>(config.baudIndex, Baud1200, Baud9600);
    m_programRate = bitsPerSecond();
    m_english = config.englishTable;
    m_editor.setEnglish(m_english);
    m_clock.set(config.clock, 0);
    m_alarmDate = config.clock;
    m_alarmMessage = "CHECK LAMP";
    m_autosaveComment = "AUTO";
    // A little dark signal until the probe is zeroed.
    m_zeroOffset = rangeScale().fullScale(0) * 2e-4;
    fillMemory(config.cells);
    // Its own generator: the switch-off point changes no reading of the seed.
    std::mt19937 cut(config.seed ^ 0x5EEDC07u);
    m_memoryCutAt = std::uniform_real_distribution<double>(0.2, 0.8)(cut);
    m_on = !config.off;
    m_continuous = config.continuous;
    if (m_on) {
        startScreen();
        takeReading(true);
        if (config.welcome) {
            m_screen = ScrWelcome;
            m_welcomeUntil = std::numeric_limits<uint64_t>::max();
        }
    }
}

void MeterEngine::receive(const uint8_t *data, size_t n)
{
    if (silent())
        return;
    if (m_screen == ScrWelcome && m_welcomeUntil == std::numeric_limits<uint64_t>::max())
        m_welcomeUntil = m_now + WelcomeMs;
    for (size_t i = 0; i < n; ++i) {
        // At a foreign rate the meter hears only garbage.
        if (!lineMatches())
            return;
        command(data[i]);
    }
    if (m_config.startSeries && !m_seriesStarted && m_on && m_screen == ScrMeasure && !transferring() &&
        m_probePresent) {
        m_seriesStarted = true;
        m_continuous = true;
        if (!m_running)
            startRun();
    }
}

void MeterEngine::command(uint8_t c)
{
    if (!m_on) {
        if (c == KeyPower)
            powerOn();
        return;
    }
    if (!isCommandByte(c))
        return;  // includes the zero bytes the program sends during a transfer
    if (transferring()) {
        if (c == KeyEsc)
            abortTransfer();
        else if (c == KeyPower)
            powerOff();
        return;
    }
    m_lastActivity = m_now;
    switch (c) {
    case CmdInfo:
        answer(CmdInfo);
        return;
    case CmdIdentify:
        sendIdentification(0);
        return;
    case KeyPower:
        powerOff();
        return;
    default:
        break;
    }
    if (m_screen == ScrWelcome) {
        answer(c);  // still starting up
    } else if (m_screen == ScrService) {
        if (c == KeyEsc)
            m_screen = parentScreen(ScrService);
        answer(c);
    } else if (isDialog(m_screen)) {
        dialogKey(c);
    } else if (m_editing) {
        editorKey(c);
    } else if (m_screen == ScrMeasure) {
        measureScreenKey(c);
    } else if (m_screen == ScrRecordView) {
        recordViewKey(c);
    } else if (m_screen == ScrSendToPc) {
        sendScreenKey(c);
    } else if (menuOf(m_screen)) {
        menuKey(c);
    } else {
        answer(c);
    }
}

void MeterEngine::queueFrame(Bytes frame, bool cancellable)
{
    if (!lineMatches() || silent())
        return;  // nobody can make sense of it
    m_out.push_back(Chunk{std::move(frame), 0, cancellable});
}

Bytes MeterEngine::takeOutput(size_t max)
{
    Bytes out;
    if (silent()) {
        m_out.clear();  // a frame being sent stops where it was
        return out;
    }
    while (!m_out.empty() && out.size() < max) {
        Chunk &c = m_out.front();
        const size_t n = std::min({max - out.size(), c.bytes.size() - c.taken, memoryCutLimit(c)});
        out.insert(out.end(), c.bytes.begin() + long(c.taken), c.bytes.begin() + long(c.taken + n));
        c.taken += n;
        if (memoryCutLimit(c) == 0) {
            m_memoryCutDone = true;
            powerOff();  // drops the rest of the block; the off marker follows
        } else if (c.taken == c.bytes.size()) {
            m_out.pop_front();
        }
    }
    return out;
}

// How much more of chunk `c` leaves the meter before it switches off in the
// middle of its first memory block (no limit for anything else).
size_t MeterEngine::memoryCutLimit(const Chunk &c) const
{
    if (!m_config.offDuringMemory || m_memoryCutDone || !c.cancellable)
        return std::numeric_limits<size_t>::max();
    const size_t at = std::max<size_t>(1, size_t(double(c.bytes.size()) * m_memoryCutAt));
    return at > c.taken ? at - c.taken : 0;
}

size_t MeterEngine::pendingOutput() const
{
    size_t n = 0;
    for (const Chunk &c : m_out)
        n += c.bytes.size() - c.taken;
    return n;
}

bool MeterEngine::transferring() const
{
    return std::any_of(m_out.begin(), m_out.end(), [](const Chunk &c) { return c.cancellable; });
}

void MeterEngine::abortTransfer()
{
    // Whatever of the block has left the meter stays on the line.
    m_out.erase(std::remove_if(m_out.begin(), m_out.end(), [](const Chunk &c) { return c.cancellable; }),
                m_out.end());
    m_screen = parentScreen(ScrSendToPc);
    answer(KeyEsc);
}

void MeterEngine::powerOn()
{
    m_on = true;
    m_running = false;
    m_editing = false;
    m_dialogUntil = 0;
    m_lastActivity = m_now;
    m_nextSecond = m_now + 1000;
    queueFrame(markerFrame(FramePowerOn));
    m_screen = ScrWelcome;
    m_welcomeUntil = m_now + WelcomeMs;
    answer(KeyPower);
}

void MeterEngine::powerOff()
{
    m_running = false;
    m_editing = false;
    m_dialogUntil = 0;
    m_out.erase(std::remove_if(m_out.begin(), m_out.end(), [](const Chunk &c) { return c.cancellable; }),
                m_out.end());
    queueFrame(markerFrame(FramePowerOff));
    m_on = false;
    m_screen = ScrMeasure;
}

void MeterEngine::startScreen()
{
    switch (m_access) {
    case ProbeAccess::Denied: m_screen = DlgNoAccess; break;
    case ProbeAccess::InitError: m_screen = DlgProbeInitError; break;
    default: m_screen = ScrMeasure; break;
    }
    m_dialogUntil = 0;  // those two stay until the meter is switched off
}

void MeterEngine::advance(uint32_t ms)
{
    const uint64_t target = m_now + ms;
    for (uint64_t next = nextTimer(); next <= target; next = nextTimer()) {
        m_now = std::max(m_now, next);
        runTimers();
    }
    m_now = target;
}

uint64_t MeterEngine::nextTimer() const
{
    if (!m_on)
        return std::numeric_limits<uint64_t>::max();
    uint64_t t = m_nextSecond;
    if (m_screen == ScrWelcome)
        t = std::min(t, m_welcomeUntil);
    if (isDialog(m_screen) && m_dialogUntil)
        t = std::min(t, m_dialogUntil);
    if (m_running) {
        t = std::min(t, m_nextSample);
        if (m_memoryAutosave)
            t = std::min(t, m_nextAutosave);
    }
    return t;
}

void MeterEngine::runTimers()
{
    if (m_screen == ScrWelcome && m_now >= m_welcomeUntil) {
        startScreen();
        takeReading(true);
        answer(0);
    }
    if (isDialog(m_screen) && m_dialogUntil && m_now >= m_dialogUntil) {
        if (m_screen == DlgZeroing)
            m_zeroOffset = 0;  // the covered probe's dark signal is now the zero
        leaveDialog(0);
    }
    if (m_running && m_now >= m_nextSample)
        sample();
    if (m_running && m_memoryAutosave && m_now >= m_nextAutosave)
        autosave();
    if (m_on && m_now >= m_nextSecond) {
        m_nextSecond += 1000;
        everySecond();
    }
}

void MeterEngine::everySecond()
{
    const int64_t seconds = m_clock.secondsAt(m_now);
    // A fresh pack loses one step every twenty minutes down to its low mark.
    if (seconds % 1200 == 0 && m_battery > 81)
        --m_battery;

    const bool alarmCanShow = !m_editing && !isDialog(m_screen) && m_screen != ScrWelcome
        && m_screen != ScrService && !transferring();
    if (m_alarmOn && alarmCanShow) {
        DateTime day = m_alarmDate;
        day.hour = day.minute = day.second = 0;
        if (seconds >= toSeconds(day)) {
            const bool overRun = m_running && m_screen == ScrMeasure;
            showDialog(overRun ? DlgAlarmOverMeasure : DlgAlarm, m_screen, 0);
        }
    }

    const uint64_t idleLimit = uint64_t(autoOffMinutes(m_autoOffCode)) * 60000;
    if (!m_running && !transferring() && m_now - m_lastActivity >= idleLimit)
        powerOff();
}

} // namespace qvsim

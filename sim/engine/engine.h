// The simulated meter: a QV-700 radiometer or a K-700 luxmeter as the program
// sees it through its serial line. Bytes from the program go in through
// receive(); the meter's frames come out of takeOutput(); advance() moves the
// meter's own clock (measurement runs, the welcome screen, dialogs that time
// out, autosave, its calendar clock). Nothing here touches a real device or
// the system clock, so tests drive it step by step.
#pragma once

#include "engine/editor.h"
#include "engine/frames.h"
#include "engine/measure.h"
#include "engine/memory.h"
#include "engine/meterclock.h"
#include "engine/menus.h"
#include "engine/probes.h"

#include <cstdint>
#include <deque>
#include <limits>
#include <string>

namespace qvsim {

// Baud indexes as the status block carries them: 2 ... 5 for the 1200, 2400,
// 4800 and 9600 bit/s of the meter's RS 232 menu.
constexpr uint8_t Baud1200 = 2;
constexpr uint8_t Baud9600 = 5;
uint32_t bitsPerSecond(uint8_t baudIndex);

struct MeterConfig {
    Model model = Model::QV700;
    int probeCode = -1;          // -1: the model's own probe
    bool noProbe = false;        // nothing plugged in
    bool luminance = false;      // a luminance-capable probe with its three attachments
    uint8_t baudIndex = Baud9600;
    int cells = 0;               // memory cells filled with earlier measurements
    bool externalMemory = false; // the 511-cell memory module
    uint32_t seed = 1;
    bool off = false;            // start switched off
    bool englishTable = true;    // the editor's character table
    bool statusAfterMemory = false; // reports its screen in a status frame right after the memory block
    DateTime clock{2024, 3, 14, 9, 30, 0};
    // A continuous series starts once the program has spoken to the meter
    // (demonstrations and tests of the autosave).
    bool startSeries = false;
    bool continuous = false;     // continuous measure mode: MEAS starts and stops a run
    // Starts on its welcome screen, which stays until a while after the
    // program first speaks to it (as if switched on just then).
    bool welcome = false;
    // Faults of the meter itself (reproducible by the seed):
    uint32_t silentAfterMs = 0;    // stops answering this long after it starts (0: never)
    bool offDuringMemory = false;  // switches off in the middle of its first memory block
};

class MeterEngine {
public:
    // How long things take on the meter.
    static constexpr uint32_t WelcomeMs = 1500;
    static constexpr uint32_t SampleMs = 500;      // continuous measurement period
    static constexpr uint32_t MessageMs = 2000;    // error and information boxes
    static constexpr uint32_t ZeroingMs = 3000;

    explicit MeterEngine(const MeterConfig &config = MeterConfig());

    // ---- the line
    void receive(const uint8_t *data, size_t n);
    void receive(const std::string &bytes)
    {
        receive(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
    }
    void advance(uint32_t ms);
    uint64_t now() const { return m_now; }
    // The meter's bytes not yet sent, oldest first, at most `max` of them.
    Bytes takeOutput(size_t max = std::numeric_limits<size_t>::max());
    size_t pendingOutput() const;

    // The meter's rate, and the rate the program's line is set to (0 when
    // nothing is attached). The meter hears and answers only when they agree.
    uint8_t baudIndex() const { return m_baudIndex; }
    uint32_t bitsPerSecond() const { return qvsim::bitsPerSecond(m_baudIndex); }
    void setProgramRate(uint32_t bitsPerSecond) { m_programRate = bitsPerSecond; }
    bool lineMatches() const { return m_programRate == bitsPerSecond(); }

    // ---- inspection
    bool isOn() const { return m_on; }
    bool silent() const { return m_config.silentAfterMs && m_now >= m_config.silentAfterMs; }
    // The last reading taken (what a measurement frame sent now would carry).
    const Reading &lastReading() const { return m_last; }
    uint16_t screen() const { return m_screen; }
    StatusBlock status() const { return statusBlock(0, 0); }
    bool running() const { return m_running; }
    bool continuousMode() const { return m_continuous; }
    bool autoRange() const { return m_autoRange; }
    int range() const { return m_range; }
    uint8_t attachment() const { return m_attachment; }
    uint8_t autosaveCode() const { return m_autosaveCode; }
    uint8_t autoOffCode() const { return m_autoOffCode; }
    const MeterMemory &memory() const { return m_memory; }
    bool editing() const { return m_editing; }
    const TextEditor &editor() const { return m_editor; }
    DateTime clock() const { return m_clock.at(m_now); }
    const Statistics &statistics() const { return m_stats; }
    const Integrator &integrator() const { return m_integrator; }
    double reference() const { return m_reference; }
    int32_t calibration() const { return m_calibration; }
    const std::string &autosaveComment() const { return m_autosaveComment; }
    const std::string &alarmMessage() const { return m_alarmMessage; }
    DateTime alarmDate() const { return m_alarmDate; }
    const Identification &identification() const { return m_ident; }

    // ---- hooks for tests and fault injection
    MeterMemory &memory() { return m_memory; }
    void setLampLevel(double irradiance, double luminance) { m_lamp.setLevel(irradiance, luminance); }
    void setProbeFault(bool fault) { m_probeFault = fault; }

private:
    struct Chunk {
        Bytes bytes;
        size_t taken = 0;
        bool cancellable = false;  // the memory block: ESC cuts it short
    };

    // engine.cpp: the line, the clock and power
    void command(uint8_t c);
    void queueFrame(Bytes frame, bool cancellable = false);
    bool transferring() const;
    size_t memoryCutLimit(const Chunk &c) const;
    void abortTransfer();
    void powerOn();
    void powerOff();
    void startScreen();
    void runTimers();
    void everySecond();
    uint64_t nextTimer() const;

    // reports.cpp: what the meter sends
    StatusBlock statusBlock(uint8_t key1, uint8_t key2) const;
    MeasurementBlock measurementBlock(const Reading &r) const;
    void answer(uint8_t key1, uint8_t key2 = 0);
    void sendMeasurement(uint8_t key1, uint8_t key2 = 0);
    void sendIdentification(uint32_t blockSize);
    void sendCellView(uint8_t type, size_t index, uint8_t key1);
    Cell cellOfLastReading(const std::string &comment) const;

    // actions.cpp: keys on the measurement screen, in menus, record view, send
    void measureScreenKey(uint8_t key);
    void menuKey(uint8_t key);
    void menuEnter();
    void answerQuestion(uint8_t key1, void (MeterEngine::*yes)(), uint16_t back);
    void clearLastCell() { m_memory.clearLast(); }
    void clearAllCells() { m_memory.clearAll(); }
    void clearIntegration() { m_integrator.clear(); }
    void clearStatistics() { m_stats.clear(); }
    void recordViewKey(uint8_t key);
    void sendScreenKey(uint8_t key);

    // fields.cpp: entry fields
    void openEditor(uint16_t screen, EditMode mode, const std::string &text, uint8_t key1);
    void editorKey(uint8_t key);
    void editorConfirm();
    bool parseValue(const std::string &text, double &value, uint8_t key1);
    bool saveWithComment(const std::string &comment, uint8_t key1, uint16_t returnTo);
    std::string valueText(double value, int &prefixStep) const;
    // A value field in the reading's unit, prefilled with `value` or empty.
    void openValueField(uint16_t screen, double value, bool prefilled);

    // dialogs.cpp: dialog and error boxes
    void showMessage(uint16_t dialog, uint16_t returnTo, uint8_t key1);  // times out
    void showDialog(uint16_t dialog, uint16_t returnTo, uint8_t key1);   // waits for a key
    void leaveDialog(uint8_t key1);
    void dialogKey(uint8_t key);

    // measuring.cpp: readings, runs and the modes' figures
    RangeScale rangeScale() const;
    Reading takeReading(bool settle);
    void takeSingle();
    void startRun();
    void stopRun(uint8_t key1, uint8_t key2);
    void sample();
    void autosave();
    void accumulate(const Reading &r, uint32_t dtMs);
    void fillMemory(int cells);

    MeterConfig m_config;
    bool m_seriesStarted = false;
    double m_memoryCutAt = 0.5;  // where in the block the switch-off comes, as a fraction
    bool m_memoryCutDone = false;
    uint8_t m_probeCode = 0;
    bool m_probePresent = true;
    ProbeSpec m_probe;
    ProbeAccess m_access = ProbeAccess::Allowed;
    Identification m_ident;

    uint64_t m_now = 0;
    bool m_on = true;
    uint16_t m_screen = ScrMeasure;
    uint64_t m_welcomeUntil = 0;
    uint64_t m_lastActivity = 0;
    uint64_t m_nextSecond = 1000;
    uint32_t m_programRate = 0;
    std::deque<Chunk> m_out;

    // settings
    bool m_continuous = false;
    bool m_relative = false;
    bool m_integration = false;
    bool m_autoRange = true;
    bool m_statisticsAuto = false;
    bool m_memoryAutosave = false;
    bool m_luminance = false;
    uint8_t m_attachment = 0;
    bool m_alarmOn = false;
    bool m_backlight = false;
    bool m_english = true;
    uint8_t m_autosaveCode = 0;
    uint8_t m_autoOffCode = 7;
    uint8_t m_baudIndex = Baud9600;
    uint8_t m_battery = 104;

    // measuring
    Lamp m_lamp;
    int m_range = 0;      // the range of the last reading
    int m_moveTo = -1;    // where automatic ranging goes for the next one
    Reading m_last;
    bool m_running = false;
    uint64_t m_nextSample = 0;
    uint64_t m_nextAutosave = 0;
    Statistics m_stats;
    Integrator m_integrator;
    double m_reference = 1;
    double m_zeroOffset = 0;
    int32_t m_calibration = 0;
    int32_t m_factoryCalibration = 0;
    int32_t m_newCalibration = 0;
    bool m_probeFault = false;

    // memory, editor, dialogs, clock
    MeterMemory m_memory;
    std::string m_lastComment;
    std::string m_autosaveComment;
    TextEditor m_editor;
    bool m_editing = false;
    uint16_t m_returnScreen = 0;
    uint64_t m_dialogUntil = 0;  // 0: the dialog waits for a key
    size_t m_viewedCell = 0;
    MeterClock m_clock;
    DateTime m_pendingDate;
    DateTime m_alarmDate;
    std::string m_alarmMessage;
};

} // namespace qvsim

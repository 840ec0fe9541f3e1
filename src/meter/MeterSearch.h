// The meter search without its window: every port of a list is probed at
// once, each by a protocol component of its own, first at 9600 bit/s and then
// at 4800, 2400 and 1200, until every port has answered or failed. The
// search runs on the serial platform's clock and timers, so tests step it by
// hand; TFormAutoCOM is a thin view over it.
//
// Timeline: during the first phase (10 s) a port that reports trouble is
// polled again at the same rate, since a meter may still be starting up.
// After it, a port silent past its deadline moves to the next rate, and all
// ports still probing are polled again every 5 s. A port held by another
// program, or gone, counts as failed at once.
#pragma once

#include "protocol/TComm32QV.h"
#include "serial/LineSettings.h"
#include "serial/TComm32VN.h"
#include "serial/Timer.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace qv {

struct SearchTiming {
    uint32_t phaseMs = 10000;  // same-rate retries before the rate steps begin
    uint32_t repollMs = 5000;  // period of the re-polls after the phase
    int tickMs = 250;          // the search timer (also the window's animation)
};

class MeterSearch {
public:
    // How a probe component reaches its port. By default it sets COMPort,
    // which opens the port; tests may attach a simulated meter instead.
    using ProbeOpener = std::function<void(TComm32QV &comm, const QString &port)>;

    // The probe table's port states: 2..5 probing at step 1..4; 6 silent at
    // every rate; a TBaudRate + 6: answered (or busy / not found) at that rate.
    static constexpr int StateFirstStep = 2;
    static constexpr int StateSilent = 6;
    static constexpr int StateRateBase = 6;
    static const std::array<TBaudRate, 4> RateSteps;

    enum class Outcome { NoMeter, OneMeter, Choose };

    struct Result {
        QString port;
        TBaudRate rate;
    };

    // `ports` are the port box's entries; the no-port entry is skipped. No
    // port is opened before Start.
    MeterSearch(uint8_t language, const QStringList &ports,
                const SerialPlatform &platform = SerialPlatform::system(),
                const SearchTiming &timing = SearchTiming(), ProbeOpener opener = nullptr);
    // Closes and frees every probe component.
    ~MeterSearch();
    MeterSearch(const MeterSearch &) = delete;
    MeterSearch &operator=(const MeterSearch &) = delete;

    // Opens and polls every port and starts the timer; only the first call counts.
    void Start();
    // The user's STOP: finishes at once, without the "not found" message.
    void Stop();

    // --- the probe table --------------------------------------------------
    int PortCount() const { return int(m_entries.size()); }
    const QString &PortName(int i) const { return m_entries[size_t(i)].name; }
    int PortState(int i) const { return m_entries[size_t(i)].state; }
    uint32_t Deadline(int i) const { return m_entries[size_t(i)].deadline; }
    TComm32QV &Probe(int i) { return *m_entries[size_t(i)].comm; }
    static bool Probing(int state) { return state >= StateFirstStep && state < StateSilent; }

    int Found() const { return m_found; }
    int Failed() const { return m_failed; }
    bool Started() const { return m_started; }
    bool Stopped() const { return m_stopped; }
    bool Finished() const { return m_finished; }
    uint8_t Language() const { return m_language; }

    // The information label: the looking text, or the count of meters found
    // and the looking-for-others text on a second line (CR LF between).
    QString InfoText() const;

    // The meters found, sorted by port name.
    const std::vector<Result> &Results() const { return m_results; }
    // The result list as shown: port names while searching; after a finish
    // with several meters, "Meter 1 on port ..." numbered in that order.
    QStringList ResultItems() const;
    // The chosen result's port; the no-port name when `row` names none.
    QString SelectedPort(int row) const;
    // The chosen result's rate as the baud-rate box names it ("9600bps");
    // the first step's rate when `row` names none.
    QString SelectedBaudName(int row) const;

    // --- events -----------------------------------------------------------
    std::function<void()> OnTick;                      // every timer tick
    std::function<void(const Result &)> OnMeterFound;  // after the count changed
    std::function<void(Outcome)> OnFinished;

private:
    struct Entry {
        QString name;
        int state = StateFirstStep;
        uint32_t deadline = 0xFFFFFFFFu;
        std::unique_ptr<TComm32QV> comm;
    };

    void poll(int i);
    void onAnswer(int i);
    void onStatus(int i, int code);
    void onTimer();
    void finish();
    bool inFirstPhase() const;
    uint32_t now() const { return m_clock->ticks(); }

    uint8_t m_language;
    SearchTiming m_timing;
    Clock *m_clock;
    ProbeOpener m_opener;
    std::unique_ptr<Timer> m_timer;
    std::vector<Entry> m_entries;
    std::vector<Result> m_results;
    int m_found = 0;
    int m_failed = 0;
    bool m_started = false;
    bool m_stopped = false;
    bool m_finished = false;
    bool m_numbered = false;
    uint32_t m_startTick = 0;
    uint32_t m_lastRepoll = 0;
};

} // namespace qv

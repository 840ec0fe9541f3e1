// A meter search on a manual clock: each named port is a line that may carry
// a simulated meter at one rate, be held by another program, or stay silent.
// The probe components are opened detached; what they send reaches the
// line's meter at once, which hears it only at its own rate, and the meter's
// answers arrive as blocks while the test lets time pass. Nothing sleeps.
#pragma once

#include "engine/engine.h"
#include "meter/MeterSearch.h"
#include "integration/PtyHelpers.h"
#include "serial/Timer.h"

#include <map>
#include <memory>
#include <vector>

namespace qvtest {

struct Poll {
    uint32_t at;          // ms since the search started
    qv::TBaudRate rate;
};

struct SearchLine {
    std::unique_ptr<qvsim::MeterEngine> meter;  // none: a silent line
    bool busy = false;                          // held by another program
    qv::TComm32QV *comm = nullptr;
    std::vector<Poll> polls;                    // every REFRESH request sent
};

class SearchBench {
public:
    SearchBench() : timers(clock), origin(clock.ticks()) { qv::TComm32QV::ResetSharedState(); }

    // A meter answering at `bitsPerSecond` (1200 ... 9600) on `port`.
    void meterOn(const QString &port, uint32_t bitsPerSecond)
    {
        qvsim::MeterConfig config;
        config.baudIndex = bitsPerSecond == 1200 ? 2 : bitsPerSecond == 2400 ? 3
            : bitsPerSecond == 4800 ? 4 : 5;
        lines[port].meter = std::make_unique<qvsim::MeterEngine>(config);
    }
    void busy(const QString &port) { lines[port].busy = true; }
    void silent(const QString &port) { lines[port]; }

    qv::SerialPlatform platform() { return qv::SerialPlatform{&clock, &timers, &ports}; }

    // Opens a probe component as its line says.
    qv::MeterSearch::ProbeOpener opener()
    {
        return [this](qv::TComm32QV &comm, const QString &port) {
            SearchLine &line = lines[port];
            line.comm = &comm;
            if (line.busy) {
                comm.ReportStatus(qv::stBusy);
                return;
            }
            comm.OpenDetached([this, &line, &comm](const QByteArray &bytes) {
                for (char c : bytes) {
                    if (c == 'I')
                        line.polls.push_back({clock.ticks() - origin, comm.BaudRate()});
                }
                if (line.meter) {
                    line.meter->setProgramRate(qv::BaudRateValues[comm.BaudRate()]);
                    line.meter->receive(reinterpret_cast<const uint8_t *>(bytes.constData()),
                                        size_t(bytes.size()));
                }
            });
            if (onOpen)
                onOpen(comm, port);
        };
    }

    std::unique_ptr<qv::MeterSearch> makeSearch(const QStringList &ports,
                                                const qv::SearchTiming &timing = qv::SearchTiming(),
                                                uint8_t language = 1)
    {
        auto search = std::make_unique<qv::MeterSearch>(language, ports, platform(), timing, opener());
        search->OnFinished = [this](qv::MeterSearch::Outcome o) { outcomes.push_back(o); };
        return search;
    }

    // Lets `ms` pass in steps of `stepMs`, the meters running alongside.
    void run(uint32_t ms, uint32_t stepMs = 10)
    {
        for (uint32_t t = 0; t < ms; t += stepMs) {
            for (auto &[name, line] : lines) {
                if (!line.meter || !line.comm)
                    continue;
                line.meter->advance(stepMs);
                const qvsim::Bytes out = line.meter->takeOutput();
                if (!out.empty() && line.comm->IsOpen())
                    line.comm->DeliverBlock(out.data(), uint32_t(out.size()));
            }
            timers.advance(stepMs);
        }
    }

    // Runs until `done` holds, at most `limitMs`; the time taken, in ms.
    uint32_t runUntil(const std::function<bool()> &done, uint32_t limitMs, uint32_t stepMs = 10)
    {
        const uint32_t start = clock.ticks();
        while (!done() && clock.ticks() - start < limitMs)
            run(stepMs, stepMs);
        return clock.ticks() - start;
    }

    uint32_t elapsed() const { return clock.ticks() - origin; }

    ListedPorts ports;
    qv::ManualClock clock;
    qv::ManualTimers timers;
    uint32_t origin;
    std::map<QString, SearchLine> lines;
    std::vector<qv::MeterSearch::Outcome> outcomes;  // of the searches made by makeSearch
    // Called after a line has been opened (to change a component's settings).
    std::function<void(qv::TComm32QV &, const QString &)> onOpen;
};

} // namespace qvtest

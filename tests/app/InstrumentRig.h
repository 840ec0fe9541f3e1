// The instrument window on a simulated meter, in-process: what the window
// sends reaches the meter at once, the meter's bytes arrive when the test
// lets time pass (at about the line rate when asked), and one manual clock
// drives the meter, the protocol component, the core and the key typer.
#pragma once

#include "engine/engine.h"
#include "integration/PtyHelpers.h"
#include "instrument/QVMeter32.h"

#include <QByteArray>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>

namespace qvtest {

// A port list the test decides.
using FakePorts = FakePortSource;

// A pseudo-terminal nobody serves: a port that opens like a real one.
struct IdlePty : PseudoTerminal {
    const QString path = slavePath();
};

// Lets `ms` pass in 20 ms steps: the meter runs, and its bytes of each step
// (at most `perStep`) arrive at `comm` as one block.
inline void runMeter(qvsim::MeterEngine &meter, qv::TComm32QV &comm, qv::ManualTimers &timers, uint32_t ms,
                     size_t perStep = std::numeric_limits<size_t>::max())
{
    for (uint32_t t = 0; t < ms; t += 20) {
        meter.advance(20);
        const qvsim::Bytes out = meter.takeOutput(perStep);
        if (!out.empty())
            comm.DeliverBlock(out.data(), uint32_t(out.size()));
        timers.advance(20);
    }
}

class InstrumentRig {
public:
    // Line rate in bytes per 20 ms step at 9600 bit/s.
    static constexpr size_t LineBytesPerStep = 20;

    // With `namedPort` the window first selects a real (idle) port, so that
    // everything that needs a selected port applies; the meter is then
    // attached in place of the port.
    explicit InstrumentRig(const qvsim::MeterConfig &config = qvsim::MeterConfig(), bool namedPort = false,
                           uint8_t language = 1)
        : timers(clock), meter(config)
    {
        qv::TComm32QV::ResetSharedState();
        meter.setProgramRate(9600);
        if (namedPort)
            ports.names << pty.path;
        host = std::make_unique<QWidget>();
        host->setWindowTitle(QStringLiteral("QV-7xx"));
        window = new qv::TQVMeter32(host.get(), language, 1, qv::SerialPlatform{&clock, &timers, &ports});
        window->move(8, 8);
        host->resize(qv::TQVMeter32::Width + 16, qv::TQVMeter32::Height + 16);
        if (namedPort)
            window->setPort(pty.path);
        attach();
    }

    // The meter in place of the port (keys meant for the port are dropped,
    // as when a port is reopened).
    void attach()
    {
        window->typer().clear();
        window->comm().OpenDetached([this](const QByteArray &bytes) {
            sent += bytes;
            meter.receive(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
        });
    }

    void run(uint32_t ms, size_t perStep = std::numeric_limits<size_t>::max())
    {
        runMeter(meter, window->comm(), timers, ms, perStep);
    }

    // What the window sends to the meter for `act` and in the `ms` after it.
    QByteArray sentBy(const std::function<void()> &act, uint32_t ms = 600)
    {
        sent.clear();
        act();
        run(ms);
        return sent;
    }

    // Past the welcome screen, identified, on the measurement screen.
    void settle()
    {
        window->PressKey(qv::MeterKey::Refresh);
        run(2000);
    }

    int screen() const { return window->core().records().screen(); }

    // Shows the main window and makes it the active one, the instrument
    // holding the keyboard.
    bool activate()
    {
        host->show();
        host->activateWindow();
        if (!QTest::qWaitForWindowActive(host.get()))
            return false;
        window->setFocus();
        return window->hasFocus();
    }

    FakePorts ports;
    IdlePty pty;
    qv::ManualClock clock;
    qv::ManualTimers timers;
    qvsim::MeterEngine meter;
    // The instrument's main window (the instrument belongs to it).
    std::unique_ptr<QWidget> host;
    qv::TQVMeter32 *window = nullptr;
    QByteArray sent;
};

} // namespace qvtest

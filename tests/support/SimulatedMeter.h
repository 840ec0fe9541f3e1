// The program's protocol component wired to the simulated meter in-process:
// what the component sends reaches the meter at once, and the meter's bytes
// are delivered as blocks when the test lets time pass. One manual clock
// drives both, so nothing sleeps.
#pragma once

#include "engine/engine.h"
#include "protocol/TComm32QV.h"
#include "serial/Timer.h"

#include <memory>

namespace qvtest {

class SimulatedMeter {
public:
    explicit SimulatedMeter(const qvsim::MeterConfig &config = qvsim::MeterConfig(),
                            uint8_t language = 1)
        : timers(clock), meter(config),
          comm(std::make_unique<qv::TComm32QV>(language, qv::SerialPlatform{&clock, &timers, &ports}))
    {
        qv::TComm32QV::ResetSharedState();
        meter.setProgramRate(9600);
        comm->OpenDetached([this](const QByteArray &bytes) {
            meter.receive(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
        });
    }

    // Lets `ms` pass in steps of `stepMs`: the meter runs, and what it sent
    // in each step arrives as one block (as the receive thread would hand it).
    void run(uint32_t ms, uint32_t stepMs = 20)
    {
        for (uint32_t t = 0; t < ms; t += stepMs) {
            meter.advance(stepMs);
            const qvsim::Bytes out = meter.takeOutput();
            if (!out.empty())
                comm->DeliverBlock(out.data(), uint32_t(out.size()));
            timers.advance(stepMs);
        }
    }

    qv::FixedPortSource ports;
    qv::ManualClock clock;
    qv::ManualTimers timers;
    qvsim::MeterEngine meter;
    std::unique_ptr<qv::TComm32QV> comm;
};

} // namespace qvtest

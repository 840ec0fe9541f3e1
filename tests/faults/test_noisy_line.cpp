// A continuous series over a poor line: half a minute of noise and dropped
// bytes, then a clean line. The instrument window runs in real time on the
// simulated meter served on a real pseudo-terminal.
#include "FaultRig.h"

#include "instrument/QVMeter32.h"
#include "instrument/QVStatusBar.h"

#include <QElapsedTimer>
#include <QLabel>

#include <gtest/gtest.h>

using namespace qv;

TEST(NoisyLine, FaultsAreReportedWhileTheyLastAndEveryFrameDecodesOnceTheyEnd)
{
    constexpr int FaultMs = 30000;
    qvsim::MeterConfig config;
    config.startSeries = true;
    config.seed = 11;
    qvsim::ServeOptions line;
    line.fast = true;
    line.noise = line.drop = 1e-3;
    line.seed = config.seed;
    line.faultsForMs = FaultMs;
    qvtest::ServedMeter served(config, line);
    QElapsedTimer clock;
    clock.start();
    ASSERT_FALSE(served.path().isEmpty());

    TComm32QV::ResetSharedState();
    qvtest::ListedPorts ports({served.path()});
    QWidget host;
    auto *window = new TQVMeter32(&host, 1, 1, qvtest::realTimePlatform(ports));
    constexpr int Frame = -1;
    std::vector<std::pair<qint64, int>> log; // (ms, status code or Frame for a whole measurement)
    window->OnStatus = [&](int code, const QString &) { log.emplace_back(clock.elapsed(), code); };
    window->OnReceiveMeas = [&](const TDataMeasQV &m) {
        if (m.Complete)
            log.emplace_back(clock.elapsed(), Frame);
    };
    window->setBaudRate(br009600);
    window->setPort(served.path());
    window->PressKey(MeterKey::Refresh);
    qvtest::runEventLoopFor(FaultMs + 4000 - int(clock.elapsed()));

    const auto count = [&](qint64 from, qint64 to, auto is) {
        return std::count_if(log.begin(), log.end(),
                             [&](const auto &e) { return e.first >= from && e.first < to && is(e.second); });
    };
    const auto fault = [](int c) { return c == stFrameError || c == stCommLost; };
    const auto frame = [](int c) { return c == Frame; };
    EXPECT_GT(count(0, FaultMs, fault), 0);
    EXPECT_GT(count(2000, FaultMs, frame), 20) << "the series went on through the faults";
    // From a second after the line is clean: nothing but whole frames, two a second.
    EXPECT_EQ(count(FaultMs + 1000, FaultMs + 4000, [](int c) { return c > stConnected; }), 0);
    EXPECT_GE(count(FaultMs + 1000, FaultMs + 4000, frame), 5);

    served.stop();
    qvtest::runEventLoopFor(300);
    EXPECT_EQ(window->statusBar()->statusPanel()->text().trimmed(), "Connected");
    EXPECT_FLOAT_EQ(window->core().records().meas.Value, float(served.meter.lastReading().value))
        << "the instrument shows the meter's value";
    EXPECT_GT(served.server.lineFaults().dropped + served.server.lineFaults().flipped, 0u);
}

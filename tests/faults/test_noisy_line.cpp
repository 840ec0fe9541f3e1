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
    std::vector<std::pair<qint64, int>> statuses;
    std::vector<qint64> frames;
    window->OnStatus = [&](int code, const QString &) { statuses.emplace_back(clock.elapsed(), code); };
    window->OnReceiveMeas = [&](const TDataMeasQV &m) {
        if (m.Complete)
            frames.push_back(clock.elapsed());
    };
    window->setBaudRate(br009600);
    window->setPort(served.path());
    window->PressKey(MeterKey::Refresh);
    qvtest::runEventLoopFor(FaultMs + 4000 - int(clock.elapsed()));

    auto countIn = [](const auto &list, qint64 from, qint64 to, auto pick) {
        return std::count_if(list.begin(), list.end(), [&](const auto &e) {
            return pick(e).first >= from && pick(e).first < to && pick(e).second;
        });
    };
    const auto fault = [](const std::pair<qint64, int> &s) {
        return std::pair{s.first, s.second == stFrameError || s.second == stCommLost};
    };
    const auto anyStatus = [](const std::pair<qint64, int> &s) { return std::pair{s.first, s.second != stConnected}; };
    const auto frame = [](qint64 t) { return std::pair{t, true}; };
    EXPECT_GT(countIn(statuses, 0, FaultMs, fault), 0);
    EXPECT_GT(countIn(frames, 2000, FaultMs, frame), 20) << "the series went on through the faults";
    // From a second after the line is clean: nothing but whole frames, two a second.
    EXPECT_EQ(countIn(statuses, FaultMs + 1000, FaultMs + 4000, anyStatus), 0);
    EXPECT_GE(countIn(frames, FaultMs + 1000, FaultMs + 4000, frame), 5);

    served.stop();
    qvtest::runEventLoopFor(300);
    EXPECT_EQ(window->statusBar()->statusPanel()->text().trimmed(), "Connected");
    EXPECT_FLOAT_EQ(window->core().records().meas.Value, float(served.meter.lastReading().value))
        << "the instrument shows the meter's value";
    EXPECT_GT(served.server.lineFaults().dropped + served.server.lineFaults().flipped, 0u);
}

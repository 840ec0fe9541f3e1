// A full 512-cell memory download from the simulated meter over a real
// pseudo-terminal, with the meter pacing its bytes at the line rate: the wall
// time from the program's ENTER on "send to PC" to the finished memory table,
// against the line time of the bytes the meter sent (the physical limit).
// Arguments: the line rate and the component's TimeOut. The receive thread
// gathers a frame for TimeOut ms before handing it over, so the download
// starts that much after the meter does; 75 ms is the protocol's own value,
// a fast line may do with the time of one frame.
#include "engine/engine.h"
#include "engine/pty.h"

#include "protocol/TComm32QV.h"

#include "QtBenchmarkMain.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <thread>

namespace {

// Runs the event loop (sleeping between events) until `done` or the timeout.
bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done() || deadline.hasExpired())
            loop.quit();
    });
    check.start(1);
    if (!done())
        loop.exec();
    return done();
}

void BM_MemoryDownload(benchmark::State &state)
{
    const uint32_t rate = uint32_t(state.range(0));
    const auto timeOut = uint16_t(state.range(1));
    qv::TBaudRate baud;
    qv::baudRateFromValue(rate, baud);
    qvsim::MeterConfig config;
    config.cells = 512;
    qvsim::MeterEngine meter(config);
    qvsim::ServeOptions options;
    options.lineRate = rate;
    qvsim::PortServer server(meter, options);
    std::string error;
    if (!server.openPty(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::thread serving([&] { server.run(); });

    qv::FixedPortSource ports({QString::fromStdString(server.slavePath())});
    qv::TComm32QV::ResetSharedState();
    qv::TComm32QV comm(1, qv::SerialPlatform{&qv::systemClock(), &qv::qtTimers(), &ports});
    comm.setBaudRate(baud);
    comm.setTimeOut(timeOut);
    comm.setCOMPort(QString::fromStdString(server.slavePath()));
    uint16_t screen = 0;
    uint32_t frames = 0, received = 0;
    bool memo = false;
    comm.OnReceiveInfo = [&](const qv::TDataInfoQV &i) { screen = i.MenuCode; };
    comm.OnRecFrame = [&](const uint8_t *, uint32_t n) { ++frames; received += n; };
    comm.OnReceiveMemo = [&](const uint8_t *, uint32_t) { memo = true; };
    auto press = [&](int key, uint16_t expect) {
        const uint32_t before = frames;
        comm.SendKey(key);
        return waitFor([&] { return frames > before && screen == expect; }, 5000);
    };
    // On to "send to PC": MEMO, then UP to the last item of the memory menu.
    waitFor([] { return false; }, 2000); // the welcome screen passes
    if (!comm.IsOpen() || !press(qv::kcT, 10) || !press(qv::kcR, 15) || !press(qv::kcK, 150)) {
        state.SkipWithError("the simulated meter did not reach its send-to-PC screen");
    } else {
        for (auto _ : state) {
            // The transmit queue spaces keys by TimeOut: let the last one age
            // so that ENTER goes out at once and only the download is timed.
            waitFor([] { return false; }, 300);
            received = 0;
            memo = false;
            QElapsedTimer wall;
            wall.start();
            comm.SendKey(qv::kcK);
            const bool done = waitFor([&] { return memo; }, 120000);
            const double seconds = wall.nsecsElapsed() / 1e9;
            state.SetIterationTime(seconds);
            if (!done) {
                state.SkipWithError("no memory table");
                break;
            }
            // 8N1: ten bit times per byte, one byte sent and all received.
            const double lineSeconds = (1.0 + received) * 10.0 / rate;
            state.counters["bytes"] = received;
            state.counters["line_s"] = lineSeconds;
            state.counters["wall_s"] = seconds;
            state.counters["over_line_pct"] = 100.0 * (seconds - lineSeconds) / lineSeconds;
        }
    }
    comm.Close();
    server.stop();
    serving.join();
}
BENCHMARK(BM_MemoryDownload)->Args({9600, 75})->Args({115200, 75})->Args({115200, 10})
    ->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

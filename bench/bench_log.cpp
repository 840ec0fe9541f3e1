// The measurement log at its limit: a million measurements of a meter in a
// continuous run (one every 500 ms, its fastest rate) go through the whole
// capture path of `qv7xx-cli log` in accelerated time: the protocol
// component decodes each frame, the link upkeep passes the measurement on,
// the capture rules make it a row and the row is appended to the log file and
// flushed (fdatasync). Reported: the CPU time per row and per measurement,
// the share of one core that is at the meter's rate, and how much the
// resident memory grew from the first tenth of the run to its end, and its
// peak over the other nine tenths (a log of days must not grow). The frames
// are recorded once from the simulated meter and replayed, so the meter's own
// work is not counted.
//
// The log file goes to $QV_BENCH_LOG_DIR, else /dev/shm (flushing to a real
// disk costs waiting, not CPU; point the variable at one to see the wait).
#include "files/MeasurementLog.h"
#include "meter/MeterUpkeep.h"
#include "protocol/CaptureReplay.h"
#include "support/SimulatedMeter.h"

#include "QtBenchmarkMain.h"

#include <QFile>

#include <ctime>

using namespace qv;

namespace {

// The CPU time of the whole process (std::clock on Linux), in seconds.
double processCpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

constexpr int Measurements = 1000000;
constexpr uint32_t MeasurementMs = qvsim::MeterEngine::SampleMs;

// What the simulated meter sends in each 500 ms of a run: a measurement
// frame, now and then with the answer to a status request.
std::vector<QByteArray> recordedBlocks()
{
    qvsim::MeterConfig config;
    config.continuous = true;
    config.startSeries = true;
    qvtest::SimulatedMeter sim(config);
    // The run starts once the program speaks; the identification comes
    // round again with every pass over the blocks.
    sim.comm->SendKey(kcI);
    sim.comm->SendKey(kcB);
    std::vector<QByteArray> out;
    for (int i = 0; i < 4000; ++i) {
        sim.meter.advance(MeasurementMs);
        const qvsim::Bytes bytes = sim.meter.takeOutput();
        if (!bytes.empty())
            out.emplace_back(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
    }
    return out;
}

QString logPath()
{
    const QByteArray dir = qgetenv("QV_BENCH_LOG_DIR");
    return (dir.isEmpty() ? QStringLiteral("/dev/shm") : QString::fromLocal8Bit(dir)) +
           QStringLiteral("/qv7xx-bench-log.txt");
}

// state.range(0): the autosave interval in seconds, 0 for a row per
// measurement; -1 decodes and passes on the measurements without logging
// them (the floor).
void BM_LogMillionMeasurements(benchmark::State &state)
{
    const std::vector<QByteArray> blocks = recordedBlocks();
    const QString path = logPath();
    for (auto _ : state) {
        QFile::remove(path);
        CaptureReplay replay(1);
        TComm32QV &comm = replay.comm();
        MeterUpkeep upkeep(comm, replay.clock(), replay.timers());
        LogFile file;
        QString error;
        if (file.open(path, LogFile::Format::History, 1, error) != LogFile::Opened::Created) {
            state.SkipWithError(("cannot create " + path + ": " + error).toLocal8Bit().constData());
            return;
        }
        MeasurementLog log(file, replay.clock());
        log.setInterval(uint32_t(std::max<int64_t>(state.range(0), 0)));
        upkeep.OnReceiveInfo = [&](const TDataInfoQV &info) { log.info(info); };
        upkeep.OnStartMeas = [&] { log.started(); };
        upkeep.OnStopMeas = [&] { log.stopped(); };
        if (state.range(0) >= 0)
            upkeep.OnReceiveMeas = [&](const TDataMeasQV &m) { log.measurement(m); };

        long rssTenth = 0, rssPeak = 0;
        double cpuTenth = 0;
        const double cpuStart = processCpuSeconds();
        for (int i = 0; i < Measurements; ++i) {
            const QByteArray &block = blocks[size_t(i) % blocks.size()];
            comm.DeliverBlock(reinterpret_cast<const uint8_t *>(block.constData()), uint32_t(block.size()));
            replay.advance(MeasurementMs);
            if (i == Measurements / 10) {
                rssTenth = qvbench::statusKb("VmRSS:");
                cpuTenth = processCpuSeconds();
            }
            if (i > Measurements / 10 && i % (Measurements / 100) == 0)
                rssPeak = std::max(rssPeak, qvbench::statusKb("VmRSS:"));
        }
        const double cpu = processCpuSeconds() - cpuStart;
        const long rssEnd = qvbench::statusKb("VmRSS:");
        const double rows = double(log.rowsWritten());
        state.counters["rows"] = rows;
        state.counters["cpu_us_per_row"] = rows > 0 ? cpu * 1e6 / rows : 0;
        state.counters["cpu_us_per_meas"] = cpu * 1e6 / Measurements;
        // One measurement every 500 ms: the share of one core in per cent.
        state.counters["core_pct_at_meter_rate"] = cpu / Measurements / (MeasurementMs / 1000.0) * 100;
        state.counters["cpu_s_last_90pct"] = processCpuSeconds() - cpuTenth;
        state.counters["rss_kb"] = double(rssEnd);
        state.counters["rss_growth_kb"] = double(rssEnd - rssTenth);
        // The store gives each row up once written: what is held comes and
        // goes with the compaction of its cells, the peak stays where it was.
        state.counters["rss_peak_after_tenth_kb"] = double(std::max(rssPeak, rssEnd));
        file.close();
        QFile::remove(path);
    }
}
BENCHMARK(BM_LogMillionMeasurements)->Arg(-1)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

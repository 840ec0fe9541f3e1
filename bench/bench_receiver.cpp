// Throughput of the meter protocol receiver on a realistic mixed stream:
// measurement series, status and text frames, a full 512-cell memory
// download and some line noise, handed over in blocks as the receive thread
// does (up to SizeBufRXD = 1024 bytes), with every event assigned.
#include "protocol/CaptureReplay.h"
#include "protocol/FormatSettings.h"
#include "support/Frames.h"

#include "QtBenchmarkMain.h"


using namespace qv;
using qvtest::Frame;
using qvtest::MemoryBlock;

namespace {

Frame measurement(std::mt19937 &rng, uint8_t key, uint8_t type = 0x02)
{
    std::uniform_real_distribution<float> lamp(480.0f, 520.0f);
    const float v = lamp(rng);
    return Frame(type).keys(key).byte(5, 0x32).byte(7, 10).byte(8, 0x31).byte(9, 0x03)
        .byte(10, 15).byte(11, 39).single(26, v).byte(30, 41).u32(32, 12)
        .single(36, v * 12).single(40, 480.0f).single(44, 520.0f).clock();
}

QByteArray mixedCapture()
{
    std::mt19937 rng(7);
    QByteArray out;
    out += Frame(0x2B).data();
    out += Frame(0x01).menu(1).clock().data();
    out += Frame(0x01).clock().data();
    for (int series = 0; series < 40; ++series) {
        out += measurement(rng, 'S').data();
        for (int i = 0; i < 20; ++i)
            out += measurement(rng, 'R').data();
        out += Frame(0x01).keys('s').clock().data();
        out += Frame(0x01).keys('T').menu(10).clock().data();
        out += Frame(0x06).keys('E').menu(100).text(26, "LAMP 7").byte(42, 6).byte(43, 't').data();
        out += QByteArray("\x13\x00noise", 7);
        out += Frame(0x01).keys('J').clock().data();
    }
    MemoryBlock block(512);
    for (int u = 0; u < 512; ++u) {
        Frame cell = measurement(rng, 0, 0x00);
        cell.text(48, "CELL COMMENT    ");
        if (u % 3 == 1)
            cell.byte(5, 0x08).u32(32, 3600 + u);
        block.setCell(u, cell);
    }
    out += Frame(0x03).u32(26, block.size()).menu(150).data();
    out += block.data();
    return out;
}

void BM_ReceiverMixedStream(benchmark::State &state)
{
    const QByteArray capture = mixedCapture();
    ScopedFormatSettings settings(FormatSettings{'.', '-', ':'});
    size_t events = 0;
    for (auto _ : state) {
        CaptureReplay replay(1);
        TComm32QV &comm = replay.comm();
        comm.OnReceiveMeas = [&](const TDataMeasQV &m) { events += size_t(m.ValueText.size()); };
        comm.OnReceiveInfo = [&](const TDataInfoQV &i) { events += i.MenuCode; };
        comm.OnReceiveText = [&](const TDataTextQV &t) { events += size_t(t.Text.size()); };
        comm.OnReceiveInfoMeter = [&](const TInfoMeterQV &) { ++events; };
        comm.OnReceiveMemo = [&](const uint8_t *, uint32_t n) { events += n; };
        comm.OnProgressMemo = [&](int32_t, int32_t c, int32_t) { events += size_t(c); };
        comm.OnRecFrame = [&](const uint8_t *, uint32_t n) { events += n; };
        comm.OnCOMStatus = [&](int code, const QString &) { events += size_t(code); };
        replay.deliver(capture, state.range(0));
    }
    benchmark::DoNotOptimize(events);
    state.SetBytesProcessed(int64_t(state.iterations()) * capture.size());
    state.counters["capture_bytes"] = double(capture.size());
}
BENCHMARK(BM_ReceiverMixedStream)->Arg(64)->Arg(1024)->Unit(benchmark::kMillisecond);

} // namespace

// Random bytes in random block splits through the meter protocol receiver.
// Input: one control byte (bit 0 language, bit 1 decimal comma, the rest seeds
// the block sizes and the pauses between blocks), then the byte stream.
#include "protocol/CaptureReplay.h"
#include "protocol/FormatSettings.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

namespace {

uint32_t nextRandom(uint32_t &state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t control = data[0];
    qv::ScopedFormatSettings settings(
        qv::FormatSettings{(control & 2) ? QChar(',') : QChar('.'), '-', ':'});
    qv::CaptureReplay replay(control & 1);
    qv::TComm32QV &comm = replay.comm();

    // Touch every record so that the sanitizers see each field written.
    volatile size_t sink = 0;
    comm.OnReceiveMeas = [&](const qv::TDataMeasQV &m) {
        sink += size_t(m.ValueText.size() + m.Description.size());
    };
    comm.OnReceiveInfo = [&](const qv::TDataInfoQV &i) { sink += i.MenuCode; };
    comm.OnReceiveInfoMeter = [&](const qv::TInfoMeterQV &i) { sink += size_t(i.UpperText.size()); };
    comm.OnReceiveText = [&](const qv::TDataTextQV &t) { sink += size_t(t.Text.size()); };
    comm.OnReceiveMemo = [&](const uint8_t *buf, uint32_t n) { sink += n ? buf[n - 1] : 0; };
    comm.OnProgressMemo = [&](int32_t, int32_t cell, int32_t) { sink += size_t(cell); };
    comm.OnCOMStatus = [&](int code, const QString &) { sink += size_t(code); };
    comm.OnRecFrame = [&](const uint8_t *buf, uint32_t n) { sink += n ? buf[0] : 0; };

    uint32_t state = 0x9E3779B9u ^ (uint32_t(control) << 8) ^ uint32_t(size);
    size_t at = 1;
    while (at < size) {
        const size_t block = std::min<size_t>(size - at, 1 + nextRandom(state) % 200);
        comm.DeliverBlock(data + at, uint32_t(block));
        at += block;
        const uint32_t r = nextRandom(state);
        if (r % 8 == 0)
            replay.advance(r % 20000); // sometimes the response watch expires
        if (r % 97 == 0)
            comm.SendKey(int(r % 14) - 1);
    }
    replay.advance(60000);
    return 0;
}

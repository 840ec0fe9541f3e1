#include "engine/frames.h"

#include <cassert>
#include <cstring>

namespace qvsim {

size_t frameLength(uint8_t type)
{
    switch (type) {
    case FrameRecordView: return 66;
    case FrameStatus: return 28;
    case FrameMeasurement: return 50;
    case FrameIdentification: return 106;
    case FramePreview: return 66;
    case FrameText: return 49;
    case FrameSync:
    case FramePowerOn:
    case FramePowerOff: return 5;
    default: return 0;
    }
}

void put16(uint8_t *p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void put32(uint8_t *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

void putFloat(uint8_t *p, float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    put32(p, bits);
}

uint16_t get16(const uint8_t *p) { return uint16_t(p[0] | (p[1] << 8)); }

uint32_t get32(const uint8_t *p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

float getFloat(const uint8_t *p)
{
    uint32_t bits = get32(p);
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}

void StatusBlock::encode(uint8_t *d) const
{
    d[0] = key1;
    d[1] = key2;
    put16(d + 2, status);
    d[4] = probeCode;
    d[5] = uint8_t((rangeCount << 4) | (rangeIndex & 0x0F));
    d[6] = uint8_t((attachment << 4) | (decades & 0x0F));
    d[7] = uint8_t((unitRow << 5) | (converter & 0x1F));
    d[8] = exponent0;
    put16(d + 9, screen);
    put16(d + 11, memoryWord);
    d[13] = battery;
    d[14] = autosaveCode;
    d[15] = autoOffCode;
    d[16] = baudIndex;
    std::memcpy(d + 17, clock.data(), clock.size());
}

void MeasurementBlock::setSeries(uint32_t countOrSeconds, float sum, float min, float max)
{
    put32(&modeBytes[0], countOrSeconds);
    putFloat(&modeBytes[4], sum);
    putFloat(&modeBytes[8], min);
    putFloat(&modeBytes[12], max);
}

void MeasurementBlock::setRelative(uint8_t multiplier, float reference, float percent)
{
    modeBytes.fill(0);
    modeBytes[0] = multiplier;
    putFloat(&modeBytes[1], reference);
    putFloat(&modeBytes[5], percent);
}

void MeasurementBlock::encode(uint8_t *d) const
{
    putFloat(d, value);
    d[4] = exponent;
    d[5] = limitCode;
    std::memcpy(d + 6, modeBytes.data(), modeBytes.size());
}

void TextBlock::encode(uint8_t *d) const
{
    std::memcpy(d, text.data(), text.size());
    d[16] = length;
    d[17] = mode;
    d[18] = cursor;
    d[19] = extra;
    d[20] = cursorType;
}

Bytes makeFrame(uint8_t type, const uint8_t *payload, size_t n)
{
    const size_t len = frameLength(type);
    assert(len >= 5 && n == len - 5);
    Bytes f(len);
    f[0] = f[1] = '%';
    f[2] = type;
    if (n)
        std::memcpy(f.data() + 3, payload, n);
    f[len - 2] = f[len - 1] = '#';
    return f;
}

Bytes markerFrame(uint8_t type) { return makeFrame(type, nullptr, 0); }

Bytes statusFrame(const StatusBlock &st)
{
    uint8_t p[23];
    st.encode(p);
    return makeFrame(FrameStatus, p, sizeof p);
}

Bytes measurementFrame(const StatusBlock &st, const MeasurementBlock &m)
{
    uint8_t p[45];
    st.encode(p);
    m.encode(p + MeasurementOffset - StatusOffset);
    return makeFrame(FrameMeasurement, p, sizeof p);
}

Bytes textFrame(const StatusBlock &st, const TextBlock &t)
{
    uint8_t p[44];
    st.encode(p);
    t.encode(p + TextOffset - StatusOffset);
    return makeFrame(FrameText, p, sizeof p);
}

Bytes cellFrame(uint8_t type, const std::array<uint8_t, CellSize> &cell, const StatusBlock &now)
{
    // The cell already holds the end marker's place; only bytes 3..63 are payload.
    Bytes f = makeFrame(type, cell.data(), 61);
    f[3] = now.key1;
    f[4] = now.key2;
    put16(&f[12], now.screen);
    return f;
}

std::string Identification::area() const
{
    std::string a(70, ' ');
    a.replace(0, std::min<size_t>(17, buildDate.size()), buildDate.substr(0, 17));
    a.replace(17, std::min<size_t>(4, version.size()), version.substr(0, 4));
    // Characters 24, 26, ... 70 (counted from 1) hold one digit per slot.
    for (size_t i = 0; i < permissions.size(); ++i)
        a[23 + 2 * i] = char('0' + permissions[i]);
    return a;
}

Bytes identificationFrame(const StatusBlock &st, uint32_t memoryBlockSize, const Identification &id)
{
    uint8_t p[101] = {};
    st.encode(p);
    put32(p + 26 - 3, memoryBlockSize);
    const std::string a = id.area();
    std::memcpy(p + 30 - 3, a.data(), 70);
    put32(p + 100 - 3, uint32_t(id.calibration));
    return makeFrame(FrameIdentification, p, sizeof p);
}

std::array<uint8_t, CellSize> makeCell(const StatusBlock &st, const MeasurementBlock &m,
                                       const std::array<uint8_t, 16> &comment)
{
    std::array<uint8_t, CellSize> c{};
    st.encode(c.data());
    m.encode(c.data() + MeasurementOffset - StatusOffset);
    std::memcpy(c.data() + CommentOffset - StatusOffset, comment.data(), comment.size());
    c[61] = c[62] = '#';  // where the record frame's end marker stands
    return c;
}

Bytes memoryBlock(const std::vector<std::array<uint8_t, CellSize>> &cells)
{
    Bytes b;
    b.reserve(4 + cells.size() * CellSize);
    b.push_back('!');
    b.push_back('!');
    for (const auto &c : cells)
        b.insert(b.end(), c.begin(), c.end());
    b.push_back('!');
    b.push_back('!');
    return b;
}

} // namespace qvsim

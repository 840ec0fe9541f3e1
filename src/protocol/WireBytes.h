// Little-endian numbers and IEEE 754 singles as the meter sends them.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

namespace qv {

inline uint16_t readU16(const uint8_t *p) { return uint16_t(p[0] | (p[1] << 8)); }

inline uint32_t readU32(const uint8_t *p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

inline int32_t readI32(const uint8_t *p) { return static_cast<int32_t>(readU32(p)); }

inline float readSingle(const uint8_t *p)
{
    const uint32_t bits = readU32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// A single that cannot serve as a number (NaN or infinity) reads as 0: for
// the measured value, whose range text and bar position cannot place it.
inline float readSingleGuarded(const uint8_t *p)
{
    const float f = readSingle(p);
    return std::isfinite(f) ? f : 0.0f;
}

inline void writeU16(uint8_t *p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

inline void writeU32(uint8_t *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

inline void writeSingle(uint8_t *p, float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    writeU32(p, bits);
}

} // namespace qv

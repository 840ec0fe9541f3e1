// A long or poor cable between the meter and the computer: each byte the
// meter sends may lose one bit (noise) or be lost altogether (a dropped
// byte). One seeded generator, so a run is repeated exactly by its seed.
#pragma once

#include "engine/frames.h"

#include <cstdint>
#include <random>

namespace qvsim {

class LineFaults {
public:
    LineFaults(double noise, double drop, uint32_t seed);

    // Spoils `bytes` in place as the line would.
    void apply(Bytes &bytes);
    bool any() const { return m_noise > 0 || m_drop > 0; }

    uint64_t flipped = 0;
    uint64_t dropped = 0;

private:
    double m_noise;
    double m_drop;
    std::mt19937 m_random;
};

} // namespace qvsim

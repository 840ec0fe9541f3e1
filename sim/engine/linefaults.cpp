#include "engine/linefaults.h"

#include <algorithm>

namespace qvsim {

LineFaults::LineFaults(double noise, double drop, uint32_t seed)
    : m_noise(std::clamp(noise, 0.0, 1.0)), m_drop(std::clamp(drop, 0.0, 1.0)), m_random(seed)
{
}

void LineFaults::apply(Bytes &bytes)
{
    if (!any())
        return;
    std::bernoulli_distribution flip(m_noise);
    std::bernoulli_distribution lose(m_drop);
    std::uniform_int_distribution<int> bit(0, 7);
    size_t kept = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        uint8_t b = bytes[i];
        if (m_drop > 0 && lose(m_random)) {
            ++dropped;
            continue;
        }
        if (m_noise > 0 && flip(m_random)) {
            b ^= uint8_t(1u << bit(m_random));
            ++flipped;
        }
        bytes[kept++] = b;
    }
    bytes.resize(kept);
}

} // namespace qvsim

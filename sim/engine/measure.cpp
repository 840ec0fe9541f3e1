#include "engine/measure.h"

#include <algorithm>
#include <cmath>

namespace qvsim {

namespace {
constexpr double TwoPi = 6.283185307179586;
}

Lamp::Lamp(double irradiance, double luminance, uint32_t seed)
    : m_irradiance(irradiance), m_luminance(luminance), m_random(seed)
{
    std::uniform_real_distribution<double> phase(0.0, TwoPi);
    m_phaseSlow = phase(m_random);
    m_phaseFast = phase(m_random);
}

void Lamp::setLevel(double irradiance, double luminance)
{
    m_irradiance = irradiance;
    m_luminance = luminance;
}

double Lamp::factor(uint64_t ms)
{
    // A mains lamp: a slow thermal wander of ±1.5 % over minutes, a faster
    // flutter of ±0.4 % and a little detector noise.
    const double t = double(ms) / 1000.0;
    const double drift = 0.015 * std::sin(TwoPi * t / 420.0 + m_phaseSlow)
        + 0.004 * std::sin(TwoPi * t / 53.0 + m_phaseFast);
    return std::max(0.0, 1.0 + drift + m_noise(m_random));
}

double RangeScale::fullScale(int index) const
{
    // Mantissa 1.5 × 2^(r - 15); above 6 it wraps to the next decade (1.2).
    const int e = exponentCode(index);
    const int k = e - 39 - (rangeNumber > 17 ? 1 : 0);
    return std::pow(10.0, k) * 1.5 * std::ldexp(1.0, rangeNumber - 15);
}

int RangeScale::bestRange(double value) const
{
    for (int i = 0; i < count; ++i)
        if (value <= 0.95 * fullScale(i))
            return i;
    return count - 1;
}

Reading classify(const RangeScale &scale, int range, double value)
{
    Reading r;
    r.range = range;
    const double fs = scale.fullScale(range);
    const double floor = range > 0 ? 0.9 * scale.fullScale(range - 1) : fs * 1e-4;
    r.over = value > fs;
    r.under = value < floor;
    r.value = std::min(value, 2.0 * fs);  // the converter saturates
    // Which third of the range's decades the reading sits in.
    int position = 0;
    if (r.value > 0) {
        const double span = std::max(1, scale.decades);
        const double fraction = 1.0 + std::log10(r.value / fs) / span;
        position = std::clamp(int(fraction * 3.0), 0, 2);
    }
    const int code = r.over ? 2 : r.under ? 1 : 0;
    r.limitCode = uint8_t(code * 3 + position);
    return r;
}

int prefixStep(double value)
{
    return value > 0 ? int(std::floor(std::log10(value) / 3.0)) : 0;
}

void Statistics::add(double v)
{
    if (count == 0) {
        min = max = v;
    } else {
        min = std::min(min, v);
        max = std::max(max, v);
    }
    ++count;
    sum += v;
}

void Integrator::add(double v, uint32_t dtMs, bool overRange)
{
    if (!started) {
        min = max = v;
        started = true;
    } else {
        min = std::min(min, v);
        max = std::max(max, v);
    }
    integral += v * dtMs / 1000.0;
    elapsedMs += dtMs;
    over = over || overRange;
}

} // namespace qvsim

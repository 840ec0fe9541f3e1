// The measuring side of the meter: a lamp in front of the probe (slow drift
// and small noise from a seeded generator), the probe's ranges with automatic
// or manual ranging, and the figures the measuring modes accumulate.
#pragma once

#include "engine/probes.h"

#include <cstdint>
#include <random>

namespace qvsim {

// The light the probe sees. Both quantities follow the same drift.
class Lamp {
public:
    Lamp(double irradiance, double luminance, uint32_t seed);
    void setLevel(double irradiance, double luminance);
    double irradiance(uint64_t ms) { return m_irradiance * factor(ms); }
    double luminance(uint64_t ms) { return m_luminance * factor(ms); }

private:
    double factor(uint64_t ms);

    double m_irradiance;
    double m_luminance;
    double m_phaseSlow;
    double m_phaseFast;
    std::mt19937 m_random;
    std::normal_distribution<double> m_noise{0.0, 0.0015};
};

// The ranges in force: count, decades between them, range number and the
// exponent code of range 0, all as the status block reports them.
struct RangeScale {
    int count = 3;
    int decades = 1;
    int rangeNumber = 15;  // as the program computes it from bytes 5, 6 and 10
    int exponent0 = 39;

    double fullScale(int index) const;
    uint8_t exponentCode(int index) const { return uint8_t(exponent0 + index * decades); }
    // The range that shows `value` best: the lowest whose full scale holds it.
    int bestRange(double value) const;
};

// One reading classified against a range.
struct Reading {
    double value = 0;       // what the meter shows (saturates above full scale)
    int range = 0;
    bool over = false;
    bool under = false;
    uint8_t limitCode = 0;  // range-limit code × 3 + position in the range
};

Reading classify(const RangeScale &scale, int range, double value);

// The SI prefix (in steps of 10^3) a value is shown with: -1 for m, 1 for k.
int prefixStep(double value);

// Count, sum, minimum and maximum of the values added.
struct Statistics {
    uint32_t count = 0;
    double sum = 0;
    double min = 0;
    double max = 0;
    void add(double v);
    void clear() { *this = Statistics(); }
};

// The integral of the readings over the integration time, with the readings'
// extremes; `over` remembers an over-range reading while integrating.
struct Integrator {
    double integral = 0;
    uint64_t elapsedMs = 0;
    double min = 0;
    double max = 0;
    bool over = false;
    bool started = false;
    void add(double v, uint32_t dtMs, bool overRange);
    uint32_t seconds() const { return uint32_t(elapsedMs / 1000); }
    void clear() { *this = Integrator(); }
};

} // namespace qvsim

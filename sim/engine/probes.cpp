#include "engine/probes.h"

namespace qvsim {

ProbeSpec probeSpec(uint8_t code)
{
    // unit, ranges, decades, converter, exponent of range 0, lamp, lamp luminance
    switch (code / 10) {
    case 0: return {UnitWatt, 3, 1, 15, 39, 42.0, 380.0};           // prototype: 1.5 ... 150
    case 1: return {UnitLux, 5, 1, 18, 40, 523.0, 8500.0};          // luxmeter: 12 lx ... 120 klx
    case 2: return {UnitWatt, 4, 1, 15, 36, 0.35, 2.4};             // blue light: 1.5 mW/m² ... 1.5 W/m²
    case 3: return {UnitWatt, 4, 1, 16, 37, 7.2, 48.0};             // retinal: 30 mW/m² ... 30 W/m²
    case 4: return {UnitWatt, 4, 1, 15, 35, 0.042, 0.31};           // UV hazard: 0.15 mW/m² ... 0.15 W/m²
    case 5: return {UnitWatt, 4, 1, 17, 37, 12.5, 95.0};            // UV-A: 60 mW/m² ... 60 W/m²
    case 6: return {UnitAmpere, 5, 1, 18, 28, 3.5e-9, 2.6e-8};      // 12 pA ... 120 nA
    case 7: return {UnitAmpere, 4, 2, 16, 30, 2.5e-5, 1.9e-4};      // 3 nA ... 3 mA in steps of 100
    case 8: return {UnitWatt, 4, 1, 15, 40, 250.0, 1900.0};         // infrared: 15 W/m² ... 15 kW/m²
    case 9: return {UnitEinstein, 4, 1, 18, 34, 4.8e-4, 3.6e-3};    // PAR: 12 µE ... 12 mE/(m²·s)
    case 23: return {UnitWatt, 3, 1, 16, 38, 1.8, 14.0};            // 0.3 ... 30 W/m²
    default: return {};                                             // a probe the table has no unit for
    }
}

uint8_t defaultProbe(Model model) { return model == Model::K700 ? 10 : 20; }

std::array<uint8_t, 24> probePermissions(Model model)
{
    std::array<uint8_t, 24> p{};
    if (model == Model::K700) {
        p[1] = 5;  // a luxmeter takes only its own probes
        return p;
    }
    const uint8_t radiometer[10] = {9, 5, 3, 3, 2, 4, 1, 2, 3, 2};
    for (int i = 0; i < 10; ++i)
        p[i] = radiometer[i];
    p[12] = 1;  // two probe families of special orders
    p[15] = 1;
    p[23] = 2;
    return p;
}

ProbeAccess probeAccess(Model model, uint8_t code)
{
    const unsigned family = code / 10;
    if (family >= 24)
        return ProbeAccess::InitError;
    const uint8_t highest = probePermissions(model)[family];
    return highest != 0 && code % 10 <= highest ? ProbeAccess::Allowed : ProbeAccess::Denied;
}

int32_t factoryCalibration(uint8_t code)
{
    // Each probe leaves the factory with its own factor, well inside the range.
    return 7340032 + int32_t(code % 37) * 21013;
}

} // namespace qvsim

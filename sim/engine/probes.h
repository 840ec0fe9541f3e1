// The probes the meter takes: their ranges and units, and which of them each
// meter model accepts (the permission digits of the identification frame).
#pragma once

#include <array>
#include <cstdint>

namespace qvsim {

enum class Model { QV700, K700 };

// Unit rows (bits 5-7 of status byte 10): irradiance lx, W/m², A, E/(m²·s);
// in luminance mode the rows 0 and 1 read cd/m² and W/(m²·sr).
enum UnitRow : uint8_t { UnitLux = 0, UnitWatt = 1, UnitAmpere = 2, UnitEinstein = 3, UnitNameless = 5 };

struct ProbeSpec {
    uint8_t unitRow = UnitNameless;
    uint8_t rangeCount = 3;
    uint8_t decades = 1;       // adjacent ranges differ by 10^decades
    uint8_t converter = 15;    // range number in irradiance mode (15: 1.5, 16: 3, 17: 6, 18: 1.2 × 10^k)
    uint8_t exponent0 = 39;    // exponent code of range 0: full scale 10^(code - 39) × the converter's mantissa
    double lamp = 42;          // a typical lamp's reading in the probe's unit
    double lampLuminance = 420;
};

ProbeSpec probeSpec(uint8_t probeCode);
uint8_t defaultProbe(Model model);

// The highest probe variant (code mod 10) each family slot (code div 10,
// 0 ... 23) accepts; 0 = the family is not accepted.
std::array<uint8_t, 24> probePermissions(Model model);

enum class ProbeAccess { Allowed, Denied, InitError };
// Denied: a family the model does not accept, or a newer variant than it
// knows; InitError: a code beyond every slot, which the meter cannot set up.
ProbeAccess probeAccess(Model model, uint8_t probeCode);

// Factory calibration of a probe: a fraction of 8388607 within the meter's
// accepted range 4194304 ... 8388607.
constexpr int32_t CalibrationMin = 4194304;
constexpr int32_t CalibrationMax = 8388607;
int32_t factoryCalibration(uint8_t probeCode);

} // namespace qvsim

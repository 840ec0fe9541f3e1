// Probe names and the probe description shown with every measurement.
// A probe code is family * 10 + variant.
#pragma once

#include <QString>

#include <cstdint>
#include <string_view>

namespace qv {

// The model name of the probe ("Z.K-700", ...); "?" for an unknown family;
// the no-probe text without a probe.
QString ProbeModelName(uint8_t language, bool probePresent, uint8_t probeCode);

// The measured quantity ("Luxmeter", "BLH Radiometer", ...). Families from
// 10 up take the generic name of `probeClass` (0 to 3), else the unknown text.
QString ProbeTypeName(uint8_t language, bool probePresent, uint8_t probeCode, int probeClass);

// The model name followed by the marks of the measurement: ", Under",
// ", Over", ", Over Integ.", ", Lum." and the attachment angle.
QString ProbeDescription(uint8_t language, bool probePresent, uint8_t probeCode,
                         uint8_t angleCode, bool luminance, bool doseOverflow,
                         bool over, bool under);

// The unit of the quantity a probe measures, from the notes of a row
// ("Z.K-700, Over" -> "lx"; ", Lum." for the luminance attachment); empty
// when the probe is not known.
QString ProbeUnitOfNotes(std::string_view notes);

} // namespace qv

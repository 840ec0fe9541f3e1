// What the meter information window lists, as rows of a label and a value,
// built from the status and identification records without any widget: the
// attached probe (type, firmware, ranges, dynamic range, unit, luminance
// mode, calibration), the control unit, and the probe types the control unit
// accepts with their highest firmware versions.
#pragma once

#include "protocol/Records.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace qv {

struct InfoRow {
    QString label;
    QString value;
    bool bold = false;
    // The label runs on into the value column (the luminance range rows).
    bool wideLabel = false;
    // Drawn from the left rather than centred (grouped unlisted probe codes).
    bool leftAligned = false;
};

struct AllowedProbe {
    QString name;
    QString version;
};

// The name the probe table gives to a code it does not list.
QString unlistedProbeName();

// The unit of the unit kind; luminance-capable probes add the luminance unit.
QString infoUnitText(uint8_t unitKind, bool luminanceCapable);

// The calibration coefficient and its value as a fraction of 8388607, with
// seven decimals: "8388607 = 1.0000000".
QString calibrationText(int32_t coefficient);

// "dd-mm-yyyy hh:nn:ss" with the separators of the formatting settings.
QString compilationDateText(TDateTime t);

// The probe types allowed by the 24 permission bytes (slot i is probe family
// i), sorted by name; unlisted codes come last, grouped by version into rows
// named "2× ?".
std::vector<AllowedProbe> allowedProbes(uint8_t language, const std::array<uint8_t, 24> &permissions);

// Every row of the window. `ctrlHeld` adds the compilation date row.
std::vector<InfoRow> buildInfoRows(uint8_t language, const TDataInfoQV &info,
                                   const TInfoMeterQV &meter, bool ctrlHeld);

} // namespace qv

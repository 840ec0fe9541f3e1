#include "instrument/TInfoBoxRows.h"

#include "protocol/FormatSettings.h"
#include "protocol/Probes.h"
#include "protocol/ValueFormat.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace qv {

namespace {

constexpr double CalibrationUnit = 8388607.0;

QString pick(uint8_t language, const char *pl, const char *en)
{
    return QString::fromUtf8(language == 0 ? pl : en);
}

QString rangeText(const QString &lower, const QString &upper)
{
    return lower + QStringLiteral(" ÷ ") + upper;
}

} // namespace

QString unlistedProbeName()
{
    return ProbeModelName(1, true, 255);
}

QString infoUnitText(uint8_t unitKind, bool luminanceCapable)
{
    switch (unitKind) {
    case 0:
        return luminanceCapable ? QStringLiteral("lx  &  cd·m-2") : QStringLiteral("lx");
    case 1:
        return luminanceCapable ? QStringLiteral("W·m-2  &  W·m-2·sr-1") : QStringLiteral("W·m-2");
    case 2:
        return QStringLiteral("A");
    case 3:
        return luminanceCapable ? QStringLiteral("E·m-2·s-1  &  E·m-2·s-1·sr-1")
                                : QStringLiteral("E·m-2·s-1");
    default:
        return QStringLiteral("-");
    }
}

QString calibrationText(int32_t coefficient)
{
    QString fraction = QString::number(coefficient / CalibrationUnit, 'f', 7);
    fraction.replace(QLatin1Char('.'), formatSettings().decimalSeparator);
    return QString::number(coefficient) + QStringLiteral(" = ") + fraction;
}

QString compilationDateText(TDateTime t)
{
    const QDateTime dt = ToQDateTime(t);
    const QChar ds = formatSettings().dateSeparator;
    const QChar ts = formatSettings().timeSeparator;
    const QDate d = dt.date();
    const QTime tm = dt.time();
    return PadNumber(d.day(), 2) + ds + PadNumber(d.month(), 2) + ds + PadNumber(d.year(), 4)
        + QLatin1Char(' ') + PadNumber(tm.hour(), 2) + ts + PadNumber(tm.minute(), 2) + ts
        + PadNumber(tm.second(), 2);
}

std::vector<AllowedProbe> allowedProbes(uint8_t language, const std::array<uint8_t, 24> &permissions)
{
    // Unlisted codes are kept apart and follow the sorted names, one row per
    // version (ascending as text) with the number of slots allowing it.
    std::vector<AllowedProbe> listed;
    std::map<QString, int> unlisted;
    for (size_t slot = 0; slot < permissions.size(); ++slot) {
        if (permissions[slot] == 0)
            continue;
        AllowedProbe probe{ProbeModelName(language, true, uint8_t(slot * 10)),
                           QString::number(permissions[slot])};
        if (probe.name == unlistedProbeName())
            ++unlisted[probe.version];
        else
            listed.push_back(probe);
    }
    std::stable_sort(listed.begin(), listed.end(), [](const AllowedProbe &a, const AllowedProbe &b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    for (const auto &[version, count] : unlisted)
        listed.push_back({QString::number(count) + QStringLiteral("× ") + unlistedProbeName(), version});
    return listed;
}

std::vector<InfoRow> buildInfoRows(uint8_t language, const TDataInfoQV &info,
                                   const TInfoMeterQV &meter, bool ctrlHeld)
{
    const bool luminance = meter.LuminanceCapable != 0;
    const bool probe = info.ProbePresent;
    std::vector<InfoRow> rows;
    auto add = [&rows](const QString &label, const QString &value = QString()) -> InfoRow & {
        rows.push_back({label, value});
        return rows.back();
    };
    // A probe value, or "-" without a probe.
    auto probeValue = [probe](const QString &value) { return probe ? value : QStringLiteral("-"); };

    add(pick(language, "Dołączona głowica pomiarowa", "Measurement probe")).bold = true;
    QString type = ProbeModelName(language, probe, meter.ProbeCode);
    if (!probe || type == unlistedProbeName())
        type = ProbeDescription(language, probe, meter.ProbeCode, 0, false, false, false, false);
    add(pick(language, "Typ:", "Type:"), type);
    add(pick(language, "Wersja programu:", "Firmware version:"), probeValue(meter.ProbeVariant));
    add(pick(language, "Ilość zakresów:", "Range count:"), probeValue(QString::number(meter.RangeCount)));
    add(pick(language, "Krotność zakresów:", "Range multiplication factor:"),
        probeValue(QStringLiteral("×")
                   + QString::number(std::llround(std::pow(10.0, meter.RangeMultiplicity)))));
    add(pick(language, "Dynamika:", "Dynamic range:"),
        probeValue(rangeText(meter.LowerText, meter.UpperText)));
    if (luminance) {
        static const char *const angles[3] = {"1°:", "3°:", "10°:"};
        for (size_t i = 0; i < 3; ++i) {
            add(pick(language, "      • tryb luminancji ", "      • luminance mode ")
                    + QString::fromUtf8(angles[i]),
                probeValue(rangeText(meter.RangeLowerText[i], meter.RangeUpperText[i])))
                .wideLabel = true;
        }
    }
    add(pick(language, "Jednostka:", "Measured quantity unit:"),
        probeValue(infoUnitText(meter.UnitKind, luminance)));
    add(pick(language, "Tryb luminancji:", "Luminance mode:"),
        probeValue(luminance ? pick(language, "TAK", "YES") : pick(language, "NIE", "NO")));
    add(pick(language, "Wsp. kalibracji:", "Calibration factor:"),
        probeValue(calibrationText(meter.CalibrationCoefficient)));

    add(QString());
    add(pick(language, "Jednostka sterująca", "Control unit")).bold = true;
    add(pick(language, "Wersja programu:", "Firmware version:"), meter.FirmwareVersion);
    if (ctrlHeld)
        add(pick(language, "Data kompilacji:", "Compilation date:"), compilationDateText(meter.BuildDate));

    add(pick(language, "Uprawnienia do głowic pomiarowych:", "Allowed measurement probes:")).bold = true;
    add(pick(language, "typ głowicy", "type"), pick(language, "max. wersja programu", "max. firmware version"));
    for (const AllowedProbe &allowed : allowedProbes(language, meter.Permissions)) {
        InfoRow &row = add(allowed.name, allowed.version);
        row.bold = allowed.name == type && allowed.name != unlistedProbeName();
        row.leftAligned = allowed.name.endsWith(unlistedProbeName());
    }
    return rows;
}

} // namespace qv

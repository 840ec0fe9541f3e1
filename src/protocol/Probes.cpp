#include "protocol/Probes.h"

#include <array>

namespace qv {

namespace {

struct ModelRow {
    int family;
    const char *polish;
    const char *english;
};

const ModelRow kModels[] = {
    {0, "Prototyp", "Prototype"},
    {1, "Z.K-700", "Z.K-700"},
    {2, "Z.BLH-700", "Z.BLH-700"},
    {3, "Z.RLH-700", "Z.RLH-700"},
    {4, "Z.UVH-700", "Z.UVH-700"},
    {5, "Z.UVA-700", "Z.UVA-700"},
    {6, "Amperomierz 700f", "Ammeter 700f"},
    {7, "Amperomierz 7p", "Ammeter 7p"},
    {8, "Z.IR-700", "Z.IR-700"},
    {9, "Z.PAR-700", "Z.PAR-700"},
    {23, "Z.S-700", "Z.S-700"},
};

const char *const kTypeNames[2][10] = {
    {"Prototyp", "Luksomierz", "Miernik BLH", "Miernik RLH", "Miernik UVH", "Miernik UVA",
     "Amperomierz", "Amperomierz", "Miernik IR", "Miernik PAR"},
    {"Prototype", "Luxmeter", "BLH Radiometer", "RLH Radiometer", "UVH Radiometer",
     "UVA Radiometer", "Ammeter", "Ammeter", "IR Radiometer", "PAR Radiometer"},
};

const char *const kClassNames[2][4] = {
    {"Luksomierz", "Radiometr", "Amperomierz", "Miernik PAR"},
    {"Luxmeter", "Radiometer", "Ammeter", "PAR Radiometer"},
};

int lang(uint8_t language) { return language == 0 ? 0 : 1; }

QString noProbeText(uint8_t language)
{
    return lang(language) == 0 ? QStringLiteral("Brak głowicy") : QStringLiteral("No probe");
}

} // namespace

QString ProbeModelName(uint8_t language, bool probePresent, uint8_t probeCode)
{
    if (!probePresent)
        return noProbeText(language);
    const int family = probeCode / 10;
    // Built once: the description of most measurements is the bare name.
    static const auto names = [] {
        std::array<std::array<QString, 2>, 24> table;
        for (auto &row : table)
            row = {QStringLiteral("?"), QStringLiteral("?")};
        for (const ModelRow &row : kModels)
            table[size_t(row.family)] = {QString::fromUtf8(row.polish), QString::fromUtf8(row.english)};
        return table;
    }();
    return family < 24 ? names[size_t(family)][size_t(lang(language))] : QStringLiteral("?");
}

QString ProbeTypeName(uint8_t language, bool probePresent, uint8_t probeCode, int probeClass)
{
    if (!probePresent)
        return noProbeText(language);
    const int family = probeCode / 10;
    if (family < 10)
        return QString::fromUtf8(kTypeNames[lang(language)][family]);
    if (probeClass >= 0 && probeClass <= 3)
        return QString::fromUtf8(kClassNames[lang(language)][probeClass]);
    return lang(language) == 0 ? QStringLiteral("Nieznany typ głowicy")
                               : QStringLiteral("Unknown probe type");
}

QString ProbeDescription(uint8_t language, bool probePresent, uint8_t probeCode,
                         uint8_t angleCode, bool luminance, bool doseOverflow,
                         bool over, bool under)
{
    QString s = ProbeModelName(language, probePresent, probeCode);
    if (s == QLatin1String("?"))
        s = QStringLiteral("Z.?(%1)").arg(probeCode);
    if (under)
        s += QStringLiteral(", Under");
    if (over)
        s += QStringLiteral(", Over");
    if (doseOverflow)
        s += lang(language) == 0 ? QStringLiteral(", Over Całka") : QStringLiteral(", Over Integ.");
    if (luminance)
        s += QStringLiteral(", Lum.");
    switch (angleCode) {
    case 1: s += QStringLiteral("1°"); break;
    case 2: s += QStringLiteral("3°"); break;
    case 3: s += QStringLiteral("10°"); break;
    default: break;
    }
    return s;
}

} // namespace qv

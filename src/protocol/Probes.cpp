#include "protocol/Probes.h"

#include "protocol/Cp1250.h"

#include <array>
#include <vector>
#include <utility>

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

QString ProbeUnitOfNotes(std::string_view notes)
{
    // The model names of both languages, by the family they name.
    static const auto families = [] {
        std::vector<std::pair<QByteArray, int>> out;
        for (int family = 1; family < 24; ++family)
            for (uint8_t language : {0, 1}) {
                const QString name = ProbeModelName(language, true, uint8_t(family * 10));
                if (name != QLatin1String("?"))
                    out.emplace_back(ToCp1250(name), family);
            }
        return out;
    }();
    const size_t comma = notes.find(',');
    std::string_view model = notes.substr(0, comma);
    // The attachment's angle follows the name without a comma ("1°").
    const bool luminance = comma != std::string_view::npos &&
                           notes.find(", Lum.", comma) != std::string_view::npos;
    int family = -1;
    for (const auto &[name, f] : families)
        if (model.size() >= size_t(name.size()) &&
            model.substr(0, size_t(name.size())) == std::string_view(name.constData(), size_t(name.size()))) {
            family = f;
            break;
        }
    switch (family) {
    case 1:
        return luminance ? QStringLiteral("cd/m²") : QStringLiteral("lx");
    case 2: case 3: case 4: case 5: case 8:
        return luminance ? QStringLiteral("W/(m²·sr)") : QStringLiteral("W/m²");
    case 6: case 7:
        return QStringLiteral("A");
    case 9:
        return luminance ? QStringLiteral("E/(m²·s·sr)") : QStringLiteral("E/(m²·s)");
    default:
        return {};
    }
}

} // namespace qv

#include "serial/LinkTexts.h"

#include "serial/TComm32VN.h"

#include <array>
#include <cerrno>
#include <cstring>

namespace qv {

namespace {

const char *const StatusTexts[2][9] = {
    {"Połączony", "Rozłączony", "Brak komunikacji", "Błąd ramki danych", "Błąd transmisji danych",
     "Błędne dane", "Zajęty", "Nie znaleziono portu", "Błąd portu COM"},
    {"Connected", "Disconnected", "Communication lost", "Data frame error", "Communication error",
     "Data error", "Busy", "Port not found", "Port COM error"},
};

const char *const NoneNames[2] = {"żaden", "none"};

int languageIndex(uint8_t language) { return language == 0 ? 0 : 1; }

} // namespace

QString statusText(int code, uint8_t language)
{
    if (code < 0 || code > stPortError)
        return QString();
    // Built once: the receiver reports "Connected" for every frame.
    static const auto texts = [] {
        std::array<std::array<QString, stPortError + 1>, 2> t;
        for (size_t l = 0; l < 2; ++l)
            for (size_t c = 0; c <= stPortError; ++c)
                t[l][c] = QString::fromUtf8(StatusTexts[l][c]);
        return t;
    }();
    return texts[size_t(languageIndex(language))][size_t(code)];
}

QString noneName(uint8_t language)
{
    return QString::fromUtf8(NoneNames[languageIndex(language)]);
}

bool isNoneName(const QString &name)
{
    for (const char *none : NoneNames) {
        if (name.compare(QString::fromUtf8(none), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString duplicatePortWarning(uint8_t language, const QString &name)
{
    const char *text = languageIndex(language) == 0
        ? "UWAGA\r\nW systemie istnieją dwa porty %s.\r\nProgram może działać nieprawidłowo."
        : "WARNING\r\nThere are two %s serial ports in the system.\r\nProgram may work incorrectly.";
    return QString::fromUtf8(text).replace(QLatin1String("%s"), name);
}

QString openFailureHint(uint8_t language, const QString &path, int errnum)
{
    const bool pl = languageIndex(language) == 0;
    switch (errnum) {
    case EBUSY:
    case EWOULDBLOCK:
        return pl ? QString::fromUtf8("Port %1 jest używany przez inny program.").arg(path)
                  : QString("Port %1 is in use by another program.").arg(path);
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return pl ? QString::fromUtf8("Port %1 nie istnieje.").arg(path)
                  : QString("Port %1 does not exist.").arg(path);
    case EACCES:
    case EPERM:
        return pl ? QString::fromUtf8("Brak uprawnień do portu %1; użytkownik może potrzebować "
                                      "przynależności do grupy dialout.").arg(path)
                  : QString("No permission to open %1; the user may need to be a member of "
                            "the dialout group.").arg(path);
    default:
        return pl ? QString::fromUtf8("Nie można otworzyć portu %1: %2.")
                        .arg(path, QString::fromLocal8Bit(std::strerror(errnum)))
                  : QString("Cannot open %1: %2.")
                        .arg(path, QString::fromLocal8Bit(std::strerror(errnum)));
    }
}

QString configureFailureHint(uint8_t language, const QString &path, int errnum)
{
    const QString reason = QString::fromLocal8Bit(std::strerror(errnum));
    return languageIndex(language) == 0
        ? QString::fromUtf8("Port %1 nie przyjmuje ustawień linii: %2.").arg(path, reason)
        : QString("Port %1 does not accept the line settings: %2.").arg(path, reason);
}

QString unsupportedDataBitsHint(uint8_t language, const QString &path)
{
    return languageIndex(language) == 0
        ? QString::fromUtf8("Port %1: 4 bity danych nie są obsługiwane.").arg(path)
        : QString("Port %1: 4 data bits are not supported.").arg(path);
}

} // namespace qv

#include "meter/MeterSearchTexts.h"

#include "protocol/ValueFormat.h"

namespace qv::searchtext {

namespace {

bool polish(uint8_t language) { return language == 0; }

QString pick(uint8_t language, const char *pl, const char *en)
{
    return QString::fromUtf8(polish(language) ? pl : en);
}

// The Polish noun after a number: 1 miernik, 2-4 mierniki (also 22-24,
// 102-104, ...), everything else (5-21, 25-31, ...) mierników.
QString polishMeterWord(int count)
{
    if (count == 1)
        return QStringLiteral("miernik");
    int m = count > 100 ? count % 100 : count;
    if (m >= 11 && m <= 20)
        return QStringLiteral("mierników");
    if (m > 10)
        m %= 10;
    return m >= 2 && m <= 4 ? QStringLiteral("mierniki") : QStringLiteral("mierników");
}

} // namespace

QString titleSuffix(uint8_t language)
{
    return pick(language, "  wyszukiwanie miernika", "  searching meter");
}

QString looking(uint8_t language)
{
    return pick(language, "Trwa wyszukiwanie miernika...", "Looking for meter...");
}

QString lookingForOthers(uint8_t language)
{
    return pick(language, "Trwa wyszukiwanie innych mierników...", "Looking for other meters...");
}

QString countText(uint8_t language, int count)
{
    const QString n = QString::number(count);
    if (polish(language))
        return QStringLiteral("Znaleziono ") + n + QLatin1Char(' ') + polishMeterWord(count)
            + QLatin1Char('.');
    return n + (count == 1 ? QStringLiteral(" meter") : QStringLiteral(" meters"))
        + QStringLiteral(" found.");
}

QString resultItem(uint8_t language, int number, int total, const QString &port)
{
    const int width = int(QString::number(total).size());
    return pick(language, "Miernik ", "Meter ") + PadNumber(number, width)
        + pick(language, " dołączony do portu ", " on port ") + port;
}

QString stopCaption(uint8_t language) { return pick(language, "Zatrzymaj", "STOP"); }

QString chooseCaption(uint8_t language)
{
    return pick(language, "Wybierz miernik z listy", "Select meter from list");
}

QString noPorts(uint8_t language)
{
    return pick(language, "Nie wykryto portów szeregowych.", "No COM ports detected.");
}

QString notFound(uint8_t language)
{
    return pick(language, "Nie znaleziono żadnego miernika.", "Meter not found.");
}

} // namespace qv::searchtext

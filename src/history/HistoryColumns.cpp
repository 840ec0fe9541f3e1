#include "history/HistoryColumns.h"

#include "protocol/Cp1250.h"

namespace qv {

namespace {
const char *const TitlesEn[16] = {"",  "Date", "Time", "Comment", "E",       "E [%]",   "Reference", "H",
                                  "time", "n", "min",  "max",     "average", "min/avg", "min/max",   "Notes"};
const char16_t *const TitlesPl[16] = {u"",   u"Data", u"Czas", u"Komentarz", u"E",       u"E [%]",
                                      u"Odniesienie", u"H", u"czas", u"n", u"min", u"max",
                                      u"\u015brednia", u"min/\u015br", u"min/max", u"UWAGI"};

const ColumnGroup HistoryGroups[] = {
    {1, 3, "Measure", "Opis pomiaru"},
    {4, 4, "Value", "Pomiar"},
    {5, 6, "Relative value", "Pomiar wzgl\u0119dny"},
    {7, 8, "Integration", "Ca\u0142kowanie"},
    {9, 14, "Statistics", "Statystyka"},
    {15, 15, "", ""},
};
const ColumnGroup MemoryGroups[] = {
    {1, 3, "Measure", "Opis kom\u00f3rki pami\u0119ci"},
    {4, 4, "Value", "Pomiar"},
    {5, 6, "Relative value", "Pomiar wzgl\u0119dny"},
    {7, 8, "Integration", "Ca\u0142kowanie"},
    {9, 14, "Statistics", "Statystyka"},
    {15, 15, "", ""},
};
} // namespace

QString HistColTitle(uint8_t language, int column)
{
    if (column < 1 || column > 15)
        return {};
    return language == 0 ? QString::fromUtf16(TitlesPl[column]) : QString::fromLatin1(TitlesEn[column]);
}

const ColumnGroup *ColumnGroups(bool memory, int &count)
{
    count = 6;
    return memory ? MemoryGroups : HistoryGroups;
}

bool GroupLineRight(int column)
{
    switch (column) {
    case 0: case 3: case 4: case 6: case 8: case 14: case 15:
        return true;
    default:
        return false;
    }
}

bool GroupLineLeft(int column)
{
    switch (column) {
    case 1: case 4: case 5: case 7: case 9: case 15:
        return true;
    default:
        return false;
    }
}

QByteArray FileHeaderLine(uint8_t language)
{
    QByteArray line;
    for (int c = 1; c <= 15; ++c)
        line += '\t' + ToCp1250(HistColTitle(language, c));
    return line + "\r\n";
}

QByteArray FileHeaderOld()
{
    return ToCp1250(QString::fromUtf16(u"\tData\tCzas\tKomentarz\tL\tn\tmin\tmax\t\u015brednia\tmin/\u015br\tmin/max\twykres")) +
           "\r\n";
}

} // namespace qv

#include "files/HistoryFileWriter.h"

#include "history/HistoryColumns.h"
#include "protocol/Cp1250.h"
#include "protocol/DateTimeText.h"
#include "protocol/FormatSettings.h"
#include "protocol/QVFun.h"

#include <QDate>

namespace qv {

namespace {
bool digit(char c)
{
    return c >= '0' && c <= '9';
}

// "dd-mm-yyyy" of a date cell, or nothing when the cell is no date.
void appendLongDate(std::string &out, std::string_view cell)
{
    // The common case, a cell as the program writes it ("dd-mm-yy" with the
    // separator in force and a real day), without parsing it as text.
    const char dash = char(formatSettings().dateSeparator.unicode());
    if (cell.size() == 8 && cell[2] == dash && cell[5] == dash && digit(cell[0]) && digit(cell[1]) &&
        digit(cell[3]) && digit(cell[4]) && digit(cell[6]) && digit(cell[7]) &&
        formatSettings().dateSeparator.unicode() < 0x80) {
        const int day = (cell[0] - '0') * 10 + cell[1] - '0';
        const int month = (cell[3] - '0') * 10 + cell[4] - '0';
        const int year = 2000 + (cell[6] - '0') * 10 + cell[7] - '0';
        if (QDate::isValid(year, month, day)) {
            out.append(cell.substr(0, 6));
            out += "20";
            out.append(cell.substr(6, 2));
            return;
        }
    }
    QString text = FromCp1250(cell.data(), int(cell.size()));
    TDateTime date = 0;
    if (cell.empty() || !NormalizeDate(text, date))
        return;
    const QDate d = ToQDateTime(date).date();
    const QChar sep = formatSettings().dateSeparator;
    const QString s = PadNumber(d.day(), 2) + sep + PadNumber(d.month(), 2) + sep + PadNumber(d.year(), 4);
    out += ToCp1250(s).toStdString();
}
} // namespace

void AppendHistoryRecord(std::string &out, const CellTable &table, int row)
{
    std::string_view cells[hc::Notes + 1];
    table.splitRow(row, cells, hc::Notes + 1);
    for (int c = 0; c <= hc::Notes; ++c) {
        const std::string_view cell = cells[c];
        if (c == hc::Date)
            appendLongDate(out, cell);
        else
            out += cell;
        out += '\t';
    }
    out += "\r\n";
}

std::string HistoryFileBytes(const CellTable &table, int firstRow, int rows, uint8_t language)
{
    std::string out = FileHeaderLine(language).toStdString();
    for (int r = firstRow; r < firstRow + rows && r < table.rowCount(); ++r)
        AppendHistoryRecord(out, table, r);
    return out;
}

} // namespace qv

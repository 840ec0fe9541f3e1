#include "files/HistoryFileWriter.h"

#include "history/HistoryColumns.h"
#include "protocol/Cp1250.h"
#include "protocol/DateTimeText.h"
#include "protocol/FormatSettings.h"
#include "protocol/QVFun.h"

#include <QDate>

namespace qv {

namespace {
// "dd-mm-yyyy" of a date cell, or nothing when the cell is no date.
void appendLongDate(std::string &out, std::string_view cell)
{
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
    for (int c = 0; c <= hc::Notes; ++c) {
        const std::string_view cell = table.cellView(row, c);
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

#include "files/CsvExport.h"

#include "files/HistoryFields.h"
#include "history/HistoryColumns.h"
#include "protocol/Cp1250.h"

#include <cstdio>

namespace qv {

namespace {
bool plainAscii(std::string_view s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

void appendText(std::string &out, std::string_view cp1250)
{
    if (plainAscii(cp1250)) {
        AppendCsvField(out, cp1250);
        return;
    }
    const QByteArray utf8 = FromCp1250(cp1250.data(), int(cp1250.size())).toUtf8();
    AppendCsvField(out, {utf8.constData(), size_t(utf8.size())});
}

void appendDateTime(std::string &out, std::string_view date, std::string_view time, const FieldFormat &format)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (!ReadCellDate(date, format, y, mo, d))
        return;
    char buf[32];
    int n = std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, mo, d);
    if (ReadCellTime(time, format, h, mi, s))
        n += std::snprintf(buf + n, sizeof buf - size_t(n), "T%02d:%02d:%02d", h, mi, s);
    out.append(buf, size_t(n));
}
} // namespace

void AppendCsvField(std::string &out, std::string_view utf8)
{
    if (utf8.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += utf8;
        return;
    }
    out += '"';
    for (char c : utf8) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

std::string CsvHeaderRow()
{
    std::string out = "No.,date_time";
    for (int c = hc::Comment; c <= hc::Notes; ++c) {
        out += ',';
        AppendCsvField(out, HistColTitle(1, c).toStdString());
    }
    return out + "\r\n";
}

void AppendCsvRecord(std::string &out, const CellTable &table, int row, const FieldFormat &format)
{
    std::string_view cells[hc::Notes + 1];
    std::string_view rest = table.rowView(row);
    for (std::string_view &cell : cells) {
        const size_t tab = rest.find('\t');
        cell = rest.substr(0, tab);
        rest = tab == std::string_view::npos ? std::string_view() : rest.substr(tab + 1);
    }
    appendText(out, cells[hc::Label]);
    out += ',';
    appendDateTime(out, cells[hc::Date], cells[hc::Time], format);
    for (int c = hc::Comment; c <= hc::Notes; ++c) {
        out += ',';
        if (RuleOfColumn(c) == FieldRule::Number && format.decimal != '.') {
            std::string number(cells[c]);
            for (char &ch : number)
                if (ch == format.decimal)
                    ch = '.';
            appendText(out, number);
        } else {
            appendText(out, cells[c]);
        }
    }
    out += "\r\n";
}

std::string CsvBytes(const CellTable &table, int firstRow, int rows)
{
    const FieldFormat format = FieldFormat::current();
    std::string out = CsvHeaderRow();
    for (int r = firstRow; r < firstRow + rows && r < table.rowCount(); ++r)
        AppendCsvRecord(out, table, r, format);
    return out;
}

SaveResult SaveCsvFile(const QString &path, const CellTable &table, int firstRow, int rows,
                       const SaveOptions &options)
{
    const FieldFormat format = FieldFormat::current();
    return SaveRows(path, options, CsvHeaderRow(), firstRow, std::min(firstRow + rows, table.rowCount()),
                    [&](std::string &out, int row) { AppendCsvRecord(out, table, row, format); });
}

} // namespace qv

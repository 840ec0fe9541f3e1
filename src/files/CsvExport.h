// The history or the search results as CSV for spreadsheets and scripts:
// UTF-8, comma separated, fields quoted as RFC 4180 asks (a field holding a
// comma, a quote, CR or LF is enclosed in quotes, its quotes doubled), CR LF
// line ends, a header row of the English column titles. The date and time
// columns become one ISO-8601 "date_time" (YYYY-MM-DDThh:mm:ss; the date
// alone when the time is missing; empty when there is no date); numbers have
// a full stop whatever the system's decimal separator.
#pragma once

#include "files/HistoryFileWriter.h"

#include <string>

namespace qv {

struct FieldFormat;

// The header row, CR LF included.
std::string CsvHeaderRow();
void AppendCsvRecord(std::string &out, const CellTable &table, int row, const FieldFormat &format);
std::string CsvBytes(const CellTable &table, int firstRow, int rows);
// Appends one field, quoted when it has to be.
void AppendCsvField(std::string &out, std::string_view utf8);

SaveResult SaveCsvFile(const QString &path, const CellTable &table, int firstRow, int rows,
                       const SaveOptions &options = {});

} // namespace qv

// History and search-result files as the program writes them: the header line
// of the language, then one line per row with the cells of columns 0..15 each
// followed by a TAB, CR LF at the end; the date with a four-digit year. The
// bytes are Windows-1250, as the rows are held.
#pragma once

#include "history/CellTable.h"

#include <QByteArray>

#include <cstdint>
#include <string>

namespace qv {

// Appends the record line of one row to `out`.
void AppendHistoryRecord(std::string &out, const CellTable &table, int row);
// The whole file: header, then the rows from `firstRow` to the last.
std::string HistoryFileBytes(const CellTable &table, int firstRow, int rows, uint8_t language);

} // namespace qv

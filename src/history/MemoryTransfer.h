// The meter's memory image (one text line per cell, fields separated by TAB,
// lines by CR LF, field 0 unused) into the memory table or into the history.
#pragma once

#include "history/HistoryStore.h"

#include <QByteArray>

namespace qv {

// One line of the image split into its cells: column 0 left empty, fields
// 1..15 into columns 1..15, further fields dropped.
struct MemoryLines {
    std::vector<HistoryRow> rows;   // complete lines, then an unterminated one
    int complete = 0;               // lines ended by CR LF
};
// Splits at most `limit` lines. A CR without LF is text; a last field that
// no TAB or CR LF ends is not read.
MemoryLines SplitMemoryImage(const QByteArray &image, int limit);

// The memory table (16 columns, 512 rows numbered in column 0) shows the
// image: rows from the first on, the rest emptied. True when at least one
// complete line was read (the image is then loaded).
bool FillMemoryTable(CellTable &memo, const QByteArray &image, bool resetWidths,
                     const std::vector<int> &defaultWidths);
// Numbers the 512 rows of an empty memory table.
void PrepareMemoryTable(CellTable &memo);

// Appends the image's cells to the history from `firstRow` (the blank row of
// an empty history, or the row after the last), labelled "M1", "M2", ... with
// identifiers of their own. Returns the rows added (none when the history is
// full); the journal hears of them as one change.
int CopyMemoToHistory(HistoryStore &store, const QByteArray &image, int firstRow);

} // namespace qv

#include "history/MemoryTransfer.h"

#include <algorithm>

namespace qv {

MemoryLines SplitMemoryImage(const QByteArray &image, int limit)
{
    MemoryLines out;
    const char *p = image.constData();
    const char *const end = p + image.size();
    HistoryRow row;
    int field = 0;
    bool started = false;
    const char *fieldStart = p;
    while (p < end && static_cast<int>(out.rows.size()) < limit) {
        const bool tab = *p == '\t';
        const bool crlf = *p == '\r' && p + 1 < end && p[1] == '\n';
        if (!tab && !crlf) {
            ++p;
            continue;
        }
        if (field >= 1 && field <= hc::Notes)
            row[field].assign(fieldStart, p);
        started = true;
        ++field;
        p += crlf ? 2 : 1;
        fieldStart = p;
        if (crlf) {
            out.rows.push_back(std::move(row));
            row = HistoryRow();
            ++out.complete;
            field = 0;
            started = false;
        }
    }
    if (started && static_cast<int>(out.rows.size()) < limit)
        out.rows.push_back(std::move(row));
    return out;
}

void PrepareMemoryTable(CellTable &memo)
{
    CellTable::BulkChange bulk(memo);
    memo.setRowCount(hc::MemoryRows);
    memo.setColumnWidth(0, 0);
    for (int r = 0; r < hc::MemoryRows; ++r)
        memo.setCellBytesAndFit(r, 0, std::to_string(r + 1));
}

bool FillMemoryTable(CellTable &memo, const QByteArray &image, bool resetWidths,
                     const std::vector<int> &defaultWidths)
{
    CellTable::BulkChange bulk(memo);
    if (resetWidths)
        memo.setColumnWidths(defaultWidths);
    const MemoryLines lines = SplitMemoryImage(image, hc::MemoryRows);
    for (int r = 0; r < static_cast<int>(lines.rows.size()); ++r) {
        HistoryRow row = lines.rows[r];
        row[hc::Label] = std::to_string(r + 1);
        std::string joined = JoinCells(row);
        memo.setRowBytes(r, joined, true);
    }
    // Nothing of an unterminated last line stays in view, nor of an earlier image.
    memo.clearRows(lines.complete, false);
    return lines.complete > 0;
}

int CopyMemoToHistory(HistoryStore &store, const QByteArray &image, int firstRow)
{
    CellTable &hist = store.hist();
    const int room = store.MaxHistRows - firstRow;
    if (store.full() || room <= 0)
        return 0;
    MemoryLines lines = SplitMemoryImage(image, room);
    const int count = static_cast<int>(lines.rows.size());
    if (count == 0)
        return 0;
    const bool wasCopying = store.Copying;
    store.Copying = true;
    if (firstRow + count > hist.rowCount())
        hist.appendRows(firstRow + count - hist.rowCount());
    for (int i = 0; i < count; ++i) {
        HistoryRow &row = lines.rows[i];
        row[hc::Label] = "M" + std::to_string(i + 1);
        row[hc::Id] = std::to_string(++store.HistId);
        hist.setRowBytes(firstRow + i, JoinCells(row), true);
    }
    store.fitLabelColumn();
    store.Copying = wasCopying;
    for (int c = 0; c <= hc::Notes; ++c)
        store.reply().setColumnWidth(c, hist.columnWidth(c));
    store.rowsAdded(firstRow, firstRow + count - 1);
    return count;
}

} // namespace qv

// The measurement history and the search results, without a window: the two
// tables of 17 cells a row (see HistoryColumns.h), the counters that label
// and identify the rows, and the operations every part of the program uses
// on them: capture, memory transfer, deletion, comments, files, search.
//
// Every change that adds, removes or alters history rows is reported through
// onChange before the call returns, so the journal has it on disk before the
// window repaints.
#pragma once

#include "history/CellTable.h"
#include "history/HistoryColumns.h"

#include <array>
#include <climits>
#include <functional>
#include <string>
#include <vector>

namespace qv {

// The 17 cells of a history row in Windows-1250 bytes.
using HistoryRow = std::array<std::string, hc::HistoryColumns>;

struct HistoryChange {
    enum Kind {
        RowsAdded,       // rows first..last were added (capture, memory transfer)
        RowDeleted,      // the row with identifier `id` was deleted
        CommentChanged,  // the comment of the row with identifier `id` is now `text`
        Cleared,         // the history was emptied (delete all, replace)
        Loaded,          // the history was replaced as a whole (a file, a restore)
    };
    explicit HistoryChange(Kind k) : kind(k) {}
    Kind kind;
    int first = -1, last = -1;
    qint64 id = 0;
    std::string text;
};

class HistoryStore {
public:
    explicit HistoryStore(const TextWidths &widths);

    CellTable &hist() { return m_hist; }
    const CellTable &hist() const { return m_hist; }
    CellTable &reply() { return m_reply; }
    const CellTable &reply() const { return m_reply; }

    // The history holds data: more than one row, or a first row with a label.
    bool HistOK() const;
    // Search results are present.
    bool ReplyOK() const;
    // The number of history rows to show (0 for an empty history).
    int HistRows() const { return HistOK() ? m_hist.rowCount() : 0; }
    // No more rows may be added: the history has reached MaxHistRows.
    bool full() const { return m_hist.rowCount() >= MaxHistRows; }

    // --- counters and marks (row numbers count from 0; -1 = none) ----------------
    qint64 HistCount = 0;      // last sequence number given to a captured row
    qint64 HistId = 0;         // last identifier given
    bool AskDelete = true;     // ask before deleting one row
    int MarkedRow = -1;        // history row linked to the selected search result
    int DeleteRow = -1;        // row drawn highlighted while its deletion is asked
    int MaxHistRows = INT_MAX;
    // Widths of columns 0..15 as the grids were set up (both tables).
    std::vector<int> DefaultColWidths;
    // The width the search box of a column needs (0 until the boxes exist).
    std::function<int(int column)> searchBoxWidth;

    // --- operations -------------------------------------------------------------
    // Adds a captured row: the next sequence number in column 0 and identifier
    // in column 16 are given here. Returns the row, or -1 when the history is full.
    int addCapturedRow(HistoryRow cells);
    // The first row a transfer of `count` rows would write at the end, and
    // the rows it may add before the history is full.
    int appendPosition() const;
    // Reports rows a bulk writer (memory transfer, file) added.
    void rowsAdded(int first, int last);
    // Deletes one row; rows below move up. The same identifier is removed from
    // the search results. Labels are not renumbered.
    void HistDeleteRow(int row);
    // Empties the history and the search results; counters reset.
    void HistDeleteAll();
    // Sets a comment (at most 16 characters are kept).
    void setComment(int row, const QString &text);
    // The column fitted to its widest cell, its search box and its default
    // width, in both tables.
    void SetHistColWidths(int column);
    // Columns 0..15 of both tables back to their default widths.
    void resetColumnWidths();
    // Column 0 wide enough for the row count as text.
    void fitLabelColumn();
    // Replaces the whole history (a file, a restored journal); the counters
    // are given by the caller.
    void load(const std::vector<HistoryRow> &rows, qint64 histCount, qint64 histId);
    // The same from `count` rows handed over with their cells joined by TAB.
    void load(size_t count, const std::function<std::string_view(size_t)> &row, qint64 histCount,
              qint64 histId);
    // The same with rows prepared in bulk (at most MaxHistRows of them).
    void loadPacked(std::vector<CellTable::PackedRows> parts, qint64 histCount, qint64 histId);

    // The history row whose identifier cell holds `id`, or -1.
    int findHistRowById(std::string_view id) const;
    // The same in the search results.
    int findReplyRowById(std::string_view id) const;

    // --- events -------------------------------------------------------------------
    std::function<void(const HistoryChange &)> onChange;
    // The search results lost a row (their summary text is rebuilt) or were emptied.
    std::function<void()> onResultsChanged;
    // The copying flag: widths of the history are copied to the results outside
    // a transfer; a transfer copies them at its end.
    bool Copying = false;

private:
    void report(HistoryChange change);
    void replaceHistory(const std::function<void()> &fill, qint64 histCount, qint64 histId);
    void emptied();

    CellTable m_hist;
    CellTable m_reply;
};

// The row's cells joined by TAB, for CellTable::setRowBytes.
std::string JoinCells(const HistoryRow &cells);

} // namespace qv

// A table of text cells kept packed for a million rows and more: the cells of
// a row are one run of Windows-1250 bytes separated by TAB, held in large
// shared chunks, and each row costs a pointer and a length besides its text.
// Column widths follow the text as cells are written (per-character advances,
// no font engine). The history, the search results and the memory table are
// each one CellTable; the windows show them through models.
//
// Rows are numbered from 0 (the grids' first data row). A table always has at
// least one row: an empty table is one blank row.
#pragma once

#include "history/TextWidths.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qv {

class CellTable {
public:
    CellTable(int columns, const TextWidths &widths);
    ~CellTable();
    CellTable(const CellTable &) = delete;
    CellTable &operator=(const CellTable &) = delete;

    int columnCount() const { return m_columns; }
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    const TextWidths &textWidths() const { return m_widths; }

    // The bytes of a cell, valid until the table next changes.
    std::string_view cellView(int row, int column) const;
    QString cell(int row, int column) const;
    bool cellEmpty(int row, int column) const { return cellView(row, column).empty(); }
    // The whole row: cells separated by TAB.
    std::string_view rowView(int row) const;
    // The first `count` cells of a row in one pass (missing cells are empty).
    void splitRow(int row, std::string_view *cells, int count) const;
    bool rowBlank(int row) const;

    // Writes a cell. A TAB in the text becomes a space (it separates cells);
    // characters without a Windows-1250 byte become "?".
    void setCell(int row, int column, const QString &text);
    void setCellBytes(int row, int column, std::string_view bytes);
    // Writes a cell and widens its column to the text width + 5 when narrower.
    void setCellAndFit(int row, int column, const QString &text);
    void setCellBytesAndFit(int row, int column, std::string_view bytes);
    // Writes a whole row at once (cells separated by TAB; missing cells are
    // empty, extra ones dropped) and widens the columns to it.
    void setRowBytes(int row, std::string_view cellsWithTabs, bool fit);

    // Rows made outside the table (a file parsed on several threads): their
    // bytes, each row as offset and length in them (cells separated by TAB),
    // and the fit width (text width + 5) of the widest cell of each column.
    struct PackedRows {
        std::unique_ptr<char[]> bytes;
        size_t size = 0;   // bytes held (their capacity)
        std::vector<std::pair<uint32_t, uint32_t>> rows;
        std::vector<int> fitWidths;
    };
    // Replaces every row by these rows, in order, taking their bytes over
    // without a copy, and widens the columns to them. No rows: one blank row.
    void replaceWithPacked(std::vector<PackedRows> parts);

    // Adds blank rows at the end; returns the index of the first one.
    int appendRows(int count = 1);
    // Grows with blank rows or drops rows from the end (never below one).
    void setRowCount(int rows);
    // Removes a row: those below move up. The last row of a one-row table is
    // emptied instead.
    void removeRow(int row);
    // Removes the rows [first, first + count), as removeRow does one.
    void removeRows(int first, int count);
    // Empties the cells of the rows from `first` on: every column with
    // `withColumn0`, else from column 1.
    void clearRows(int first, bool withColumn0);
    // One blank row, the column widths kept.
    void reset();

    // The first row whose cell in `column` holds exactly `bytes`, or -1.
    int findRow(int column, std::string_view bytes) const;

    // --- column widths in pixels ----------------------------------------------
    int columnWidth(int column) const { return m_columnWidths[column]; }
    void setColumnWidth(int column, int width);
    const std::vector<int> &columnWidths() const { return m_columnWidths; }
    void setColumnWidths(const std::vector<int> &widths);
    // Widens a column to `width` when narrower.
    void widenColumn(int column, int width);
    // The text width + 5 of the widest data cell of a column.
    int contentWidth(int column) const;
    // Text width + 5 of a text in the table's font.
    int fitWidth(std::string_view bytes) const { return m_widths.width(bytes) + 5; }

    // --- events, raised only when assigned ---------------------------------------
    std::function<void(int first, int last)> onRowsInserted;
    std::function<void(int first, int last)> onRowsRemoved;
    std::function<void(int row, int column)> onCellChanged;
    // Many rows changed at once: views re-read everything.
    std::function<void()> onReset;
    std::function<void(int column)> onColumnWidthChanged;

    // While a bulk change runs, per-cell and per-row events are held back and
    // one onReset is raised at its end (nested scopes count).
    class BulkChange {
    public:
        explicit BulkChange(CellTable &table);
        ~BulkChange();
        BulkChange(const BulkChange &) = delete;
        BulkChange &operator=(const BulkChange &) = delete;

    private:
        CellTable &m_table;
    };
    bool inBulkChange() const { return m_bulk > 0; }

    // Bytes held for the text of the rows, and the part of it no longer used.
    size_t bytesHeld() const;
    size_t bytesUnused() const { return m_garbage; }

private:
    struct Row {
        const char *data;
        uint32_t size;
    };
    class Arena;

    void storeRow(int row, std::string_view bytes);
    void replaceCell(int row, int column, std::string_view bytes, bool fit);
    void widenTo(int column, std::string_view bytes);
    void compactIfWasteful();
    void cellChanged(int row, int column);

    const int m_columns;
    const TextWidths &m_widths;
    std::vector<Row> m_rows;
    std::vector<int> m_columnWidths;
    std::unique_ptr<Arena> m_arena;
    size_t m_garbage = 0;
    int m_bulk = 0;
    std::string m_scratch;
};

// Windows-1250 bytes of a text for a cell (TAB as a space, others as "?").
QByteArray CellBytes(const QString &text);

} // namespace qv

// The printed table of the history, the search results or the memory: its
// column widths, margins and paging, and the drawing of the heading and the
// rows with a QPainter. Knows nothing of windows: a printer, a PDF file and
// the tests' recording device are all just paint devices here.
#pragma once

#include "history/CellTable.h"

#include <QFont>
#include <QFontMetrics>
#include <QMargins>
#include <QPen>

#include <array>
#include <string>
#include <string_view>

class QPainter;

namespace qv {

constexpr int PrintColumns = 16;   // the identifier column is never printed

enum class PrintKind { History, Results, Memory };

// The rows a printout walks: rows [0, count) of the table; memory rows whose
// column 1 is empty are left out.
struct PrintRows {
    const CellTable &table;
    PrintKind kind;
    int count;
    bool skipped(int row) const { return kind == PrintKind::Memory && table.cellEmpty(row, 1); }
};

// The unprintable border on each side of the paper in device units, as the
// printer reports it for portrait.
struct PaperBorders {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The margins wanted from the paper's edge, by orientation and by whether the
// printer has an unprintable border at all (then the margins are wider).
QMargins WantedMargins(bool landscape, bool offsetX, bool offsetY, int dpiX, int dpiY);
// The margins measured from the printable area: the wanted ones less the
// unprintable border (turned with the page in landscape), never below 0.
QMargins AppliedMargins(bool landscape, const PaperBorders &portrait, int dpiX, int dpiY);

// The font of the printout on a device.
QFont PrintFont();

// Column widths and row metrics of one printout.
struct TableLayout {
    std::array<int, PrintColumns> width{};
    int blank = 0;        // width of one blank
    int rowHeight = 0;    // text height + 4
    int pitch = 0;        // text height + 6, for the paging estimate
    int total = 0;        // 1 + sum of (width + 1)
    int groupWidth(int group) const;
};
// Widths from the titles, the group titles and every printed cell, each cell
// measured once.
TableLayout MeasureTable(const PrintRows &rows, const QFontMetrics &metrics);

// Pages and lines shown by the progress window (an estimate: the page break
// is decided row by row).
struct PagingEstimate {
    int pages = 1;
    int lines = 1;
};
PagingEstimate EstimatePaging(int rowsIncludingSkipped, int pageHeight, const QMargins &margins, int pitch);

// The group titles of the heading (0 and 6 empty) and the column titles.
QString PrintGroupTitle(PrintKind kind, int group);
QString PrintColumnTitle(int column);
// Grey rules after columns inside a group, black ones at group edges.
bool GreyRuleAfter(int column);

// Draws the table onto a painter page by page: the heading, title rows and
// data rows, one row at a time, and says when a page is full.
class TablePainter {
public:
    TablePainter(QPainter &painter, const TableLayout &layout, const QMargins &margins, int pageHeight,
                 PrintKind kind);

    // The group row and the title row of the first page.
    void firstHeading();
    // The rule and the title row that start every later page.
    void pageTitles(int indent = 0);
    // One row of cells; titles are centred.
    void row(const std::string_view *cells);
    // True when the next row would reach the bottom margin.
    bool pageFull() const;
    // The next page starts at the top margin.
    void startPage() { m_y = m_margins.top(); }
    int lines() const { return m_lines; }

private:
    void cellsRow(const QString *titles, const std::string_view *cells);
    void rule(int x1, int x2);
    const QString &cellText(int column, std::string_view bytes);

    QPainter &m_p;
    const TableLayout &m_layout;
    QMargins m_margins;
    int m_pageHeight;
    PrintKind m_kind;
    int m_ascent;
    int m_y;
    int m_lines = 0;
    QPen m_black, m_grey;
    QString m_scratch;
};

} // namespace qv

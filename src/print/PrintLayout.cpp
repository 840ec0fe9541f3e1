#include "print/PrintLayout.h"

#include "history/HistoryColumns.h"
#include "protocol/Cp1250.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace qv {

namespace {

int mmToDots(int mm, int dpi)
{
    return int(std::lround(mm * dpi / 25.4));
}

// Columns under each group of the heading: first and last.
constexpr int GroupFirst[7] = {0, 1, 4, 5, 7, 9, 15};
constexpr int GroupLast[7] = {0, 3, 4, 6, 8, 14, 15};

} // namespace

QMargins WantedMargins(bool landscape, bool offsetX, bool offsetY, int dpiX, int dpiY)
{
    // millimetres: left, right by offsetX; top, bottom by offsetY
    int left, right, top, bottom;
    if (!landscape) {
        left = offsetX ? 20 : 15;
        right = offsetX ? 10 : 5;
        top = offsetY ? 15 : 10;
        bottom = offsetY ? 15 : 10;
    } else {
        left = offsetX ? 15 : 10;
        right = offsetX ? 15 : 10;
        top = offsetY ? 20 : 15;
        bottom = offsetY ? 10 : 5;
    }
    return QMargins(mmToDots(left, dpiX), mmToDots(top, dpiY), mmToDots(right, dpiX), mmToDots(bottom, dpiY));
}

QMargins AppliedMargins(bool landscape, const PaperBorders &portrait, int dpiX, int dpiY)
{
    const QMargins wanted = WantedMargins(landscape, portrait.left != 0, portrait.top != 0, dpiX, dpiY);
    PaperBorders b = portrait;
    if (landscape)
        b = PaperBorders{portrait.top, portrait.left, portrait.bottom, portrait.right};
    return QMargins(std::max(0, wanted.left() - b.left), std::max(0, wanted.top() - b.top),
                    std::max(0, wanted.right() - b.right), std::max(0, wanted.bottom() - b.bottom));
}

QFont PrintFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

QString PrintGroupTitle(PrintKind kind, int group)
{
    if (group <= 0 || group >= 6)
        return {};
    int count = 0;
    const ColumnGroup *groups = ColumnGroups(kind == PrintKind::Memory, count);
    return QString::fromLatin1(groups[group - 1].english);
}

QString PrintColumnTitle(int column)
{
    return HistColTitle(1, column);
}

bool GreyRuleAfter(int column)
{
    return !GroupLineRight(column);
}

int TableLayout::groupWidth(int group) const
{
    int w = GroupLast[group] - GroupFirst[group];   // the rules inside the group
    for (int c = GroupFirst[group]; c <= GroupLast[group]; ++c)
        w += width[c];
    return w;
}

TableLayout MeasureTable(const PrintRows &rows, const QFontMetrics &metrics)
{
    TableLayout l;
    l.blank = metrics.horizontalAdvance(QLatin1Char(' '));
    const int pad = 2 * l.blank;
    l.rowHeight = metrics.height() + 4;
    l.pitch = metrics.height() + 6;
    for (int c = 0; c < PrintColumns; ++c)
        l.width[c] = metrics.horizontalAdvance(PrintColumnTitle(c)) + pad;
    l.width[4] = metrics.horizontalAdvance(PrintGroupTitle(rows.kind, 2)) + pad;
    l.width[7] = l.width[8] = (metrics.horizontalAdvance(PrintGroupTitle(rows.kind, 4)) + pad) / 2;

    // Cells repeat a lot (dates, units, empty cells): each distinct text is
    // measured once; the memo is dropped when it grows large.
    std::unordered_map<std::string, int> measured;
    std::string key;
    std::array<std::string_view, PrintColumns> cells;
    for (int r = 0; r < rows.count; ++r) {
        if (rows.skipped(r))
            continue;
        rows.table.splitRow(r, cells.data(), PrintColumns);
        for (int c = 0; c < PrintColumns; ++c) {
            if (cells[c].empty()) {
                l.width[c] = std::max(l.width[c], pad);
                continue;
            }
            key.assign(cells[c]);
            auto found = measured.find(key);
            if (found == measured.end()) {
                if (measured.size() > 200000)
                    measured.clear();
                const int w = metrics.horizontalAdvance(FromCp1250(key.data(), int(key.size())));
                found = measured.emplace(key, w).first;
            }
            l.width[c] = std::max(l.width[c], found->second + pad);
        }
    }
    l.total = 1;
    for (int w : l.width)
        l.total += w + 1;
    return l;
}

PagingEstimate EstimatePaging(int rowsIncludingSkipped, int pageHeight, const QMargins &margins, int pitch)
{
    const int n = rowsIncludingSkipped + 1;
    const int perPage = std::max(2, (pageHeight - margins.top() - margins.bottom()) / std::max(1, pitch));
    PagingEstimate e;
    e.pages = n / (perPage - 1);
    e.lines = e.pages * perPage + 1;
    const int k = (e.pages + n) % perPage;
    if (k > 0) {
        e.lines += k;
        e.pages += 1;
    }
    e.pages = std::max(1, e.pages);
    return e;
}

TablePainter::TablePainter(QPainter &painter, const TableLayout &layout, const QMargins &margins, int pageHeight,
                           PrintKind kind)
    : m_p(painter), m_layout(layout), m_margins(margins), m_pageHeight(pageHeight), m_kind(kind),
      m_ascent(painter.fontMetrics().ascent()), m_y(margins.top()),
      m_black(QBrush(Qt::black), 1, Qt::SolidLine, Qt::SquareCap),
      m_grey(QBrush(QColor(0xC0, 0xC0, 0xC0)), 1, Qt::SolidLine, Qt::SquareCap)
{
    m_p.setPen(m_black);
}

void TablePainter::rule(int x1, int x2)
{
    m_p.setPen(m_black);
    m_p.drawLine(x1, m_y, x2, m_y);
}

void TablePainter::firstHeading()
{
    const int left = m_margins.left();
    const int h = m_layout.rowHeight;
    rule(left, left + m_layout.total);
    m_p.drawLine(left, m_y, left, m_y + h + 1);
    int x = left + 1;
    ++m_y;
    for (int g = 0; g < 7; ++g) {
        const int gw = m_layout.groupWidth(g);
        const QString title = PrintGroupTitle(m_kind, g);
        if (!title.isEmpty()) {
            const int offset = (gw - m_p.fontMetrics().horizontalAdvance(title)) / 2 + 1;
            m_p.drawText(x + offset, m_y + 2 + m_ascent, title);
        }
        m_p.drawLine(x + gw + 1, m_y, x + gw + 1, m_y + h);
        x += gw + 1;
    }
    m_y += h + 1;
    // The empty cell of column 0 spans both heading rows.
    pageTitles(m_layout.width[0] + 2);
}

void TablePainter::pageTitles(int indent)
{
    rule(m_margins.left() + indent, m_margins.left() + m_layout.total);
    QString titles[PrintColumns];
    for (int c = 0; c < PrintColumns; ++c)
        titles[c] = PrintColumnTitle(c);
    cellsRow(titles, nullptr);
}

void TablePainter::row(const std::string_view *cells)
{
    cellsRow(nullptr, cells);
}

const QString &TablePainter::cellText(int, std::string_view bytes)
{
    m_scratch = FromCp1250(bytes.data(), int(bytes.size()));
    return m_scratch;
}

void TablePainter::cellsRow(const QString *titles, const std::string_view *cells)
{
    ++m_lines;
    const int left = m_margins.left();
    const int h = m_layout.rowHeight;
    const QFontMetrics metrics = m_p.fontMetrics();
    m_p.drawLine(left, m_y, left, m_y + h + 1);
    int x = left + 1;
    ++m_y;
    for (int c = 0; c < PrintColumns; ++c) {
        const int w = m_layout.width[c];
        const QString &text = titles ? titles[c] : cellText(c, cells[c]);
        if (!text.isEmpty()) {
            const int tw = metrics.horizontalAdvance(text);
            int offset;
            if (titles)
                offset = (w - tw) / 2 + 1;
            else if (RightAligned(c))
                offset = w - tw - m_layout.blank;
            else
                offset = m_layout.blank;
            m_p.drawText(x + offset, m_y + 2 + m_ascent, text);
        }
        m_p.setPen(GreyRuleAfter(c) ? m_grey : m_black);
        m_p.drawLine(x + w + 1, m_y, x + w + 1, m_y + h);
        x += w + 1;
    }
    m_y += h + 1;
    rule(left, left + m_layout.total);
}

bool TablePainter::pageFull() const
{
    return m_pageHeight < m_y + m_layout.rowHeight + 2 + m_margins.bottom();
}

} // namespace qv

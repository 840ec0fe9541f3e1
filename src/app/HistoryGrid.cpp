#include "app/HistoryGrid.h"

#include "app/CommentEdit.h"
#include "app/GridPainter.h"
#include "history/HistoryColumns.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

namespace qv {

HistoryGrid::HistoryGrid(Kind kind, CellTableModel *model, const QFont &font, QWidget *parent)
    : QTableView(parent), m_kind(kind), m_model(model)
{
    setFont(font);
    m_rowHeight = QFontMetrics(font).height() + 4;
    setHorizontalHeader(new GridHeader(Qt::Horizontal, this));
    setVerticalHeader(new GridHeader(Qt::Vertical, this));
    setModel(model);
    setItemDelegate(new GridDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setWordWrap(false);
    setCornerButtonEnabled(false);

    // Uniform rows and fixed sections: nothing is measured per row.
    QHeaderView *rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(m_rowHeight);
    QHeaderView *columns = horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Fixed);
    columns->setMinimumSectionSize(0);
    columns->setFixedHeight(m_rowHeight);
    columns->setVisible(kind != Reply);   // the results have no titles row
    setColumnHidden(0, true);             // shown as the fixed column
    if (model->columnCount() > hc::Id)
        setColumnHidden(hc::Id, true);
    applyColumnWidths();
    connect(model, &CellTableModel::columnWidthChanged, this, [this](int c) { applyColumnWidth(c); });
}

int HistoryGrid::fixedWidth() const
{
    return m_model->table().columnWidth(0);
}

void HistoryGrid::applyColumnWidth(int column)
{
    if (column == 0) {
        verticalHeader()->setFixedWidth(fixedWidth());
        emit horizontallyScrolled();   // the strips over the grid follow
        return;
    }
    if (column == hc::Id)
        return;
    setColumnWidth(column, m_model->table().columnWidth(column));
    emit horizontallyScrolled();
}

void HistoryGrid::applyColumnWidths()
{
    for (int c = 0; c < m_model->columnCount(); ++c)
        applyColumnWidth(c);
}

void HistoryGrid::setCurrentCell(int row, int column)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    if (column < 1)
        column = currentIndex().isValid() ? currentIndex().column() : 1;
    const QModelIndex at = m_model->index(row, column);
    setCurrentIndex(at);
    scrollTo(at);
}

CellLook HistoryGrid::cellLook(int row, int column, bool header) const
{
    CellLook look;
    look.column = column;
    look.language = language;
    if (header) {
        look.header = true;
        look.fixed = true;
        look.text = m_model->headerData(column, Qt::Horizontal).toString();
        return look;
    }
    look.text = m_model->data(m_model->index(row, column)).toString();
    look.fixed = column == 0;
    look.lastRow = row == m_model->rowCount() - 1;
    if (m_kind == Hist) {
        look.marked = markedRow && row == markedRow();
        look.deleting = deleteRow && row == deleteRow();
    }
    look.current = column != 0 && hasFocus() && currentIndex().row() == row && currentIndex().column() == column;
    look.notes = column == hc::Notes;
    return look;
}

void HistoryGrid::keyPressEvent(QKeyEvent *event)
{
    if (onKey && onKey(event))
        return;
    if (event->key() == Qt::Key_End) {
        // End: the last visible column; Ctrl+End also the last row.
        const int row = event->modifiers() & Qt::ControlModifier ? m_model->rowCount() - 1
                                                                 : std::max(currentIndex().row(), 0);
        setCurrentCell(row, lastColumn());
        return;
    }
    QTableView::keyPressEvent(event);
}

void HistoryGrid::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    if (onFocus)
        onFocus(true);
    viewport()->update();
}

void HistoryGrid::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    if (onFocus)
        onFocus(false);
    viewport()->update();
}

void HistoryGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    if (dx)
        emit horizontallyScrolled();
}

GridHeader::GridHeader(Qt::Orientation orientation, HistoryGrid *grid) : QHeaderView(orientation, grid), m_grid(grid)
{
    setSectionsClickable(false);
    setHighlightSections(false);
}

void GridHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    const bool titles = orientation() == Qt::Horizontal;
    CellLook look = titles ? m_grid->cellLook(0, logicalIndex, true) : m_grid->cellLook(logicalIndex, 0, false);
    painter->setFont(m_grid->font());
    PaintGridCell(*painter, rect, look, m_grid->palette());
}

GridDelegate::GridDelegate(HistoryGrid *grid) : QStyledItemDelegate(grid), m_grid(grid)
{
}

void GridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    painter->setFont(m_grid->font());
    PaintGridCell(*painter, option.rect, m_grid->cellLook(index.row(), index.column(), false), m_grid->palette());
}

QWidget *GridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *edit = new CommentEdit(parent);
    if (onEditor)
        onEditor(edit);
    return edit;
}

} // namespace qv

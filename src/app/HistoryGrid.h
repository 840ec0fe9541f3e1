// The grid of the history, of the search results and of the memory table: a
// table view over a CellTableModel with uniform rows, column widths taken
// from the table, column 0 fixed at the left (the vertical header) and the
// titles row fixed at the top, every cell drawn by PaintGridCell. The hidden
// identifier column never shows.
#pragma once

#include "app/CellTableModel.h"
#include "app/GridPainter.h"

#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTableView>

#include <functional>

namespace qv {

class HistoryGrid : public QTableView {
    Q_OBJECT
public:
    enum Kind { Hist, Reply, Memo };
    HistoryGrid(Kind kind, CellTableModel *model, const QFont &font, QWidget *parent = nullptr);

    Kind kind() const { return m_kind; }
    CellTableModel *cells() const { return m_model; }
    int rowHeight() const { return m_rowHeight; }
    // Width of the fixed column 0.
    int fixedWidth() const;
    // The last visible column.
    int lastColumn() const { return m_kind == Memo ? 15 : 15; }

    // The rows drawn marked or highlighted (the history's; -1 none).
    std::function<int()> markedRow;
    std::function<int()> deleteRow;
    uint8_t language = 1;
    // Keys the window handles first (Del, Enter, F2 ...); true when taken.
    std::function<bool(QKeyEvent *)> onKey;
    // The grid took or lost the focus.
    std::function<void(bool in)> onFocus;

    // Makes `row` current in `column` (or the current column) and scrolls it in.
    void setCurrentCell(int row, int column = -1);
    void applyColumnWidths();
    bool editing() const { return state() == EditingState; }

    // The look of a cell, for the delegate and the headers.
    CellLook cellLook(int row, int column, bool header) const;

signals:
    void horizontallyScrolled();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void applyColumnWidth(int column);

    const Kind m_kind;
    CellTableModel *m_model;
    int m_rowHeight;
};

// The fixed row and column of a grid, drawn like its cells.
class GridHeader : public QHeaderView {
    Q_OBJECT
public:
    GridHeader(Qt::Orientation orientation, HistoryGrid *grid);

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    HistoryGrid *m_grid;
};

class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit GridDelegate(HistoryGrid *grid);
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;

    // The comment editor was created; the window watches its typing.
    std::function<void(class QLineEdit *)> onEditor;

private:
    HistoryGrid *m_grid;
};

} // namespace qv

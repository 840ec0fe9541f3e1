// A table model over a CellTable, for the history, the search results and the
// memory table. Cells are decoded from Windows-1250 only when a view asks for
// them, so a table of a million rows costs the view nothing per row; the
// table's own change events become the model's signals. Column 0 is offered
// as the vertical header too, where the grids show it as their fixed column.
#pragma once

#include "history/CellTable.h"

#include <QAbstractTableModel>

#include <functional>

namespace qv {

class CellTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // `titles`: the horizontal header shows the column titles.
    CellTableModel(CellTable &table, bool titles, QObject *parent = nullptr);
    ~CellTableModel() override;

    CellTable &table() { return m_table; }
    const CellTable &table() const { return m_table; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // The one editable column and who stores an edit of it (the comment).
    int editableColumn = -1;
    std::function<void(int row, const QString &text)> onEdit;

signals:
    void columnWidthChanged(int column);

private:
    CellTable &m_table;
    const bool m_titles;
    int m_rows;   // the rows the views know of (the table may be ahead of them)
    decltype(CellTable::onRowsInserted) m_prevInserted, m_prevRemoved;
    decltype(CellTable::onCellChanged) m_prevChanged;
    decltype(CellTable::onReset) m_prevReset;
    decltype(CellTable::onColumnWidthChanged) m_prevWidth;
};

} // namespace qv

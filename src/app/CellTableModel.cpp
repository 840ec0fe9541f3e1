#include "app/CellTableModel.h"

#include "history/HistoryColumns.h"
#include "protocol/Cp1250.h"

namespace qv {

CellTableModel::CellTableModel(CellTable &table, bool titles, QObject *parent)
    : QAbstractTableModel(parent), m_table(table), m_titles(titles), m_rows(table.rowCount())
{
    // Others may listen to the table as well: they keep hearing it.
    m_prevInserted = std::move(table.onRowsInserted);
    m_prevRemoved = std::move(table.onRowsRemoved);
    m_prevChanged = std::move(table.onCellChanged);
    m_prevReset = std::move(table.onReset);
    m_prevWidth = std::move(table.onColumnWidthChanged);

    table.onRowsInserted = [this](int first, int last) {
        if (m_prevInserted)
            m_prevInserted(first, last);
        beginInsertRows({}, first, last);
        m_rows = m_table.rowCount();
        endInsertRows();
    };
    table.onRowsRemoved = [this](int first, int last) {
        if (m_prevRemoved)
            m_prevRemoved(first, last);
        beginRemoveRows({}, first, last);
        m_rows = m_table.rowCount();
        endRemoveRows();
    };
    table.onCellChanged = [this](int row, int column) {
        if (m_prevChanged)
            m_prevChanged(row, column);
        if (row >= m_rows)
            return;
        const int first = column < 0 ? 0 : column;
        const int last = column < 0 ? m_table.columnCount() - 1 : column;
        emit dataChanged(index(row, first), index(row, last), {Qt::DisplayRole});
        if (first == 0)
            emit headerDataChanged(Qt::Vertical, row, row);
    };
    table.onReset = [this] {
        if (m_prevReset)
            m_prevReset();
        beginResetModel();
        m_rows = m_table.rowCount();
        endResetModel();
    };
    table.onColumnWidthChanged = [this](int column) {
        if (m_prevWidth)
            m_prevWidth(column);
        emit columnWidthChanged(column);
    };
}

CellTableModel::~CellTableModel()
{
    m_table.onRowsInserted = std::move(m_prevInserted);
    m_table.onRowsRemoved = std::move(m_prevRemoved);
    m_table.onCellChanged = std::move(m_prevChanged);
    m_table.onReset = std::move(m_prevReset);
    m_table.onColumnWidthChanged = std::move(m_prevWidth);
}

int CellTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int CellTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_table.columnCount();
}

QVariant CellTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_table.rowCount())
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const std::string_view v = m_table.cellView(index.row(), index.column());
    return FromCp1250(v.data(), int(v.size()));
}

QVariant CellTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return m_titles ? HistColTitle(1, section) : QString();
    if (section < 0 || section >= m_table.rowCount())
        return {};
    const std::string_view v = m_table.cellView(section, 0);
    return FromCp1250(v.data(), int(v.size()));
}

Qt::ItemFlags CellTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == editableColumn && onEdit)
        f |= Qt::ItemIsEditable;
    return f;
}

bool CellTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.column() != editableColumn || !onEdit)
        return false;
    onEdit(index.row(), value.toString());
    return true;
}

} // namespace qv

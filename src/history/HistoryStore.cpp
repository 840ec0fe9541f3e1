#include "history/HistoryStore.h"

#include <algorithm>
#include <charconv>

namespace qv {

std::string JoinCells(const HistoryRow &cells)
{
    std::string joined;
    for (int c = 0; c < hc::HistoryColumns; ++c) {
        if (c)
            joined += '\t';
        joined += cells[c];
    }
    return joined;
}

HistoryStore::HistoryStore(const TextWidths &widths)
    : m_hist(hc::HistoryColumns, widths), m_reply(hc::HistoryColumns, widths)
{
    // Outside a transfer the results follow the history's widths.
    m_hist.onColumnWidthChanged = [this](int column) {
        if (!Copying)
            m_reply.setColumnWidth(column, m_hist.columnWidth(column));
    };
}

bool HistoryStore::HistOK() const
{
    return m_hist.rowCount() >= 2 || !m_hist.cellEmpty(0, hc::Label);
}

bool HistoryStore::ReplyOK() const
{
    return m_reply.rowCount() >= 2 || !m_reply.cellEmpty(0, 0);
}

void HistoryStore::report(HistoryChange change)
{
    if (onChange)
        onChange(change);
}

int HistoryStore::appendPosition() const
{
    return HistOK() ? m_hist.rowCount() : 0;
}

int HistoryStore::addCapturedRow(HistoryRow cells)
{
    if (full())
        return -1;
    const int row = HistOK() ? m_hist.appendRows(1) : 0;
    ++HistCount;
    ++HistId;
    cells[hc::Label] = std::to_string(HistCount);
    cells[hc::Id] = std::to_string(HistId);
    m_hist.setRowBytes(row, JoinCells(cells), true);
    fitLabelColumn();
    rowsAdded(row, row);
    return row;
}

void HistoryStore::rowsAdded(int first, int last)
{
    HistoryChange c(HistoryChange::RowsAdded);
    c.first = first;
    c.last = last;
    report(std::move(c));
}

void HistoryStore::fitLabelColumn()
{
    const std::string count = std::to_string(m_hist.rowCount());
    m_hist.widenColumn(hc::Label, m_hist.fitWidth(count));
}

void HistoryStore::emptied()
{
    HistCount = 0;
    HistId = 0;
    AskDelete = true;
    MarkedRow = -1;
    resetColumnWidths();
}

void HistoryStore::HistDeleteRow(int row)
{
    if (row < 0 || row >= m_hist.rowCount() || !HistOK())
        return;
    const std::string id(m_hist.cellView(row, hc::Id));
    if (MarkedRow == row)
        MarkedRow = -1;
    else if (MarkedRow > row)
        --MarkedRow;
    m_hist.removeRow(row);
    if (ReplyOK()) {
        const int result = findReplyRowById(id);
        if (result >= 0) {
            m_reply.removeRow(result);
            if (onResultsChanged)
                onResultsChanged();
        }
    }
    HistoryChange c(HistoryChange::RowDeleted);
    std::from_chars(id.data(), id.data() + id.size(), c.id);
    c.text = id;
    report(std::move(c));
    if (!HistOK())
        emptied();
}

void HistoryStore::HistDeleteAll()
{
    m_hist.reset();
    m_reply.reset();
    if (onResultsChanged)
        onResultsChanged();
    emptied();
    report(HistoryChange(HistoryChange::Cleared));
}

void HistoryStore::setComment(int row, const QString &text)
{
    if (row < 0 || row >= m_hist.rowCount())
        return;
    const QByteArray bytes = CellBytes(text.left(hc::CommentLength));
    const std::string_view now{bytes.constData(), size_t(bytes.size())};
    if (m_hist.cellView(row, hc::Comment) == now)
        return;
    m_hist.setCellBytes(row, hc::Comment, now);
    HistoryChange c(HistoryChange::CommentChanged);
    const std::string_view id = m_hist.cellView(row, hc::Id);
    std::from_chars(id.data(), id.data() + id.size(), c.id);
    c.first = c.last = row;
    c.text = std::string(now);
    report(std::move(c));
}

void HistoryStore::SetHistColWidths(int column)
{
    if (column < 0 || column > hc::Notes)
        return;
    int width = m_hist.contentWidth(column);
    if (searchBoxWidth)
        width = std::max(width, searchBoxWidth(column));
    if (column < static_cast<int>(DefaultColWidths.size()))
        width = std::max(width, DefaultColWidths[column]);
    m_hist.setColumnWidth(column, width);
    m_reply.setColumnWidth(column, width);
}

void HistoryStore::resetColumnWidths()
{
    for (int c = 0; c < static_cast<int>(DefaultColWidths.size()) && c <= hc::Notes; ++c) {
        m_hist.setColumnWidth(c, DefaultColWidths[c]);
        m_reply.setColumnWidth(c, DefaultColWidths[c]);
    }
}

void HistoryStore::load(const std::vector<HistoryRow> &rows, qint64 histCount, qint64 histId)
{
    std::string joined;
    load(rows.size(), [&](size_t i) -> std::string_view { return joined = JoinCells(rows[i]); },
         histCount, histId);
}

void HistoryStore::load(size_t count, const std::function<std::string_view(size_t)> &row,
                        qint64 histCount, qint64 histId)
{
    replaceHistory(
        [&] {
            const int rows = int(std::min<size_t>(count, size_t(MaxHistRows)));
            if (rows > 0) {
                m_hist.setRowCount(rows);
                for (int r = 0; r < rows; ++r)
                    m_hist.setRowBytes(r, row(size_t(r)), true);
                fitLabelColumn();
            }
        },
        histCount, histId);
}

void HistoryStore::loadPacked(std::vector<CellTable::PackedRows> parts, qint64 histCount, qint64 histId)
{
    replaceHistory(
        [&] {
            m_hist.replaceWithPacked(std::move(parts));
            if (HistOK())
                fitLabelColumn();
        },
        histCount, histId);
}

void HistoryStore::replaceHistory(const std::function<void()> &fill, qint64 histCount, qint64 histId)
{
    {
        CellTable::BulkChange bulk(m_hist);
        CellTable::BulkChange bulkReply(m_reply);
        m_hist.reset();
        m_reply.reset();
        emptied();
        fill();
        HistCount = histCount;
        HistId = histId;
    }
    for (int c = 0; c <= hc::Notes; ++c)
        m_reply.setColumnWidth(c, m_hist.columnWidth(c));
    if (onResultsChanged)
        onResultsChanged();
    HistoryChange c(HistoryChange::Loaded);
    c.first = 0;
    c.last = HistRows() - 1;
    report(std::move(c));
}

namespace {
// Identifiers grow with the rows (each new row takes the next one), so a
// binary search finds them; anything else falls back to a scan.
int findById(const CellTable &t, std::string_view id)
{
    qint64 want = 0;
    const auto parsed = std::from_chars(id.data(), id.data() + id.size(), want);
    if (parsed.ec == std::errc() && parsed.ptr == id.data() + id.size()) {
        int lo = 0, hi = t.rowCount() - 1;
        while (lo <= hi) {
            const int mid = lo + (hi - lo) / 2;
            const std::string_view v = t.cellView(mid, hc::Id);
            qint64 have = 0;
            const auto p = std::from_chars(v.data(), v.data() + v.size(), have);
            if (p.ec != std::errc() || p.ptr != v.data() + v.size())
                break;
            if (have == want)
                return mid;
            if (have < want)
                lo = mid + 1;
            else
                hi = mid - 1;
        }
        // Not found where it should be: make sure by looking everywhere.
    }
    return id.empty() ? -1 : t.findRow(hc::Id, id);
}
} // namespace

int HistoryStore::findHistRowById(std::string_view id) const
{
    return findById(m_hist, id);
}

int HistoryStore::findReplyRowById(std::string_view id) const
{
    return findById(m_reply, id);
}

} // namespace qv

#include "history/CellTable.h"

#include "protocol/Cp1250.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <sys/mman.h>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace qv {

namespace {
constexpr char Tab = '\t';
constexpr size_t ChunkSize = size_t(4) << 20;

// Drops trailing empty cells: a row's bytes end with its last non-empty cell.
std::string_view trimmed(std::string_view row)
{
    while (!row.empty() && row.back() == Tab)
        row.remove_suffix(1);
    return row;
}
} // namespace

// Rows' bytes live in large chunks that are only appended to; a rewritten row
// leaves its old bytes behind until the table compacts itself. The chunks are
// mapped from the system directly, so that a table let go (a history deleted,
// a journal read) gives its memory back at once rather than to the heap.
class CellTable::Arena {
    // A mapped chunk knows its size; an adopted buffer (size 0 here) came from new[].
    struct Unmap {
        size_t size;
        void operator()(char *p) const
        {
            if (size)
                ::munmap(p, size);
            else
                delete[] p;
        }
    };
    using Chunk = std::unique_ptr<char[], Unmap>;

public:
    const char *store(std::string_view bytes)
    {
        if (bytes.empty())
            return nullptr;
        if (m_chunks.empty() || m_free < bytes.size()) {
            const size_t size = std::max(ChunkSize, bytes.size());
            void *p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (p == MAP_FAILED)
                throw std::bad_alloc();
            m_chunks.emplace_back(static_cast<char *>(p), Unmap{size});
            m_held += size;
            m_free = size;
            m_next = m_chunks.back().get();
        }
        char *at = m_next;
        std::memcpy(at, bytes.data(), bytes.size());
        m_next += bytes.size();
        m_free -= bytes.size();
        return at;
    }
    // Takes over a buffer filled elsewhere; its bytes stay where they are.
    const char *adopt(std::unique_ptr<char[]> bytes, size_t size)
    {
        m_chunks.emplace_back(bytes.release(), Unmap{0});
        m_held += size;
        return m_chunks.back().get();
    }
    size_t held() const { return m_held; }

private:
    std::vector<Chunk> m_chunks;
    char *m_next = nullptr;
    size_t m_free = 0;
    size_t m_held = 0;
};

QByteArray CellBytes(const QString &text)
{
    QByteArray bytes = ToCp1250(text);
    bytes.replace(Tab, ' ');
    return bytes;
}

CellTable::CellTable(int columns, const TextWidths &widths)
    : m_columns(columns), m_widths(widths), m_rows(1, Row{nullptr, 0}),
      m_columnWidths(columns, 0), m_arena(std::make_unique<Arena>())
{
}

CellTable::~CellTable() = default;

std::string_view CellTable::rowView(int row) const
{
    const Row &r = m_rows[row];
    return {r.data, r.size};
}

bool CellTable::rowBlank(int row) const
{
    return m_rows[row].size == 0;
}

std::string_view CellTable::cellView(int row, int column) const
{
    std::string_view rest = rowView(row);
    for (int c = 0; c < column; ++c) {
        const size_t tab = rest.find(Tab);
        if (tab == std::string_view::npos)
            return {};
        rest.remove_prefix(tab + 1);
    }
    const size_t end = rest.find(Tab);
    return end == std::string_view::npos ? rest : rest.substr(0, end);
}

void CellTable::splitRow(int row, std::string_view *cells, int count) const
{
    // The TABs of sixteen bytes at a time; the rest of the row byte by byte.
    // Nothing is read past the row's end.
    const std::string_view r = rowView(row);
    const char *p = r.data();
    const size_t n = r.size();
    int c = 0;
    size_t start = 0, i = 0;
#ifdef __SSE2__
    const __m128i tabs = _mm_set1_epi8(Tab);
    for (; i + 16 <= n && c < count; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(block, tabs)));
        for (; mask && c < count; mask &= mask - 1) {
            const size_t at = i + size_t(__builtin_ctz(mask));
            cells[c++] = std::string_view(p + start, at - start);
            start = at + 1;
        }
    }
#endif
    for (; i < n && c < count; ++i) {
        if (p[i] == Tab) {
            cells[c++] = std::string_view(p + start, i - start);
            start = i + 1;
        }
    }
    if (c < count && start < n)
        cells[c++] = std::string_view(p + start, n - start);
    for (; c < count; ++c)
        cells[c] = {};
}

QString CellTable::cell(int row, int column) const
{
    const std::string_view v = cellView(row, column);
    return FromCp1250(v.data(), static_cast<int>(v.size()));
}

void CellTable::storeRow(int row, std::string_view bytes)
{
    bytes = trimmed(bytes);
    Row &r = m_rows[row];
    m_garbage += r.size;
    r.data = m_arena->store(bytes);
    r.size = static_cast<uint32_t>(bytes.size());
}

void CellTable::replaceCell(int row, int column, std::string_view bytes, bool fit)
{
    if (column < 0 || column >= m_columns || row < 0 || row >= rowCount())
        return;
    const std::string_view old = rowView(row);
    std::string &s = m_scratch;
    s.clear();
    // Cells before the column (padded when the row ends early).
    size_t start = 0;
    int c = 0;
    for (; c < column; ++c) {
        const size_t tab = old.find(Tab, start);
        if (tab == std::string_view::npos)
            break;
        start = tab + 1;
    }
    if (c == column) {
        s.append(old.substr(0, start));
    } else {
        s.append(old);
        s.append(static_cast<size_t>(column - c), Tab);
    }
    for (char ch : bytes)
        s.push_back(ch == Tab ? ' ' : ch);
    if (c == column) {
        const size_t end = old.find(Tab, start);
        if (end != std::string_view::npos)
            s.append(old.substr(end));
    }
    storeRow(row, s);
    if (fit)
        widenTo(column, bytes);
    cellChanged(row, column);
    compactIfWasteful();
}

void CellTable::setCellBytes(int row, int column, std::string_view bytes)
{
    replaceCell(row, column, bytes, false);
}

void CellTable::setCellBytesAndFit(int row, int column, std::string_view bytes)
{
    replaceCell(row, column, bytes, true);
}

void CellTable::setCell(int row, int column, const QString &text)
{
    const QByteArray b = CellBytes(text);
    replaceCell(row, column, {b.constData(), size_t(b.size())}, false);
}

void CellTable::setCellAndFit(int row, int column, const QString &text)
{
    const QByteArray b = CellBytes(text);
    replaceCell(row, column, {b.constData(), size_t(b.size())}, true);
}

void CellTable::setRowBytes(int row, std::string_view cells, bool fit)
{
    if (row < 0 || row >= rowCount())
        return;
    // Keep at most the table's columns.
    size_t end = 0;
    for (int c = 0; c < m_columns; ++c) {
        const size_t tab = cells.find(Tab, end);
        if (tab == std::string_view::npos) {
            end = cells.size();
            break;
        }
        end = c + 1 < m_columns ? tab + 1 : tab;
    }
    cells = cells.substr(0, end);
    storeRow(row, cells);
    if (fit) {
        size_t start = 0;
        for (int c = 0; c < m_columns && start <= cells.size(); ++c) {
            size_t tab = cells.find(Tab, start);
            if (tab == std::string_view::npos)
                tab = cells.size();
            widenTo(c, cells.substr(start, tab - start));
            start = tab + 1;
        }
    }
    cellChanged(row, -1);
    compactIfWasteful();
}

void CellTable::widenTo(int column, std::string_view bytes)
{
    if (bytes.empty())
        return;
    widenColumn(column, fitWidth(bytes));
}

void CellTable::cellChanged(int row, int column)
{
    if (!m_bulk && onCellChanged)
        onCellChanged(row, column);
}

void CellTable::replaceWithPacked(std::vector<PackedRows> parts)
{
    BulkChange bulk(*this);
    size_t total = 0;
    for (const PackedRows &p : parts)
        total += p.rows.size();
    m_rows.clear();
    m_rows.reserve(std::max<size_t>(total, 1));
    m_arena = std::make_unique<Arena>();
    m_garbage = 0;
    for (PackedRows &p : parts) {
        const char *base = p.bytes ? m_arena->adopt(std::move(p.bytes), p.size) : nullptr;
        for (const auto &[offset, length] : p.rows) {
            const std::string_view row = trimmed({base + offset, length});
            m_rows.push_back(Row{row.empty() ? nullptr : row.data(), uint32_t(row.size())});
        }
        for (int c = 0; c < m_columns && c < int(p.fitWidths.size()); ++c)
            widenColumn(c, p.fitWidths[size_t(c)]);
        p.rows = {};
    }
    if (m_rows.empty())
        m_rows.push_back(Row{nullptr, 0});
}

int CellTable::appendRows(int count)
{
    const int first = rowCount();
    if (count <= 0)
        return first;
    m_rows.resize(m_rows.size() + static_cast<size_t>(count), Row{nullptr, 0});
    if (!m_bulk && onRowsInserted)
        onRowsInserted(first, rowCount() - 1);
    return first;
}

void CellTable::setRowCount(int rows)
{
    rows = std::max(rows, 1);
    if (rows > rowCount())
        appendRows(rows - rowCount());
    else if (rows < rowCount())
        removeRows(rows, rowCount() - rows);
}

void CellTable::removeRow(int row)
{
    removeRows(row, 1);
}

void CellTable::removeRows(int first, int count)
{
    if (first < 0 || count <= 0 || first >= rowCount())
        return;
    count = std::min(count, rowCount() - first);
    if (count == rowCount()) {
        // The table keeps one row: it is emptied instead.
        for (int r = 1; r < rowCount(); ++r)
            m_garbage += m_rows[r].size;
        m_rows.resize(1);
        storeRow(0, {});
        if (!m_bulk && onReset)
            onReset();
        return;
    }
    for (int r = first; r < first + count; ++r)
        m_garbage += m_rows[r].size;
    m_rows.erase(m_rows.begin() + first, m_rows.begin() + first + count);
    if (!m_bulk && onRowsRemoved)
        onRowsRemoved(first, first + count - 1);
    compactIfWasteful();
}

void CellTable::clearRows(int first, bool withColumn0)
{
    BulkChange bulk(*this);
    for (int r = std::max(first, 0); r < rowCount(); ++r) {
        if (withColumn0) {
            storeRow(r, {});
        } else {
            const std::string_view keep = cellView(r, 0);
            m_scratch.assign(keep.data(), keep.size());
            storeRow(r, m_scratch);
        }
    }
}

void CellTable::reset()
{
    BulkChange bulk(*this);
    m_rows.assign(1, Row{nullptr, 0});
    m_arena = std::make_unique<Arena>();
    m_garbage = 0;
}

int CellTable::findRow(int column, std::string_view bytes) const
{
    for (int r = 0; r < rowCount(); ++r)
        if (cellView(r, column) == bytes)
            return r;
    return -1;
}

void CellTable::setColumnWidth(int column, int width)
{
    if (column < 0 || column >= m_columns || m_columnWidths[column] == width)
        return;
    m_columnWidths[column] = width;
    if (onColumnWidthChanged)
        onColumnWidthChanged(column);
}

void CellTable::setColumnWidths(const std::vector<int> &widths)
{
    for (int c = 0; c < m_columns && c < static_cast<int>(widths.size()); ++c)
        setColumnWidth(c, widths[c]);
}

void CellTable::widenColumn(int column, int width)
{
    if (column >= 0 && column < m_columns && width > m_columnWidths[column])
        setColumnWidth(column, width);
}

int CellTable::contentWidth(int column) const
{
    int widest = 0;
    for (int r = 0; r < rowCount(); ++r) {
        const std::string_view v = cellView(r, column);
        if (!v.empty())
            widest = std::max(widest, fitWidth(v));
    }
    return widest;
}

size_t CellTable::bytesHeld() const
{
    return m_arena->held();
}

void CellTable::compactIfWasteful()
{
    // Rewritten and removed rows leave their bytes behind; copy the live rows
    // into fresh chunks once the waste outgrows them (and is worth a copy).
    const size_t held = m_arena->held();
    if (m_garbage < (size_t(16) << 20) || m_garbage * 2 < held)
        return;
    auto fresh = std::make_unique<Arena>();
    for (Row &r : m_rows)
        r.data = fresh->store({r.data, r.size});
    m_arena = std::move(fresh);
    m_garbage = 0;
}

CellTable::BulkChange::BulkChange(CellTable &table) : m_table(table)
{
    ++m_table.m_bulk;
}

CellTable::BulkChange::~BulkChange()
{
    if (--m_table.m_bulk == 0 && m_table.onReset)
        m_table.onReset();
}

} // namespace qv

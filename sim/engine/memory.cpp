#include "engine/memory.h"

namespace qvsim {

bool MeterMemory::save(const Cell &cell)
{
    if (full())
        return false;
    m_cells.push_back(cell);
    return true;
}

bool MeterMemory::clearLast()
{
    if (m_cells.empty())
        return false;
    m_cells.pop_back();
    return true;
}

bool MeterMemory::store(size_t index, const Cell &cell)
{
    if (index >= capacity() || index > m_cells.size())
        return false;
    if (index == m_cells.size())
        m_cells.push_back(cell);
    else
        m_cells[index] = cell;
    return true;
}

} // namespace qvsim

// The meter's measurement memory: 512 cells inside, or 511 on the external
// memory module, filled from the first; each cell is a stored record frame.
#pragma once

#include "engine/frames.h"

#include <array>
#include <cstddef>
#include <vector>

namespace qvsim {

using Cell = std::array<uint8_t, CellSize>;

class MeterMemory {
public:
    explicit MeterMemory(bool external = false) : m_external(external) {}

    bool external() const { return m_external; }
    size_t capacity() const { return m_external ? 511 : 512; }
    size_t count() const { return m_cells.size(); }
    bool empty() const { return m_cells.empty(); }
    bool full() const { return m_cells.size() >= capacity(); }
    // The status block's memory word: the number of stored cells × 64.
    uint16_t occupancyWord() const { return uint16_t(m_cells.size() << 6); }

    // Appends a cell; false when the memory is full.
    bool save(const Cell &cell);
    bool clearLast();
    void clearAll() { m_cells.clear(); }
    // Cell `index` (0-based); the caller keeps index < count().
    const Cell &cell(size_t index) const { return m_cells.at(index); }
    const std::vector<Cell> &cells() const { return m_cells; }

    // Puts arbitrary bytes into cell `index`, replacing it or, for
    // index == count(), appending; false beyond that or beyond the capacity.
    // Lets tests store what the meter itself would never write.
    bool store(size_t index, const Cell &cell);

    // What "Send to PC" transmits: "!!", the cells, "!!".
    Bytes block() const { return memoryBlock(m_cells); }
    uint32_t blockSize() const { return uint32_t(4 + CellSize * m_cells.size()); }

private:
    bool m_external;
    std::vector<Cell> m_cells;
};

} // namespace qvsim

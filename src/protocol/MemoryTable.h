// The meter's memory block turned into a text table: one line per cell,
// 16 fields each followed by a tab, the line ended by CR LF, in Windows-1250.
//
//  1 cell number   2 date   3 time   4 comment   5 value
//  6 relative result   7 reference   8 integral   9 integration time
// 10 count  11 minimum  12 maximum  13 average  14 min/avg  15 min/max
// 16 probe description
#pragma once

#include <QByteArray>

#include <cstdint>

namespace qv {

constexpr int MemoryCellSize = 63;
constexpr int MemoryFieldCount = 16;
// Fields 5 to 15 of a line: the value and the mode-dependent values.
constexpr int ValueFieldCount = 11;

// Number of whole cells in a memory block of `size` bytes (markers included).
inline uint32_t memoryCellCount(uint32_t size) { return size > 4 ? (size - 4) / MemoryCellSize : 0; }

// Builds the table of the block (`size` bytes, "!!" at both ends): a line for
// every cell. A cell that cannot be shown (a measured value that is not a
// number or is infinite, a negative integration time) keeps its number,
// clock, comment and probe description, with its value fields empty.
// Returns the number of such cells.
uint32_t buildMemoryTable(const uint8_t *block, uint32_t size, uint8_t language, QByteArray &table);

} // namespace qv

// The columns of the history, the search results and the memory table: their
// titles in both languages, the groups over them, how their cells align, and
// the header line of the history files built from the titles.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace qv {

namespace hc {
constexpr int Label = 0;       // sequence number or "M<n>"
constexpr int Date = 1;
constexpr int Time = 2;
constexpr int Comment = 3;
constexpr int Value = 4;
constexpr int IntegrationTime = 8;
constexpr int Count = 9;
constexpr int Notes = 15;
constexpr int Id = 16;         // hidden identifier, unique in the history
constexpr int HistoryColumns = 17;
constexpr int MemoryColumns = 16;
constexpr int MemoryRows = 512;
constexpr int CommentLength = 16;
} // namespace hc

// The title of a column 1..15 (empty otherwise); language 0 Polish, 1 English.
QString HistColTitle(uint8_t language, int column);

// A group of columns in the header strip over the grids.
struct ColumnGroup {
    int first, last;
    const char *english;
    const char *polish;
};
// The groups of the history (memory: true gives the memory table's name of
// the first group). Column 15 has a group of its own without a label.
const ColumnGroup *ColumnGroups(bool memory, int &count);

// Columns 0 and 9 are right-aligned, the others left-aligned.
inline bool RightAligned(int column) { return column == hc::Label || column == hc::Count; }

// The black vertical lines between groups: on the right edge of these columns
// and on the left edge of those.
bool GroupLineRight(int column);
bool GroupLineLeft(int column);

// The header line of history and search-result files, in Windows-1250: a TAB,
// the titles of columns 1..15 joined by TAB, CR LF.
QByteArray FileHeaderLine(uint8_t language);
// The legacy header still accepted when a history file is opened.
QByteArray FileHeaderOld();

} // namespace qv

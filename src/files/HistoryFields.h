// What opening a history file does with each field of a record line: the
// column it lands in (the legacy header maps its columns differently) and
// the rule that turns the field's text into the cell's text. A field that
// does not read by its rule becomes an empty cell; reading never stops.
//
// Fields already in the form the program writes (a date with a four-digit
// year, "hh:nn:ss", the compact number form, a plain integer) are taken as
// they stand or rewritten byte by byte; anything else goes through the full
// lenient reading. The two give the same text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

enum class FieldRule : uint8_t {
    Unchanged,   // columns 0 and 15
    Date,        // column 1
    Time,        // column 2
    Elapsed,     // column 8: a time, or an integration time of a day or more
    Comment,     // column 3: its first 24 characters
    Number,      // columns 4..7, 10..14
    Integer,     // column 9
};

// The rule of a history column 0..15.
FieldRule RuleOfColumn(int column);

// The column of field `index` of a line, or -1 when the field is ignored.
int ColumnOfField(int index, bool legacyHeader);

constexpr size_t MaxFieldLength = 255;
constexpr size_t CommentFieldLength = 24;

// The separators of the system in Windows-1250 bytes, taken once for a file.
struct FieldFormat {
    char decimal = '.';
    char date = '-';
    char time = ':';
    int century = 2000;   // the current century, for two-digit years
    static FieldFormat current();
};

// Writes the cell text of `field` (already cut to MaxFieldLength) read by
// `rule` at `out`, which has room for CellRoom(field) bytes; returns the end.
char *WriteFieldCell(char *out, std::string_view field, FieldRule rule, const FieldFormat &format);
// No cell is longer than its field or than a rewritten number or integer.
constexpr size_t MaxRewrittenCell = 11;
inline size_t CellRoom(std::string_view field) { return field.size() > MaxRewrittenCell ? field.size() : MaxRewrittenCell; }
// The same appended to a string.
void AppendFieldCell(std::string &out, std::string_view field, FieldRule rule, const FieldFormat &format);

// The day a date cell names, as the lenient date reading takes it (for
// writing the four-digit year and for the CSV export). False when it is none.
bool ReadCellDate(std::string_view cell, const FieldFormat &format, int &year, int &month, int &day);
// The time of day of a time cell; false when it is none.
bool ReadCellTime(std::string_view cell, const FieldFormat &format, int &hour, int &minute, int &second);

// The number rule alone: leading characters up to the first digit go (a
// decimal separator just before it stays: ".5" is 0.5), the rest must be a
// whole decimal number with an optional exponent; "Over" in any case stays
// "Over". False for an empty cell.
bool ReadNumberField(std::string_view field, const FieldFormat &format, std::string &cell);

} // namespace qv

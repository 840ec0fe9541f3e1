// The search of the history: one criterion per column 1..15, joined by "and"
// (every criterion switched on must match; testing stops at the first that
// fails) or "or" (one is enough; a row is taken once). Works on the store's
// cell bytes: numbers are read without allocating, texts compared through the
// 8-bit upper-case mapping of Windows-1250.
#pragma once

#include "history/CellTable.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qv {

// What a column holds, as its criterion box reads it.
enum class BoxStyle { Date, Time, Text, Real, Longint };
BoxStyle ColumnStyle(int column);

// Operator indices of a box: 0 switches it off. Dates, times and numbers:
// 1 not equal, 2 less, 3 less or equal, 4 equal, 5 greater or equal,
// 6 greater (the cell compared with the criterion). Texts: 1 contains,
// 2 equal, 3 does not contain, 4 not equal.
enum SearchOp : int {
    OpOff = 0,
    OpNotEqual = 1, OpLess = 2, OpLessEqual = 3, OpEqual = 4, OpGreaterEqual = 5, OpGreater = 6,
    OpContains = 1, OpTextEqual = 2, OpNotContains = 3, OpTextNotEqual = 4,
};

// One criterion as its box hands it over: the normalised text of the box
// (a "dd-mm-yy" date, a "hh:nn:ss" time, the text, or the compact number).
struct Criterion {
    int column = 0;
    int op = OpOff;
    QString text;
    qint64 intValue = 0;   // Longint boxes
};

class HistorySearch {
public:
    // Numbers are read with the decimal separator of formatSettings() now.
    HistorySearch(const std::vector<Criterion> &criteria, bool orMode);

    bool matches(const CellTable &table, int row) const;

    // The rows among the first `rows` of `table` that match, in order.
    // `progress` (when given) is called every few thousand rows with the rows
    // done and the total; false from it stops the search with what was found
    // so far.
    std::vector<int> run(const CellTable &table, int rows,
                         const std::function<bool(int done, int total)> &progress = {}) const;

private:
    struct Test {
        int column;
        BoxStyle style;
        int op;
        std::string key;     // dates and times rearranged, texts folded
        double number = 0;
        bool numberOk = false;
        qint64 integer = 0;
    };
    bool test(const Test &t, std::string_view cell) const;

    std::vector<Test> m_tests;
    mutable std::string m_folded;   // a cell's text as compared, reused
    bool m_or;
    char m_decimal;
};

// Copies the rows (all 17 cells) into the results table, replacing it.
void CopyResults(const CellTable &from, const std::vector<int> &rows, CellTable &results);

// "measure" for 1, "measures" otherwise.
QString OdmienPomiar(qint64 n);
// "1 measure found", "N measures found", "Measures not found".
QString ResultText(int found);

// Reads a number as the search does: optional blanks around it, a sign, the
// decimal separator given, an exponent; nothing else. No allocation.
bool ReadSearchNumber(std::string_view text, char decimal, double &value);

// Windows-1250 text in upper case by the 8-bit mapping.
std::string UpperCp1250(std::string_view text);

} // namespace qv

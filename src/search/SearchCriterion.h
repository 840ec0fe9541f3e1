// One search criterion as a criterion box holds it, without the box: the
// operator lists of each kind of column (the symbols the box draws), and the
// normalisation of a typed value into the canonical text the search compares
// (a compact number, a "dd-mm-yy" date, a "hh:nn:ss" time, the text itself).
// The box under the history grid and `qv7xx-cli search` both go through here,
// so the same typed value gives the same rows in both.
#pragma once

#include "search/HistorySearch.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>

namespace qv {

// The kinds of value a box reads, by the names the box uses.
using TSearchStyle = BoxStyle;
constexpr TSearchStyle ssLongint = BoxStyle::Longint;
constexpr TSearchStyle ssReal = BoxStyle::Real;
constexpr TSearchStyle ssText = BoxStyle::Text;
constexpr TSearchStyle ssDate = BoxStyle::Date;
constexpr TSearchStyle ssTime = BoxStyle::Time;

// What a box reports on a change. Fields the style does not fill keep their
// previous contents.
struct TResult {
    QString Text;        // Longint, Real, Text: the normalised value text
    QString DateText;    // Date: dd-mm-yy with the system date separator
    QString TimeText;    // Time: hh:nn:ss with the system time separator
    int32_t IntValue = 0;
    double RealValue = 0;
};

// The meter's over-range value: "Over" typed in a number box.
constexpr double OverValue = 1.7e38;

// --- operators ---------------------------------------------------------------
// Number of operators of a style, "switched off" (index 0) included: 7, or 5
// for texts.
int OperatorCount(TSearchStyle style);
// The operator's symbol as bytes of the classic symbol font (0xB4 for the
// cross of "off", 0xB9 for "not equal", 0xBC 0x3D 0xBC for "contains", ...):
// the identity of the operator. Empty for an index out of range.
QByteArray OperatorSymbol(TSearchStyle style, int index);
// Symbol-font bytes as the characters they show (0xB4 -> U+00D7 and so on).
QString SymbolGlyphs(const QByteArray &symbolBytes);

// The nine symbols with their descriptions, as the operators window lists them.
struct OperatorDescription {
    QByteArray symbol;
    const char *description;
};
const OperatorDescription *OperatorDescriptions(int &count);

// --- columns -------------------------------------------------------------------
// The word after "Search by " in the hint of the box of a column 1..15.
QString ColumnSearchWord(int column);

// --- normalising a typed value ---------------------------------------------------
struct Validated {
    bool ok = true;        // false: a number that does not read (the box beeps)
    QString text;          // the canonical text the box shows
};
// Normalises `typed` as a box of `style` does, with the separators of
// formatSettings(); fills the fields of `result` that the style fills (only
// when ok). A date or time that does not read becomes `now`'s.
Validated ValidateText(TSearchStyle style, const QString &typed, TResult &result,
                       const QDateTime &now = QDateTime::currentDateTime());

// The criterion the search runs for a box of `column` with operator `op`.
Criterion MakeCriterion(int column, int op, TSearchStyle style, const TResult &result);

} // namespace qv

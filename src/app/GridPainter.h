// How a cell of the history, the search results and the memory table is
// drawn: one routine for the data cells (through the grids' delegate) and for
// the fixed cells (the grids' headers), so every grid looks the same.
#pragma once

#include <QPalette>
#include <QRect>
#include <QString>
#include <QVector>

#include <cstdint>

class QPainter;
class QFont;

namespace qv {

// The colour of the current cell of the focused grid and of the row linked
// to the selected search result.
inline QColor CurrentCellColor() { return QColor(255, 255, 224); }
inline QColor MarkedRowColor() { return QColor(0, 176, 176); }

struct CellLook {
    QString text;
    int column = 0;
    bool header = false;     // the titles row
    bool fixed = false;      // a fixed cell: column 0 or the titles row
    bool current = false;    // the current cell of the focused grid
    bool marked = false;     // the history row linked to a search result
    bool deleting = false;   // the row whose deletion is being asked
    bool lastRow = false;    // the grid's last row: a black line below it
    bool notes = false;      // column 15 of a data row: warnings drawn red
    uint8_t language = 1;
};

// Which characters of a Notes text are warnings drawn red: "No probe",
// "Under", "Over" and "Over Integ." (in Polish "Brak głowicy", "Under",
// "Over", "Over Całka").
QVector<bool> RedCharacters(const QString &notes, uint8_t language);

void PaintGridCell(QPainter &p, const QRect &rect, const CellLook &look, const QPalette &palette);

} // namespace qv

// What sits around a grid: the strip of column groups over it (scrolled with
// the columns), the count display in the corner over column 0, and the pane
// that holds them with the grid.
#pragma once

#include <QWidget>

namespace qv {

class HistoryGrid;

// The column groups ("Measure", "Value", ...) over a grid.
class GroupStrip : public QWidget {
    Q_OBJECT
public:
    GroupStrip(HistoryGrid *grid, bool memory, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    HistoryGrid *m_grid;
    bool m_memory;
};

// "count" and the number of rows in the history; red at the limit, blinking
// above it.
class CountDisplay : public QWidget {
    Q_OBJECT
public:
    explicit CountDisplay(QWidget *parent);
    void setCount(qint64 rows, qint64 limit);
    qint64 count() const { return m_rows; }
    bool atLimit() const { return m_rows >= m_limit; }
    // The grid's row count, its title row included, is above the limit.
    bool overLimit() const { return m_rows >= m_limit; }
    // The blink phase (over the limit the number is left out in one phase).
    void setBlinkPhase(bool hidden);
    bool numberShown() const { return !(overLimit() && m_hidden); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qint64 m_rows = 0, m_limit = 1;
    bool m_hidden = false;
};

// A grid with its group strip above it and, in the corner, a box over the
// fixed column (the count display, or empty).
class GridPane : public QWidget {
    Q_OBJECT
public:
    GridPane(HistoryGrid *grid, GroupStrip *strip, QWidget *corner, QWidget *parent);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layOut();
    HistoryGrid *m_grid;
    GroupStrip *m_strip;
    QWidget *m_corner;
};

} // namespace qv

// Vertical text for the narrow box left of the criterion boxes: the words
// "Search" and "by..." reading upwards. Clicking the box shows or hides the
// operators window.
#pragma once

#include <QWidget>

#include <functional>

class QPainter;

namespace qv {

// Draws `text` in the painter's font and pen colour turned a quarter turn
// counter-clockwise: the pixel (column c, row r) of the text as written
// lands at (left + r - 1, bottom - c). Every pixel of the glyphs is drawn
// whole (no smoothing).
void TxtPion(const QString &text, QPainter &canvas, int bottom, int left);

class SearchLabel : public QWidget {
    Q_OBJECT
public:
    explicit SearchLabel(QWidget *parent);
    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
};

} // namespace qv

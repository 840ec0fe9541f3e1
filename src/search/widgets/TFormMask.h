// The window describing the search operators: each symbol of the criterion
// boxes with what it means, on light yellow, at exactly the size of its
// table. It belongs to the main window (and stays in front of it) and frees
// itself when closed, telling where it was.
#pragma once

#include <QPoint>
#include <QWidget>

#include <functional>

namespace qv {

class TFormMask : public QWidget {
    Q_OBJECT
public:
    TFormMask(QWidget *owner, uint8_t language);
    ~TFormMask() override;

    // The window goes: its top-left corner then.
    std::function<void(QPoint topLeft)> OnDestroy;

    // The table's geometry (tests): column widths and row height.
    int symbolWidth() const { return m_symbolWidth; }
    int descriptionWidth() const { return m_descriptionWidth; }
    int rowHeight() const { return m_rowHeight; }

    static constexpr int Border = 4;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QFont m_symbolFont, m_textFont;
    int m_symbolWidth = 0, m_descriptionWidth = 0, m_rowHeight = 0;
};

// Where the window opens the first time: centred on the owner's rectangle
// (horizontally not left of its left edge), then kept inside the work area,
// right and bottom edges first, then left and top.
QPoint FirstMaskPosition(const QRect &owner, const QSize &window, const QRect &workArea);

} // namespace qv

// The LCD picture on screen, at scale 1 (the 264 x 136 image). It reports
// left clicks and double clicks in LCD pixels (the picture's 128 x 64 dots,
// fractions kept) for the menu selection.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

namespace qv {

class LcdView : public QWidget {
    Q_OBJECT
public:
    explicit LcdView(QWidget *parent);

    void setImage(const QImage &image);
    const QImage &image() const { return m_image; }

    // The LCD pixel under an image position.
    static QPointF lcdPixel(const QPoint &pos);

    // A left click with no Shift, Ctrl or Alt held; a double click.
    std::function<void(QPointF)> onClick;
    std::function<void(QPointF)> onDoubleClick;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QImage m_image;
};

} // namespace qv

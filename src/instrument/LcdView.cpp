#include "instrument/LcdView.h"

#include "instrument/LcdSurface.h"

#include <QMouseEvent>
#include <QPainter>

namespace qv {

LcdView::LcdView(QWidget *parent) : QWidget(parent)
{
    setFixedSize(LcdSurface::ImageWidth, LcdSurface::ImageHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LcdView::setImage(const QImage &image)
{
    m_image = image;
    update();
}

QPointF LcdView::lcdPixel(const QPoint &pos)
{
    return {(pos.x() - LcdSurface::Margin) / 2.0, (pos.y() - LcdSurface::Margin) / 2.0};
}

void LcdView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, m_image);
}

void LcdView::mousePressEvent(QMouseEvent *event)
{
    const auto held = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (event->button() == Qt::LeftButton && !held && onClick)
        onClick(lcdPixel(event->position().toPoint()));
    QWidget::mousePressEvent(event);
}

void LcdView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Not passed on as a second press: the click before it was the press.
    if (event->button() == Qt::LeftButton && onDoubleClick)
        onDoubleClick(lcdPixel(event->position().toPoint()));
    event->accept();
}

} // namespace qv

#include "search/widgets/SearchLabel.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

namespace qv {

void TxtPion(const QString &text, QPainter &canvas, int bottom, int left)
{
    QFont font = canvas.font();
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics fm(font);
    const int w = fm.horizontalAdvance(text), h = fm.height();
    if (w <= 0 || h <= 0)
        return;
    QImage image(w, h, QImage::Format_RGB32);
    const QRgb background = qRgb(255, 255, 255);
    image.fill(background);
    {
        QPainter p(&image);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QRect(0, 0, w, h), Qt::AlignLeft | Qt::AlignTop, text);
    }
    canvas.save();
    canvas.setPen(canvas.pen().color());
    for (int r = 0; r < h; ++r) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(r));
        for (int c = 0; c < w; ++c)
            if (line[c] != background)
                canvas.drawPoint(left + r - 1, bottom - c);
    }
    canvas.restore();
}

SearchLabel::SearchLabel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PBSBX"));
    setCursor(Qt::PointingHandCursor);
}

void SearchLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics fm(font());
    const int W = width(), H = height(), h = fm.height();
    const int x0 = (W - 2 * (h - 2)) / 2;
    const auto bottomOf = [&](const QString &t) { return H - ((H - fm.horizontalAdvance(t)) / 2 + 1); };
    const QString first = QStringLiteral("Search"), second = QStringLiteral("by...");
    TxtPion(first, p, bottomOf(first), x0);
    TxtPion(second, p, bottomOf(second), W - h - x0);
}

void SearchLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && onClick)
        onClick();
    QWidget::mousePressEvent(event);
}

} // namespace qv

#include "dialogs/TGauge.h"

#include <QPainter>

#include <algorithm>

namespace qv {

TGauge::TGauge(QWidget *parent) : QWidget(parent) {}

void TGauge::setKind(TGaugeKind kind)
{
    m_kind = kind;
    update();
}

void TGauge::setShowText(bool on)
{
    m_showText = on;
    update();
}

void TGauge::setBorderStyle(TGaugeBorderStyle style)
{
    m_border = style;
    update();
}

void TGauge::setForeColor(const QColor &color)
{
    m_fore = color;
    update();
}

void TGauge::setBackColor(const QColor &color)
{
    m_back = color;
    update();
}

void TGauge::setMinValue(int value) { setRange(std::min(value, m_max), m_max); }

void TGauge::setMaxValue(int value) { setRange(m_min, std::max(value, m_min)); }

void TGauge::setProgress(int value)
{
    value = std::clamp(value, m_min, m_max);
    if (value == m_progress)
        return;
    m_progress = value;
    update();
}

void TGauge::setRange(int min, int max)
{
    m_min = min;
    m_max = max;
    m_progress = std::clamp(m_progress, m_min, m_max);
    update();
}

int TGauge::PercentDone() const
{
    const qint64 span = qint64(m_max) - m_min;
    if (span == 0)
        return 0;
    return int((qint64(m_progress) - m_min) * 100 / span);
}

void TGauge::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QRect area = rect();
    if (m_border == bsSingle) {
        p.setPen(Qt::black);
        p.drawRect(area.adjusted(0, 0, -1, -1));
        area.adjust(1, 1, -1, -1);
    }
    p.fillRect(area, m_back);

    QRect bar = area;
    if (m_kind == gkHorizontalBar) {
        bar.setWidth(area.width() * PercentDone() / 100);
    } else {
        const int h = area.height() * PercentDone() / 100;
        bar.setTop(area.bottom() - h + 1);
    }
    if (!bar.isEmpty())
        p.fillRect(bar, m_fore);

    if (m_showText) {
        // The text takes the other colour where the bar lies under it.
        const QString text = QString::number(PercentDone()) + QLatin1Char('%');
        p.setPen(m_fore);
        p.drawText(area, Qt::AlignCenter, text);
        p.setClipRect(bar);
        p.setPen(m_back);
        p.drawText(area, Qt::AlignCenter, text);
    }
}

} // namespace qv

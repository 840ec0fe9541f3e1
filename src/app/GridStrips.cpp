#include "app/GridStrips.h"

#include "app/HistoryGrid.h"
#include "history/HistoryColumns.h"

#include <QHeaderView>
#include <QPainter>

namespace qv {

GroupStrip::GroupStrip(HistoryGrid *grid, bool memory, QWidget *parent)
    : QWidget(parent), m_grid(grid), m_memory(memory)
{
    setFont(grid->font());
    setFixedHeight(grid->rowHeight() + 2);
    connect(grid, &HistoryGrid::horizontallyScrolled, this, qOverload<>(&QWidget::update));
}

void GroupStrip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    int count = 0;
    const ColumnGroup *groups = ColumnGroups(m_memory, count);
    // The strip starts where the scrolled columns start.
    const int origin = m_grid->verticalHeader()->width() + m_grid->frameWidth();
    for (int g = 0; g < count; ++g) {
        const int left = m_grid->columnViewportPosition(groups[g].first);
        const int right = m_grid->columnViewportPosition(groups[g].last) + m_grid->columnWidth(groups[g].last);
        if (left < 0 && right <= 0)
            continue;
        const QRect box(origin + left, 0, right - left, height());
        p.setPen(palette().color(QPalette::Light));
        p.drawLine(box.left() + 1, box.top() + 1, box.right() - 1, box.top() + 1);
        p.drawLine(box.left() + 1, box.top() + 1, box.left() + 1, box.bottom() - 1);
        p.setPen(Qt::black);
        p.drawRect(box.adjusted(0, 0, -1, -1));
        p.setPen(palette().color(QPalette::ButtonText));
        p.drawText(box, Qt::AlignCenter, QString::fromUtf8(groups[g].english));
    }
}

CountDisplay::CountDisplay(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PBOpisCol0"));
    const QString hint = QStringLiteral("Number of measures in history");
    setToolTip(hint);
    setStatusTip(hint);
}

void CountDisplay::setCount(qint64 rows, qint64 limit)
{
    if (rows == m_rows && limit == m_limit)
        return;
    m_rows = rows;
    m_limit = limit;
    update();
}

void CountDisplay::setBlinkPhase(bool hidden)
{
    if (hidden == m_hidden)
        return;
    m_hidden = hidden;
    if (overLimit())
        update();
}

void CountDisplay::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    const QRect inner = rect().adjusted(1, 1, -3, -1);
    const int line = fontMetrics().height();
    p.setPen(palette().color(QPalette::ButtonText));
    p.drawText(QRect(inner.left(), inner.top(), inner.width(), line), Qt::AlignRight | Qt::AlignTop,
               QStringLiteral("count"));
    if (!numberShown())
        return;
    p.setPen(atLimit() ? QColor(Qt::red) : QColor(Qt::black));
    p.drawText(QRect(inner.left(), inner.top() + line, inner.width(), line), Qt::AlignRight | Qt::AlignTop,
               QString::number(m_rows));
}

GridPane::GridPane(HistoryGrid *grid, GroupStrip *strip, QWidget *corner, QWidget *parent)
    : QWidget(parent), m_grid(grid), m_strip(strip), m_corner(corner)
{
    grid->setParent(this);
    if (strip)
        strip->setParent(this);
    if (corner) {
        corner->setParent(this);
        corner->raise();
    }
    connect(grid, &HistoryGrid::horizontallyScrolled, this, [this] { layOut(); });
}

void GridPane::resizeEvent(QResizeEvent *)
{
    layOut();
}

void GridPane::layOut()
{
    const int top = m_strip ? m_strip->height() : 0;
    m_grid->setGeometry(0, top, width(), height() - top);
    const int fixed = m_grid->frameWidth() + m_grid->verticalHeader()->width();
    if (m_strip)
        m_strip->setGeometry(0, 0, width(), top);
    if (m_corner) {
        const int below = m_grid->horizontalHeader()->isVisible() ? m_grid->horizontalHeader()->height() : 0;
        m_corner->setGeometry(0, 0, fixed, top + below + m_grid->frameWidth());
        m_corner->raise();
    }
}

} // namespace qv

#include "chart/widgets/ChartView.h"

#include "history/HistoryColumns.h"
#include "history/HistoryStore.h"

#include <QAbstractItemModel>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QGraphicsItem>
#include <QImage>
#include <QKeyEvent>
#include <QLogValueAxis>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace qv {

namespace {
constexpr int RedrawMs = 50;           // new rows are drawn at most this often
constexpr double MinSpanMs = 2000;     // the narrowest time range a zoom reaches
constexpr double PickPixels = 6;       // a click this near a point selects it
const QColor CurveColor(32, 74, 135);
// The search's marked-row colour of the History view.
const QColor ResultColor(0, 176, 176);
const QColor SelectedColor(204, 0, 0);
} // namespace

// The curve in the chart's scene, drawn over the plot area from what the view
// reduced: one path with its breaks, single points where a row stands alone,
// the search results and the selected row as markers.
class ChartCurveItem : public QGraphicsItem {
public:
    explicit ChartCurveItem(QGraphicsItem *parent) : QGraphicsItem(parent) { setZValue(10); }

    void set(const QRectF &area, QPainterPath path, QVector<QPointF> singles, QVector<QPointF> results,
             std::optional<QPointF> selected)
    {
        prepareGeometryChange();
        m_area = area;
        m_path = std::move(path);
        m_singles = std::move(singles);
        m_results = std::move(results);
        m_selected = selected;
        update();
    }
    QRectF boundingRect() const override { return m_area.adjusted(-4, -4, 4, 4); }
    void paint(QPainter *p, const QStyleOptionGraphicsItem *, QWidget *) override
    {
        p->save();
        p->setClipRect(m_area.adjusted(-3, -3, 3, 3));
        p->setRenderHint(QPainter::Antialiasing, true);
        // A one-pixel pen takes the raster engine's cosmetic stroker: a wider
        // one turns the path into polygons first, many times slower.
        QPen pen(CurveColor, 1);
        pen.setCosmetic(true);
        p->setPen(pen);
        p->setBrush(Qt::NoBrush);
        p->drawPath(m_path);
        p->setPen(QPen(CurveColor, 3, Qt::SolidLine, Qt::RoundCap));
        p->drawPoints(m_singles.constData(), int(m_singles.size()));
        p->setPen(QPen(ResultColor.darker(130), 1));
        p->setBrush(ResultColor);
        for (const QPointF &pt : m_results)
            p->drawEllipse(pt, 3.5, 3.5);
        if (m_selected) {
            p->setPen(QPen(SelectedColor, 2));
            p->setBrush(Qt::NoBrush);
            p->drawEllipse(*m_selected, 6, 6);
        }
        p->restore();
    }

private:
    QRectF m_area;
    QPainterPath m_path;
    QVector<QPointF> m_singles, m_results;
    std::optional<QPointF> m_selected;
};

ChartView::ChartView(const HistoryStore &store, QWidget *parent) : QChartView(parent), m_store(store)
{
    setObjectName(QStringLiteral("ChartView"));
    setFocusPolicy(Qt::StrongFocus);
    setRenderHint(QPainter::Antialiasing, true);
    setDragMode(QGraphicsView::NoDrag);
    setRubberBand(QChartView::NoRubberBand);

    QChart *c = chart();
    c->legend()->hide();
    c->setMargins(QMargins(4, 4, 8, 4));
    m_axisX = new QDateTimeAxis(c);
    m_axisX->setTickCount(6);
    m_axisLinear = new QValueAxis(c);
    m_axisLog = new QLogValueAxis(c);
    m_axisLog->setBase(10);
    m_axisLog->setLabelFormat(QStringLiteral("%g"));
    m_axisLog->setMinorTickCount(8);
    c->addAxis(m_axisX, Qt::AlignBottom);
    c->addAxis(m_axisLinear, Qt::AlignLeft);
    m_curve = new ChartCurveItem(c);
    connect(c, &QChart::plotAreaChanged, this, [this] { reduce(); });

    m_timer.setSingleShot(true);
    m_timer.setInterval(RedrawMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { refresh(); });
}

ChartView::~ChartView()
{
    // The axis not in the chart is ours.
    if (m_log)
        delete m_axisLinear;
    else
        delete m_axisLog;
}

void ChartView::watch(QAbstractItemModel *history, QAbstractItemModel *results)
{
    connect(history, &QAbstractItemModel::rowsInserted, this, [this] { schedule(); });
    connect(history, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex &, int first, int) { dataChanged(first, -1); });
    connect(history, &QAbstractItemModel::modelReset, this, [this] { dataChanged(0, -1); });
    connect(history, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &from, const QModelIndex &to) {
                // Only the cells the chart reads matter (not the comment).
                for (int c : {hc::Date, hc::Time, hc::Value, hc::Notes})
                    if (c >= from.column() && c <= to.column()) {
                        dataChanged(from.row(), c);
                        return;
                    }
            });
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(results, signal, this, [this] {
            m_resultsStale = true;
            schedule();
        });
    connect(results, &QAbstractItemModel::modelReset, this, [this] {
        m_resultsStale = true;
        schedule();
    });
    connect(results, &QAbstractItemModel::dataChanged, this, [this] {
        m_resultsStale = true;
        schedule();
    });
}

void ChartView::dataChanged(int firstRow, int)
{
    m_series.invalidateFrom(firstRow);
    if (m_selectedRow >= firstRow)
        m_selected.reset();
    schedule();
}

void ChartView::schedule()
{
    if (isVisible() && !m_timer.isActive())
        m_timer.start();
}

void ChartView::setLogScale(bool log)
{
    if (log == m_log)
        return;
    QChart *c = chart();
    c->removeAxis(log ? static_cast<QAbstractAxis *>(m_axisLinear) : m_axisLog);
    m_log = log;
    c->addAxis(log ? static_cast<QAbstractAxis *>(m_axisLog) : m_axisLinear, Qt::AlignLeft);
    refresh();
}

void ChartView::setShowResults(bool show)
{
    m_showResults = show;
    refresh();
}

void ChartView::setSelectedRow(int row)
{
    m_selectedRow = row;
    m_selected.reset();
    for (const ChartSample &s : m_series.samples())
        if (s.row == row) {
            m_selected = s;
            break;
        }
    reduce();
}

void ChartView::showAll()
{
    m_follow = true;
    refresh();
}

void ChartView::showTimeRange(double t0, double t1)
{
    if (t1 - t0 < MinSpanMs) {
        const double mid = (t0 + t1) / 2;
        t0 = mid - MinSpanMs / 2;
        t1 = mid + MinSpanMs / 2;
    }
    m_follow = false;
    m_t0 = t0;
    m_t1 = t1;
    setAxes();
}

void ChartView::refresh()
{
    m_timer.stop();
    m_series.follow(m_store.hist(), m_store.HistRows());
    if (m_resultsStale) {
        m_results.clear();
        if (m_store.ReplyOK())
            m_results.follow(m_store.reply(), m_store.reply().rowCount());
        m_resultsStale = false;
    }
    if (m_selectedRow >= 0 && !m_selected)
        setSelectedRow(m_selectedRow);
    if (m_follow) {
        const auto &s = m_series.samples();
        if (s.empty()) {
            const double now = double(QDateTime::currentMSecsSinceEpoch());
            m_t0 = now - 3600000;
            m_t1 = now;
        } else {
            m_t0 = s.front().t;
            m_t1 = std::max(s.back().t, m_t0 + MinSpanMs);
        }
    }
    setAxes();
}

QString ChartView::valueAxisTitle() const
{
    const QString unit = m_series.unit();
    const QString name = HistColTitle(1, hc::Value);
    return unit.isEmpty() ? name : name + QStringLiteral(" [") + unit + QLatin1Char(']');
}

void ChartView::setAxes()
{
    // The value range of what is in sight, from the columns that are drawn.
    const auto &cols = reducedColumns(true);
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    for (const PixelColumn &c : cols) {
        lo = std::min(lo, c.min);
        hi = std::max(hi, c.max);
    }
    if (m_log) {
        if (cols.empty()) {
            lo = 1;
            hi = 10;
        }
        m_y0 = std::pow(10.0, std::floor(std::log10(lo)));
        m_y1 = std::pow(10.0, std::ceil(std::log10(hi)));
        if (m_y1 <= m_y0)
            m_y1 = m_y0 * 10;
        m_axisLog->setRange(m_y0, m_y1);
        m_axisLog->setTitleText(valueAxisTitle());
    } else {
        if (cols.empty()) {
            lo = 0;
            hi = 1;
        }
        const double pad = hi > lo ? (hi - lo) * 0.05 : std::max(std::abs(hi) * 0.1, 1e-9);
        m_axisLinear->setRange(lo - pad, hi + pad);
        m_axisLinear->applyNiceNumbers();
        m_y0 = m_axisLinear->min();
        m_y1 = m_axisLinear->max();
        m_axisLinear->setTitleText(valueAxisTitle());
    }
    const bool days = m_t1 - m_t0 > 2 * 86400000.0;
    m_axisX->setFormat(days ? QStringLiteral("dd-MM-yy hh:mm") : QStringLiteral("hh:mm:ss"));
    m_axisX->setRange(QDateTime::fromMSecsSinceEpoch(qint64(m_t0)), QDateTime::fromMSecsSinceEpoch(qint64(m_t1)));
    reduce();
}

double ChartView::mapY(double v) const
{
    const QRectF a = chart()->plotArea();
    const double f = m_log ? (std::log10(v) - std::log10(m_y0)) / (std::log10(m_y1) - std::log10(m_y0))
                           : (v - m_y0) / (m_y1 - m_y0);
    return a.bottom() - f * a.height();
}

double ChartView::timeAtX(double x) const
{
    const QRectF a = chart()->plotArea();
    return m_t0 + (x - a.left()) / std::max(1.0, a.width()) * (m_t1 - m_t0);
}

const std::vector<PixelColumn> &ChartView::reducedColumns(bool dataChanged)
{
    const ReductionRange range{m_t0, m_t1, std::max(1, int(chart()->plotArea().width())), m_series.gap(), m_log};
    const ReductionRange &was = m_reducedFor;
    if (dataChanged || range.t0 != was.t0 || range.t1 != was.t1 || range.width != was.width ||
        range.gap != was.gap || range.positiveOnly != was.positiveOnly) {
        const auto &s = m_series.samples();
        m_columns = ReduceToColumns(s.data(), s.size(), range);
        m_reducedFor = range;
    }
    return m_columns;
}

void ChartView::reduce()
{
    const QRectF a = chart()->plotArea();
    // As many time labels as fit their width.
    const int ticks = std::clamp(int(a.width() / (m_t1 - m_t0 > 2 * 86400000.0 ? 130 : 75)) + 1, 2, 8);
    if (ticks != m_axisX->tickCount())
        m_axisX->setTickCount(ticks);
    reducedColumns(false);
    ReductionRange range = m_reducedFor;
    const auto colX = [&a](const PixelColumn &c) { return a.left() + c.x + 0.5; };

    QPainterPath path;
    QVector<QPointF> singles;
    for (size_t i = 0; i < m_columns.size(); ++i) {
        const PixelColumn &c = m_columns[i];
        const double x = colX(c);
        const bool lineOn = i + 1 < m_columns.size() && m_columns[i + 1].joined;
        if (c.joined)
            path.lineTo(x, mapY(c.first));
        else
            path.moveTo(x, mapY(c.first));
        if (c.min != c.max || c.joined || lineOn) {
            path.lineTo(x, mapY(c.min));
            path.lineTo(x, mapY(c.max));
            path.lineTo(x, mapY(c.last));
        } else {
            singles.append(QPointF(x, mapY(c.first)));
        }
    }
    QVector<QPointF> results;
    m_resultColumns.clear();
    if (m_showResults && !m_results.empty()) {
        range.gap = 0;
        const auto &r = m_results.samples();
        m_resultColumns = ReduceToColumns(r.data(), r.size(), range);
        for (const PixelColumn &c : m_resultColumns) {
            results.append(QPointF(colX(c), mapY(c.min)));
            if (c.max != c.min)
                results.append(QPointF(colX(c), mapY(c.max)));
        }
    }
    std::optional<QPointF> selected;
    if (m_selected && m_selected->t >= m_t0 && m_selected->t <= m_t1 && !std::isnan(m_selected->v) &&
        (!m_log || m_selected->v > 0))
        selected = QPointF(a.left() + (m_selected->t - m_t0) / (m_t1 - m_t0) * a.width(), mapY(m_selected->v));
    m_curve->set(a, std::move(path), std::move(singles), std::move(results), selected);
}

QPointF ChartView::viewPosition(double t, double v) const
{
    const QRectF a = chart()->plotArea();
    const QPointF inChart(a.left() + (t - m_t0) / (m_t1 - m_t0) * a.width(), mapY(v));
    return mapFromScene(chart()->mapToScene(inChart));
}

int ChartView::rowNear(const QPointF &chartPos) const
{
    // The lowest and highest point of each pixel column near the click are
    // the points drawn: the nearest of them is the row.
    const QRectF a = chart()->plotArea();
    int best = -1;
    double bestDist = PickPixels * PickPixels;
    for (const PixelColumn &c : m_columns) {
        const double dx = a.left() + c.x + 0.5 - chartPos.x();
        if (std::abs(dx) > PickPixels)
            continue;
        for (auto [v, row] : {std::pair{c.min, c.minRow}, {c.max, c.maxRow}}) {
            const double dy = mapY(v) - chartPos.y();
            if (dx * dx + dy * dy <= bestDist) {
                bestDist = dx * dx + dy * dy;
                best = row;
            }
        }
    }
    return best;
}

bool ChartView::savePicture(const QString &path, bool svg, QString &error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    const QRect area = viewport()->rect();
    if (svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&file);
        generator.setSize(area.size());
        generator.setViewBox(area);
        generator.setTitle(QStringLiteral("QV-7xx chart"));
        QPainter p(&generator);
        render(&p, QRectF(area), area);
    } else {
        QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter p(&image);
        render(&p, QRectF(area), area);
        p.end();
        if (!image.save(&file, "PNG")) {
            error = QStringLiteral("the picture could not be written");
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

void ChartView::showEvent(QShowEvent *event)
{
    QChartView::showEvent(event);
    refresh();
}

void ChartView::resizeEvent(QResizeEvent *event)
{
    QChartView::resizeEvent(event);
    reduce();
}

void ChartView::wheelEvent(QWheelEvent *event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0)
        return;
    const QPointF at = chart()->mapFromScene(mapToScene(event->position().toPoint()));
    const double centre = timeAtX(at.x());
    const double f = std::pow(0.8, steps);
    const auto &s = m_series.samples();
    // Zoomed out past every row, the chart shows all and follows again.
    if (f > 1 && !s.empty() && (m_t1 - m_t0) * f >= s.back().t - s.front().t)
        showAll();
    else
        showTimeRange(centre - (centre - m_t0) * f, centre + (m_t1 - centre) * f);
    event->accept();
}

void ChartView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QChartView::mousePressEvent(event);
    m_dragFrom = event->position();
    m_dragT0 = m_t0;
    m_dragT1 = m_t1;
    m_dragged = false;
    event->accept();
}

void ChartView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragFrom)
        return QChartView::mouseMoveEvent(event);
    const double dx = event->position().x() - m_dragFrom->x();
    if (!m_dragged && std::abs(dx) < 3)
        return;
    m_dragged = true;
    const double shift = dx / std::max(1.0, chart()->plotArea().width()) * (m_dragT1 - m_dragT0);
    showTimeRange(m_dragT0 - shift, m_dragT1 - shift);
}

void ChartView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_dragFrom || event->button() != Qt::LeftButton)
        return QChartView::mouseReleaseEvent(event);
    m_dragFrom.reset();
    if (m_dragged)
        return;
    const int row = rowNear(chart()->mapFromScene(mapToScene(event->position().toPoint())));
    if (row >= 0) {
        setSelectedRow(row);
        if (onRowClicked)
            onRowClicked(row);
    }
}

void ChartView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        showAll();
}

void ChartView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Home) {
        showAll();
        return;
    }
    QChartView::keyPressEvent(event);
}

} // namespace qv

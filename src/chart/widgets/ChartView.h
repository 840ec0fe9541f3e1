// The Chart view's plot: the history's values against their date and time on
// Qt Charts' axes (a date-time axis, a linear or logarithmic value axis with
// the unit in its title). The curve itself is one item in the chart's scene
// drawn from the pixel columns of ReduceToColumns, because a line series of
// Qt Charts has no gaps and would be handed every point; what it draws grows
// with the plot's width, never with the history.
//
// It follows the history's model: rows added at the end are read as they
// come (redrawn at most every 50 ms); the time axis follows them until the
// user zooms (wheel) or pans (drag); a double click or Home shows all again.
// A click on the curve reports the nearest row.
#pragma once

#include "chart/ChartSeries.h"

#include <QChartView>
#include <QTimer>

#include <functional>
#include <optional>
#include <vector>

class QAbstractItemModel;
class QDateTimeAxis;
class QLogValueAxis;
class QValueAxis;
class QAbstractAxis;

namespace qv {

class HistoryStore;
class ChartCurveItem;

class ChartView : public QChartView {
    Q_OBJECT
public:
    ChartView(const HistoryStore &store, QWidget *parent = nullptr);
    ~ChartView() override;

    // The models of the history and of the search results, whose changes the
    // chart follows.
    void watch(QAbstractItemModel *history, QAbstractItemModel *results);

    void setLogScale(bool log);
    bool logScale() const { return m_log; }
    // Search results drawn as highlighted points.
    void setShowResults(bool show);
    // The history row drawn as selected (-1: none).
    void setSelectedRow(int row);
    int selectedRow() const { return m_selectedRow; }

    // Every row in sight, following new ones.
    void showAll();
    bool following() const { return m_follow; }
    // Shows the time range [t0, t1] (ms since the epoch) and stops following.
    void showTimeRange(double t0, double t1);
    double timeMin() const { return m_t0; }
    double timeMax() const { return m_t1; }

    // Reads what changed and draws now (normally done by the timer).
    void refresh();
    // What is drawn: the pixel columns of the history and of the results.
    const std::vector<PixelColumn> &columns() const { return m_columns; }
    const std::vector<PixelColumn> &resultColumns() const { return m_resultColumns; }
    const ChartSeries &series() const { return m_series; }
    QString valueAxisTitle() const;
    // The point of the view where a time and value are drawn.
    QPointF viewPosition(double t, double v) const;

    // Saves the chart as shown: a PNG or an SVG picture. False with `error`
    // set when the file could not be written.
    bool savePicture(const QString &path, bool svg, QString &error);

    // A click on the curve: the history row nearest to it.
    std::function<void(int row)> onRowClicked;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void schedule();
    void dataChanged(int firstRow, int column);
    void setAxes();
    // The history's columns at the plot's present width and range, reduced
    // again only when these or (dataChanged) the rows changed.
    const std::vector<PixelColumn> &reducedColumns(bool dataChanged);
    void reduce();
    double timeAtX(double x) const;
    double mapY(double v) const;
    int rowNear(const QPointF &chartPos) const;

    const HistoryStore &m_store;
    ChartSeries m_series, m_results;
    bool m_resultsStale = true;
    bool m_showResults = true;
    bool m_log = false;
    bool m_follow = true;
    double m_t0 = 0, m_t1 = 1, m_y0 = 0, m_y1 = 1;
    int m_selectedRow = -1;
    std::optional<ChartSample> m_selected;
    std::vector<PixelColumn> m_columns, m_resultColumns;
    ReductionRange m_reducedFor;
    QTimer m_timer;

    QDateTimeAxis *m_axisX = nullptr;
    QValueAxis *m_axisLinear = nullptr;
    QLogValueAxis *m_axisLog = nullptr;
    ChartCurveItem *m_curve = nullptr;

    // A drag in progress: where it started and the range then.
    std::optional<QPointF> m_dragFrom;
    double m_dragT0 = 0, m_dragT1 = 0;
    bool m_dragged = false;
};

} // namespace qv

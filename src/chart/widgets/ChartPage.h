// The Chart view's page: the plot, and over it the choice of a logarithmic
// value axis, whether the search results are highlighted, and how to move
// around the plot.
#pragma once

#include <QWidget>

class QCheckBox;

namespace qv {

class ChartView;
class HistoryStore;

class ChartPage : public QWidget {
    Q_OBJECT
public:
    ChartPage(const HistoryStore &store, QWidget *parent = nullptr);

    ChartView *view() const { return m_view; }
    QCheckBox *logScale() const { return m_log; }
    QCheckBox *showResults() const { return m_results; }

private:
    ChartView *m_view;
    QCheckBox *m_log;
    QCheckBox *m_results;
};

} // namespace qv

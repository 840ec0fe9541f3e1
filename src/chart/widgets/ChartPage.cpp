#include "chart/widgets/ChartPage.h"

#include "chart/widgets/ChartView.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace qv {

ChartPage::ChartPage(const HistoryStore &store, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PanelChart"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(2);
    auto *bar = new QHBoxLayout;
    m_log = new QCheckBox(QStringLiteral("Log scale"), this);
    m_log->setStatusTip(QStringLiteral("Values on a logarithmic axis, for levels that span decades"));
    m_results = new QCheckBox(QStringLiteral("Searching results"), this);
    m_results->setChecked(true);
    m_results->setStatusTip(QStringLiteral("The rows found by the search as highlighted points"));
    bar->addWidget(m_log);
    bar->addWidget(m_results);
    bar->addStretch(1);
    column->addLayout(bar);
    m_view = new ChartView(store, this);
    m_view->setStatusTip(QStringLiteral("Wheel: zoom, drag: move, double click or Home: show all, "
                                        "click a point: select its row in the history"));
    column->addWidget(m_view, 1);

    connect(m_log, &QCheckBox::toggled, m_view, &ChartView::setLogScale);
    connect(m_results, &QCheckBox::toggled, m_view, &ChartView::setShowResults);
}

} // namespace qv

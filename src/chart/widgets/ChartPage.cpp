#include "chart/widgets/ChartPage.h"

#include "chart/widgets/ChartView.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace qv {

ChartPage::ChartPage(const HistoryStore &store, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PanelChart"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(2);
    auto *bar = new QHBoxLayout;
    m_log = new QCheckBox(QStringLiteral("Logarithmic scale"), this);
    m_log->setStatusTip(QStringLiteral("Values on a logarithmic axis, for levels that span decades"));
    m_results = new QCheckBox(QStringLiteral("Show searching results"), this);
    m_results->setChecked(true);
    m_results->setStatusTip(QStringLiteral("The rows found by the search as highlighted points"));
    auto *hint = new QLabel(QStringLiteral("Wheel: zoom   Drag: move   Double click or Home: show all   "
                                           "Click a point: select its row"),
                            this);
    hint->setEnabled(false);
    bar->addWidget(m_log);
    bar->addWidget(m_results);
    bar->addStretch(1);
    bar->addWidget(hint);
    column->addLayout(bar);
    m_view = new ChartView(store, this);
    m_view->setStatusTip(QStringLiteral("The measured values of the history against their date and time"));
    column->addWidget(m_view, 1);

    connect(m_log, &QCheckBox::toggled, m_view, &ChartView::setLogScale);
    connect(m_results, &QCheckBox::toggled, m_view, &ChartView::setShowResults);
}

} // namespace qv

// TFormQV: the Chart view. The plot follows the history's model; a click on
// it selects the row in the History view in the search's marked-row colour;
// File > Export saves it as a picture.
#include "app/TFormQV.h"

#include "app/CellTableModel.h"
#include "app/HistoryGrid.h"
#include "chart/widgets/ChartPage.h"
#include "chart/widgets/ChartView.h"
#include "dialogs/DialogSeam.h"

#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>

namespace qv {

QWidget *TFormQV::createChartPage()
{
    PageChart = new ChartPage(*m_store, NoteBook);
    ChartView *view = PageChart->view();
    view->watch(m_histModel, m_replyModel);
    view->onRowClicked = [this](int row) {
        RowSelectedOFF();
        m_linking = true;
        SGHist->setCurrentCell(row);
        m_linking = false;
        m_store->MarkedRow = row;
        SGHist->viewport()->update();
    };
    return PageChart;
}

void TFormQV::createChartCommands()
{
    auto *exportMenu = menuBar()->findChild<QMenu *>(QStringLiteral("MenuExport"));
    if (!exportMenu)
        return;
    exportMenu->addSeparator();
    MenuExportChartPng = exportMenu->addAction(QStringLiteral("Chart as PNG"));
    MenuExportChartSvg = exportMenu->addAction(QStringLiteral("Chart as SVG"));
    for (QAction *action : {MenuExportChartPng, MenuExportChartSvg}) {
        const bool svg = action == MenuExportChartSvg;
        connect(action, &QAction::triggered, this, [this, svg] {
            // What is saved is what the Chart view shows: it is shown first.
            selectView(ViewChart);
            repaint();
            const QString filter = svg ? QStringLiteral("SVG pictures (*.svg)|*.svg")
                                       : QStringLiteral("PNG pictures (*.png)|*.png");
            const QString path = askFileName(true, svg ? QStringLiteral("Export chart as SVG...")
                                                       : QStringLiteral("Export chart as PNG..."),
                                             DirHist, RecentSave, filter);
            if (!path.isEmpty())
                ExportChart(svg, path);
        });
    }
}

void TFormQV::focusChart()
{
    PageChart->view()->setFocus();
}

bool TFormQV::ExportChart(bool svg, const QString &path)
{
    ChartView *view = PageChart->view();
    view->refresh();
    QString error;
    if (view->savePicture(path, svg, error))
        return true;
    ShowInfoBox(this, QStringLiteral("The chart could not be saved in %1: %2").arg(path, error),
                QStringLiteral("Export chart"), IconWarning);
    return false;
}

} // namespace qv

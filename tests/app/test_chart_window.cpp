// The Chart view of the main window: it plots the rows of a small history
// with the probe's unit, breaks the line where the meter was off, follows new
// rows, selects a clicked row in the History view, and saves what it shows.
#include "FormRig.h"

#include "app/HistoryGrid.h"
#include "chart/widgets/ChartPage.h"
#include "chart/widgets/ChartView.h"
#include "protocol/FormatSettings.h"
#include "search/HistorySearch.h"

#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QWheelEvent>

using namespace qv;

namespace {

class ChartWindowTest : public qvtest::FormTest {
protected:
    void add(std::initializer_list<std::pair<const char *, const char *>> timesAndValues)
    {
        for (const auto &[time, value] : timesAndValues) {
            HistoryRow r;
            r[hc::Date] = "07-12-26";
            r[hc::Time] = time;
            r[hc::Value] = value;
            r[hc::Notes] = "Z.K-700";
            form->store().addCapturedRow(r);
        }
    }
    // The Chart view shown, its plot area laid out.
    ChartView *showChart()
    {
        form->resize(900, 700);
        form->show();
        form->selectView(TFormQV::ViewChart);
        QCoreApplication::processEvents();
        return form->PageChart->view();
    }

    std::unique_ptr<TFormQV> form = makeForm(false);

    ScopedFormatSettings format{FormatSettings{'.', '-', ':'}};
};

} // namespace

TEST_F(ChartWindowTest, ShowsTheRowsAClickSelectsItsRowAndTheAxisMayBeLogarithmic)
{
    // Four rows a minute apart, then the meter off for three hours.
    add({{"10:00:00", "120.0"}, {"10:01:00", "135.5"}, {"10:02:00", "1.250e3"}, {"10:03:00", "980.0"},
         {"13:03:00", "15.00"}});
    ChartView *view = showChart();
    EXPECT_TRUE(form->MenuViewItems[TFormQV::ViewChart]->isChecked());
    view->refresh();

    ASSERT_EQ(view->columns().size(), 5u);
    const double values[] = {120, 135.5, 1250, 980, 15};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_DOUBLE_EQ(view->columns()[i].min, values[i]) << i;
    EXPECT_TRUE(view->columns()[3].joined);
    EXPECT_FALSE(view->columns()[4].joined) << "no line across three hours without rows";
    EXPECT_EQ(view->valueAxisTitle(), QStringLiteral("E [lx]"));

    // A click on the third point: its row is current and marked in the History view.
    const ChartSample third = view->series().samples()[2];
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->viewPosition(third.t, third.v).toPoint());
    EXPECT_EQ(form->SGHist->currentIndex().row(), 2);
    EXPECT_EQ(form->store().MarkedRow, 2);
    EXPECT_EQ(view->selectedRow(), 2);

    // A row captured now appears; the time axis follows it.
    add({{"13:04:00", "16.00"}});
    view->refresh();
    EXPECT_EQ(view->columns().size(), 6u);
    EXPECT_EQ(view->timeMax(), view->series().samples().back().t);

    // Zoomed in, the axis stays where the user put it; Home shows all again.
    view->showTimeRange(third.t - 60000, third.t + 60000);
    add({{"13:05:00", "17.00"}});
    view->refresh();
    EXPECT_EQ(view->columns().size(), 3u);
    QTest::keyClick(view, Qt::Key_Home);
    EXPECT_TRUE(view->following());
    EXPECT_EQ(view->columns().size(), 7u);
    // The wheel zooms in around the pointer; zoomed out past all rows, it follows again.
    const QPoint middle = view->viewPosition((view->timeMin() + view->timeMax()) / 2, 100).toPoint();
    const auto wheel = [&](int delta) {
        QWheelEvent e(middle, view->viewport()->mapToGlobal(middle), {}, {0, delta}, Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view->viewport(), &e);
    };
    const double span = view->timeMax() - view->timeMin();
    wheel(240);
    EXPECT_FALSE(view->following());
    EXPECT_NEAR(view->timeMax() - view->timeMin(), span * 0.64, 1);
    wheel(-480);
    EXPECT_TRUE(view->following());

    // Saved as shown, as a picture of the view's size and as SVG.
    qvtest::ScriptedFileDialogs name;
    name.names = {dir.filePath(QStringLiteral("chart.png"))};
    form->setFileDialogs(&name);
    form->selectView(TFormQV::ViewMeter);
    form->MenuExportChartPng->trigger();
    EXPECT_EQ(form->currentView(), TFormQV::ViewChart) << "what is saved is what is shown";
    const QImage png(dir.filePath(QStringLiteral("chart.png")));
    EXPECT_EQ(png.size(), view->viewport()->size());
    ASSERT_TRUE(form->ExportChart(true, dir.filePath(QStringLiteral("chart.svg"))));
    QFile svg(dir.filePath(QStringLiteral("chart.svg")));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svg.readAll().contains("<svg"));

    // A logarithmic axis: zero has no place on it; the decades around the rest do.
    form->store().HistDeleteAll();
    add({{"10:00:00", "1.000e-3"}, {"10:00:01", "0"}, {"10:00:02", "2.000e3"}});
    form->PageChart->logScale()->setChecked(true);
    ASSERT_TRUE(view->logScale());
    ASSERT_EQ(view->columns().size(), 2u);
    EXPECT_FALSE(view->columns()[1].joined);

    CopyResults(form->store().hist(), {2}, form->store().reply());
    view->refresh();
    ASSERT_EQ(view->resultColumns().size(), 1u);
    EXPECT_DOUBLE_EQ(view->resultColumns()[0].max, 2000);
    form->PageChart->showResults()->setChecked(false);
    EXPECT_TRUE(view->resultColumns().empty());
}

// The meter search window over a search on a manual clock: the ports it
// probes, the information label and port log as meters answer, the
// result list and the choice it returns, and the messages when nothing is
// found or there is nothing to search.
#include "SearchBench.h"

#include "dialogs/ScriptedDialogs.h"
#include "instrument/TFormAutoCOM.h"
#include "support/GoldenText.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace qv;
using namespace qvtest;

namespace {

// Opens a window over `ports`, on lines named "port@bit/s" (0: silent), runs
// the steps and lists its state first and after each step: the information
// label, the port log, the list (its items, the current row, B when bold),
// whether the results are shown, whether the search has ended, the result
// and the choice, and the messages.
// "start" starts the search, "found:n" runs until n meters are found, "end"
// until the search ends, "run:ms" lets time pass, "row:i" selects a row,
// "ok" and "stop" click, "show" shows the window and "dclick:i" shows it and
// double-clicks item i (-1: below the items).
QString trace(const QStringList &lines, const QStringList &ports, uint8_t language, const QStringList &steps)
{
    SearchBench bench;
    for (const QString &line : lines) {
        if (line.section('@', 1).toUInt())
            bench.meterOn(line.section('@', 0, 0), line.section('@', 1).toUInt());
        else
            bench.silent(line.section('@', 0, 0));
    }
    ScriptedDialogHandler dialogs;
    ScopedDialogHandler scoped(dialogs);
    TFormAutoCOM form(nullptr, language, br009600, ports, bench.platform(), SearchTiming(), bench.opener());
    QListWidget *list = form.ListBoxCOM;
    QString listing;
    for (const QString &step : QStringList{"new"} + steps) {
        const QString what = step.section(':', 0, 0);
        const int n = step.section(':', 1).toInt();
        if (what == "start")
            form.Search().Start();
        else if (what == "found")
            bench.runUntil([&] { return form.Search().Found() == n; }, 20000);
        else if (what == "end")
            bench.runUntil([&] { return form.Search().Finished(); }, 30000);
        else if (what == "run")
            bench.run(uint32_t(n));
        else if (what == "row")
            list->setCurrentRow(n);
        else if (what == "ok" || what == "stop")
            (what == "ok" ? form.BtnOK : form.BtnStop)->click();
        if (what == "show" || what == "dclick")
            form.show();
        if (what == "dclick") {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
            form.setResult(-1);
            const QPoint at = n >= 0 ? list->visualRect(list->model()->index(n, 0)).center()
                                     : QPoint(20, list->viewport()->height() - 8);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        }
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
        listing += QStringLiteral("%1 -> \"%2\" | \"%3\" | [%4] row %5%6%7%8 | "
                                  "result %9: %10 %11%12 | %13 messages")
                       .arg(step, QString(form.LabelInfo->text()).replace('\n', " / "))
                       .arg(form.MemoPorts->toPlainText().replace('\n', " / "), items.join(", "))
                       .arg(list->currentRow())
                       .arg(list->font().bold() ? " B" : "", form.ResultPanelShown() ? ", results" : "")
                       .arg(form.Search().Finished() ? ", ended" : "").arg(form.result())
                       .arg(form.SelectedPort(), form.SelectedBaudName(), form.isVisible() ? ", open" : "")
                       .arg(dialogs.requests().size());
        if (!dialogs.requests().empty())
            listing += QStringLiteral(", the last \"%1\" icon %2 %3").arg(dialogs.last().text)
                           .arg(dialogs.last().icon)
                           .arg(dialogs.last().caption == form.windowTitle() ? "titled as the window" : "");
        listing += '\n';
    }
    return listing.replace('\t', "\\t");
}

} // namespace

TEST(SearchWindow, SearchesMatchTheGoldenListing)
{
    QString listing = "== several meters: chosen from the list by OK or a double click anywhere on it\n";
    listing += trace({"COM4@2400", "com1@9600", "COM2@0"}, {"none", "COM4", "com1", "COM2"}, 1,
                     {"start", "found:2", "end", "row:-1", "ok", "row:1", "ok", "row:0", "dclick:1", "row:0",
                      "dclick:-1"});
    listing += "== one meter: the window closes at once\n";
    listing += trace({"/dev/ttyUSB0@4800"}, {"none", "/dev/ttyUSB0"}, 1, {"start", "end"});
    listing += "== no meter: the user is told\n";
    listing += trace({"COM1@0"}, {"none", "COM1"}, 1, {"show", "start", "end"});
    listing += "== no meter after STOP: no message\n";
    listing += trace({"COM1@0"}, {"żaden", "COM1"}, 0, {"start", "run:2000", "stop"});
    listing += "== no ports: the user is told at once\n";
    listing += trace({}, {"żaden"}, 0, {});
    expectGoldenText(QStringLiteral("search_window/search-window.txt"), listing);
}

TEST(SearchWindow, ExecuteWithoutPortsTellsTheUserAndChoosesNothing)
{
    ScriptedDialogHandler dialogs;
    ScopedDialogHandler scoped(dialogs);
    QString port = "unchanged", baud = "unchanged";
    EXPECT_FALSE(TFormAutoCOM::Execute(nullptr, 1, br009600, {"none"}, port, baud));
    ASSERT_EQ(dialogs.requests().size(), 1u);
    EXPECT_EQ(dialogs.last().text, "No COM ports detected.");
    EXPECT_EQ(port, "unchanged");
    EXPECT_EQ(baud, "unchanged");
}

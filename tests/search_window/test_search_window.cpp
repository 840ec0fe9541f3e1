// The meter search window over a search on a manual clock: the ports it
// probes, the information label and port log as meters answer, the
// result list and the choice it returns, and the messages when nothing is
// found or there is nothing to search.
#include "SearchBench.h"

#include "dialogs/ScriptedDialogs.h"
#include "instrument/TFormAutoCOM.h"

#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace qv;
using namespace qvtest;

namespace {

// A window over a bench search, its messages answered by script.
class SearchWindowTest : public ::testing::Test {
protected:
    std::unique_ptr<TFormAutoCOM> makeForm(const QStringList &ports, uint8_t language = 1)
    {
        return std::make_unique<TFormAutoCOM>(nullptr, language, br009600, ports, bench.platform(),
                                              SearchTiming(), bench.opener());
    }
    void finish(TFormAutoCOM &form)
    {
        bench.runUntil([&] { return form.Search().Finished(); }, 30000);
    }

    SearchBench bench;
    ScriptedDialogHandler dialogs;
    ScopedDialogHandler scoped{dialogs};
};

} // namespace

TEST_F(SearchWindowTest, SeveralMetersAreChosenFromTheNumberedList)
{
    bench.meterOn("COM4", 2400);
    bench.meterOn("com1", 9600);
    bench.silent("COM2");
    auto form = makeForm({"none", "COM4", "com1", "COM2"});
    EXPECT_EQ(form->MemoPorts->toPlainText(), "COM4\ncom1\nCOM2") << "one line per probed port";
    form->Search().Start();
    bench.runUntil([&] { return form->Search().Found() == 2; }, 20000);
    ASSERT_FALSE(form->Search().Finished()) << "COM2 is still being probed";
    EXPECT_EQ(form->LabelInfo->text(), "2 meters found.\nLooking for other meters...");
    EXPECT_EQ(form->MemoPorts->toPlainText(), "COM4\ncom1\nCOM2\n9600bps\tcom1\n2400bps\tCOM4");
    EXPECT_FALSE(form->ResultPanelShown());
    EXPECT_EQ(form->ListBoxCOM->item(0)->text(), "com1") << "port names, in text order, while searching";

    finish(*form);
    ASSERT_TRUE(form->ResultPanelShown());
    ASSERT_EQ(form->ListBoxCOM->count(), 2);
    EXPECT_EQ(form->ListBoxCOM->item(0)->text(), "Meter 1 on port com1");
    EXPECT_EQ(form->ListBoxCOM->item(1)->text(), "Meter 2 on port COM4");
    EXPECT_EQ(form->ListBoxCOM->currentRow(), 0) << "the first item is selected";
    EXPECT_TRUE(form->ListBoxCOM->font().bold());

    form->ListBoxCOM->setCurrentRow(-1);
    form->BtnOK->click();
    EXPECT_EQ(form->result(), QDialog::Rejected) << "OK without a selection chooses nothing";
    EXPECT_EQ(form->SelectedBaudName(), "9600bps");

    form->ListBoxCOM->setCurrentRow(1);
    form->BtnOK->click();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(form->SelectedPort(), "COM4");
    EXPECT_EQ(form->SelectedBaudName(), "2400bps");

    // A double click anywhere on the list, below the items too, chooses the
    // selected meter.
    for (const QModelIndex &on : {form->ListBoxCOM->model()->index(1, 0), QModelIndex()}) {
        form->ListBoxCOM->setCurrentRow(0);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->setResult(-1);
        QWidget *list = form->ListBoxCOM->viewport();
        const QPoint at =
            on.isValid() ? form->ListBoxCOM->visualRect(on).center() : QPoint(20, list->height() - 8);
        QTest::mouseClick(list, Qt::LeftButton, {}, at);
        QTest::mouseDClick(list, Qt::LeftButton, {}, at);
        EXPECT_EQ(form->result(), QDialog::Accepted) << on.isValid();
        EXPECT_EQ(form->SelectedPort(), on.isValid() ? "COM4" : "com1");
    }
}

TEST_F(SearchWindowTest, OneMeterClosesTheWindowAtOnce)
{
    bench.meterOn("/dev/ttyUSB0", 4800);
    auto form = makeForm({"none", "/dev/ttyUSB0"});
    form->Search().Start();
    finish(*form);
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_FALSE(form->ResultPanelShown());
    EXPECT_EQ(form->SelectedPort(), "/dev/ttyUSB0");
    EXPECT_EQ(form->SelectedBaudName(), "4800bps");
    EXPECT_TRUE(dialogs.requests().empty());
}

TEST_F(SearchWindowTest, NoMeterIsReported)
{
    bench.silent("COM1");
    auto form = makeForm({"none", "COM1"});
    form->show();
    form->Search().Start();
    finish(*form);
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(dialogs.requests().size(), 1u);
    EXPECT_EQ(dialogs.last().caption, form->windowTitle());
    EXPECT_EQ(dialogs.last().icon, IconWarning);
    EXPECT_EQ(form->SelectedPort(), "none");
}

TEST_F(SearchWindowTest, NoMessageAfterStop)
{
    bench.silent("COM1");
    auto form = makeForm({"żaden", "COM1"}, 0);
    form->Search().Start();
    bench.run(2000);
    form->BtnStop->click();
    EXPECT_TRUE(form->Search().Finished());
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_TRUE(dialogs.requests().empty());
    EXPECT_EQ(form->SelectedPort(), "żaden");
}

TEST_F(SearchWindowTest, WithoutPortsTheUserIsToldAtOnce)
{
    auto form = makeForm({"żaden"}, 0);
    ASSERT_EQ(dialogs.requests().size(), 1u);
    EXPECT_EQ(dialogs.last().text, "Nie wykryto portów szeregowych.");
    EXPECT_EQ(dialogs.last().icon, IconWarning);
    EXPECT_EQ(dialogs.last().caption, form->windowTitle());

    QString port = "unchanged", baud = "unchanged";
    EXPECT_FALSE(TFormAutoCOM::Execute(nullptr, 1, br009600, {"none"}, port, baud));
    EXPECT_EQ(dialogs.last().text, "No COM ports detected.");
    EXPECT_EQ(port, "unchanged");
    EXPECT_EQ(baud, "unchanged");
}

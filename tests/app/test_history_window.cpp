// The History and Memory views of the main window: capture by hand and by
// autosave on a manual clock, deletion, comments, the memory transfer, the
// count display, the drawing of cells, the journal across two starts.
#include "FormRig.h"

#include "app/AutosaveList.h"
#include "app/CommentEdit.h"
#include "app/GridPainter.h"
#include "app/GridStrips.h"
#include "app/HistoryGrid.h"
#include "app/TFormSetInterval.h"
#include "dialogs/TIntEdit2.h"

#include <QScrollBar>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

#include <set>

using namespace qv;

namespace {

// Any red ink in the picture, allowing for the smoothing of glyph edges.
bool anyRed(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 90 && c.blue() < 90)
                return true;
        }
    return false;
}

using JournalTest = qvtest::FormTest;

class HistoryWindowTest : public qvtest::FormTest {
protected:
    std::unique_ptr<TFormQV> form = makeForm();
};

} // namespace

TEST_F(HistoryWindowTest, AutosaveWritesOnTheGridSetByTheFirstRow)
{
    probeReported(*form);
    form->chooseAutosave(5);
    EXPECT_EQ(form->CBAutoInsert->currentIndex(), 2);
    form->QVMeter()->OnStartMeas();
    // One measurement a second; the one of second 10 is lost: second 11
    // writes instead, and the grid stays where the first row set it.
    const uint32_t t0 = clock.ticks();
    for (int s = 0; s <= 21; ++s) {
        if (s == 10)
            continue;
        clock.set(t0 + uint32_t(s) * 1000);
        form->QVMeter()->OnReceiveMeas(meas(QString::number(s)));
    }
    EXPECT_EQ(column(form->store().hist(), hc::Value), QStringList({"0", "5", "11", "15", "20"}));
    EXPECT_EQ(column(form->store().hist(), hc::Label), QStringList({"1", "2", "3", "4", "5"}));
    // The history is held while autosave runs on the measuring meter.
    EXPECT_FALSE(form->BtnDel->isEnabled());
    EXPECT_TRUE(form->BtnInsertMeas->isEnabled());
    form->QVMeter()->OnStopMeas();
    EXPECT_TRUE(form->BtnDel->isEnabled());
}

TEST_F(HistoryWindowTest, SynchronizeRestartsTheGridAndShowsItsGlyph)
{
    probeReported(*form);
    form->chooseAutosave(10);
    form->QVMeter()->OnStartMeas();
    form->QVMeter()->OnReceiveMeas(meas(QStringLiteral("1")));   // first row at once
    clock.advance(3000);
    form->BtnInsertMeas->click();   // T: the grid now starts at T + 10 s
    EXPECT_FALSE(form->BtnInsertMeas->icon().isNull());
    clock.advance(9999);
    form->QVMeter()->OnReceiveMeas(meas(QStringLiteral("2")));
    clock.advance(1);
    form->QVMeter()->OnReceiveMeas(meas(QStringLiteral("3")));
    EXPECT_TRUE(form->BtnInsertMeas->icon().isNull());
    EXPECT_EQ(column(form->store().hist(), hc::Value), QStringList({"1", "3"}));
}

TEST_F(HistoryWindowTest, AppendWaitsForAValueAndAProbeAndDeleteAsksUntilTheBoxIsCleared)
{
    EXPECT_FALSE(form->BtnInsertMeas->isEnabled());
    form->QVMeter()->OnReceiveMeas(meas(QStringLiteral("1.234 k")));
    EXPECT_FALSE(form->BtnInsertMeas->isEnabled());   // no probe reported yet
    probeReported(*form);
    EXPECT_TRUE(form->BtnInsertMeas->isEnabled());
    form->BtnInsertMeas->click();
    EXPECT_EQ(form->store().hist().cell(0, hc::Value), "1.234e3");
    EXPECT_EQ(form->PBOpisCol0->count(), 1);
    EXPECT_TRUE(form->BtnDel->isEnabled());
    append(*form, {"2", "3", "4"});
    CellTable &hist = form->store().hist();
    // No keeps the row; Yes with the box cleared deletes it, labels staying.
    dialogs.script({DialogAnswer(BtnCodeNo), DialogAnswer(BtnCodeYes, false)});
    form->SGHist->setCurrentCell(1, 4);
    form->deleteCurrentRow();
    EXPECT_EQ(hist.rowCount(), 4);
    form->deleteCurrentRow();
    ASSERT_EQ(dialogs.requests().size(), 2u);
    EXPECT_TRUE(dialogs.last().checkBox);
    EXPECT_EQ(column(hist, hc::Label), QStringList({"1", "3", "4"}));
    // Now without asking, until the history is empty.
    form->SGHist->setCurrentCell(0, 4);
    for (int i = 0; i < 3; ++i)
        form->deleteCurrentRow();
    EXPECT_EQ(dialogs.requests().size(), 2u);
    EXPECT_FALSE(form->store().HistOK());
    EXPECT_TRUE(form->store().AskDelete);
    EXPECT_FALSE(form->BtnDel->isEnabled());
    form->BtnInsertMeas->click();
    EXPECT_EQ(column(hist, hc::Label), QStringList({"1"}));
    // The Delete history button asks, each time.
    append(*form, {"2"});
    dialogs.script({DialogAnswer(BtnCodeNo), DialogAnswer(BtnCodeYes)});
    form->BtnDel->click();
    EXPECT_EQ(form->store().HistRows(), 2);
    form->BtnDel->click();
    EXPECT_EQ(form->store().HistRows(), 0);
    EXPECT_EQ(form->PBOpisCol0->count(), 0);
}

TEST_F(HistoryWindowTest, GridsScrollTogetherAndCommentsHoldSixteenStorableCharacters)
{
    append(*form, {"1", "2"});
    form->show();
    form->selectView(TFormQV::ViewHistory);
    QApplication::processEvents();
    form->SGHist->setCurrentCell(0, 1);
    QScrollBar *bar = form->SGHist->horizontalScrollBar();
    ASSERT_GT(bar->maximum(), 0) << "the window is narrower than the columns";
    bar->setValue(bar->maximum());
    EXPECT_EQ(form->SGReply->horizontalScrollBar()->value(), bar->value());
    const int column = form->SGHist->currentIndex().column();
    EXPECT_EQ(column, form->SGHist->columnAt(0)) << "the nearest column in sight";
    EXPECT_EQ(form->SGHist->currentIndex().row(), 0);

    form->SGHist->setFocus();
    form->SGHist->setCurrentCell(0, hc::Comment);
    const int before = form->store().hist().columnWidth(hc::Comment);
    const auto startEdit = [&] {
        return form->startCommentEdit() ? form->SGHist->findChild<QLineEdit *>(QStringLiteral("CommentEdit"))
                                        : nullptr;
    };
    QLineEdit *edit = startEdit();
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(form->EditingComment);
    for (const QChar ch : QStringLiteral("Zażółć 中 gęślą jaźń and more")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(edit, &press);
    }
    EXPECT_EQ(edit->text().size(), 16);
    EXPECT_FALSE(edit->text().contains(QChar(0x4e2d)));
    EXPECT_GT(form->store().hist().columnWidth(hc::Comment), before);   // widened while typing
    QTest::keyClick(edit, Qt::Key_Return);
    QCoreApplication::processEvents();   // the view commits the editor after its own key handling
    EXPECT_FALSE(form->EditingComment);
    EXPECT_EQ(form->store().hist().cell(0, hc::Comment), "Zażółć  gęślą ja");
    // Esc after a change restores the comment.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    edit = startEdit();
    ASSERT_NE(edit, nullptr);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(form->store().hist().cell(0, hc::Comment), "Zażółć  gęślą ja");
    // Only the comment column is edited.
    form->SGHist->setCurrentCell(0, hc::Value);
    EXPECT_FALSE(form->startCommentEdit());
    for (const auto &[text, storable] : {std::pair{u"Łódź €", true}, {u"中", false}, {u"a\tb", false}, {u"\u00e6", false}})
        EXPECT_EQ(StorableInCp1250(QString::fromUtf16(text)), storable) << QString::fromUtf16(text).toStdString();
}

TEST_F(HistoryWindowTest, DownloadFillsTheMemoryViewWhichIsAppendedOrReplacesTheHistory)
{
    EXPECT_FALSE(form->BtnDopiszMemo->isEnabled());
    form->ReceiveMemo("x\t01-02-03\t10:00:00\t\t1.5\r\n"
                      "x\t01-02-03\t10:00:01\t\t2.5\r\n"
                      "x\t01-02-03\t10:00:02\t\t3.5\r\n");
    EXPECT_EQ(form->currentView(), TFormQV::ViewMemory);
    EXPECT_TRUE(form->MemoLoaded);
    const CellTable &memo = form->memo();
    EXPECT_EQ(memo.rowCount(), 512);
    EXPECT_EQ(memo.cell(2, hc::Value), "3.5");
    EXPECT_TRUE(memo.cellEmpty(3, hc::Value));
    EXPECT_EQ(memo.cell(511, 0), "512");
    EXPECT_TRUE(form->BtnDopiszMemo->isEnabled());
    EXPECT_TRUE(form->MenuSaveMemory->isEnabled());
    // An empty history is replaced unasked; appended rows get identifiers of their own.
    form->BtnNadpiszMemoClick();
    form->BtnDopiszMemoClick();
    const CellTable &hist = form->store().hist();
    EXPECT_EQ(column(hist, hc::Label), QStringList({"M1", "M2", "M3", "M1", "M2", "M3"}));
    EXPECT_EQ(column(hist, hc::Id), QStringList({"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(form->store().HistCount, 0);   // labels of a transfer are not sequence numbers
    EXPECT_EQ(form->PBOpisCol0->count(), 6);
    EXPECT_TRUE(dialogs.requests().empty());
    // Over rows it asks first; No keeps them.
    dialogs.script({DialogAnswer(BtnCodeNo), DialogAnswer(BtnCodeYes)});
    form->BtnNadpiszMemoClick();
    ASSERT_EQ(dialogs.requests().size(), 1u);
    EXPECT_EQ(form->store().HistRows(), 6);
    form->BtnNadpiszMemoClick();
    EXPECT_EQ(column(hist, hc::Label), QStringList({"M1", "M2", "M3"}));
    EXPECT_EQ(column(hist, hc::Id), QStringList({"1", "2", "3"}));
}

TEST_F(HistoryWindowTest, CountIsRedAndBlinksAtTheLimit)
{
    form->store().MaxHistRows = 2;
    append(*form, {"1", "2"});
    form->BtnInsertMeas->click();   // full: ignored
    EXPECT_EQ(form->store().HistRows(), 2);
    EXPECT_TRUE(form->PBOpisCol0->atLimit());
    // The grid holds more rows than the limit (its title row too): the number blinks, red.
    std::set<bool> phases;
    for (int i = 0; i < 12; ++i) {
        timers.advance(67);
        phases.insert(form->PBOpisCol0->numberShown());
    }
    EXPECT_EQ(phases.size(), 2u);
    while (!form->PBOpisCol0->numberShown())
        timers.advance(67);
    form->PBOpisCol0->resize(60, 40);
    EXPECT_TRUE(anyRed(form->PBOpisCol0->grab().toImage()));
    // Below the limit it stays, in black.
    form->store().MaxHistRows = 3;
    form->ButtonsRefresh();
    for (int i = 0; i < 12; ++i) {
        timers.advance(67);
        EXPECT_TRUE(form->PBOpisCol0->numberShown());
    }
    EXPECT_FALSE(form->PBOpisCol0->atLimit());
}

TEST(HistoryCells, NotesWarningsAreDrawnRed)
{
    // Notes, language, and a 1 for each red character.
    const std::tuple<const char *, uint8_t, const char *> cases[] = {
        {"Underline", 1, "111110000"},
        {"x Over Integ.", 1, "0011111111111"},
        {"Over", 1, "1111"},
        {"No probe!", 1, "111111110"},
        {"Over Ca\xc5\x82ka", 0, "1111111111"},
        {"plain", 1, "00000"},
    };
    for (const auto &[notes, language, red] : cases) {
        QString got;
        for (bool b : RedCharacters(QString::fromUtf8(notes), language))
            got += b ? '1' : '0';
        EXPECT_EQ(got, QLatin1String(red)) << notes;
    }
    auto hasRed = [](const QString &text) {
        QImage image(120, 18, QImage::Format_RGB32);
        QPainter p(&image);
        CellLook look;
        look.text = text;
        look.column = hc::Notes;
        look.notes = true;
        PaintGridCell(p, image.rect(), look, QPalette());
        p.end();
        return anyRed(image);
    };
    EXPECT_TRUE(hasRed(QStringLiteral("Over")));
    EXPECT_FALSE(hasRed(QStringLiteral("Ok probe")));
}

TEST_F(HistoryWindowTest, SetTimeCancelKeepsTheEarlierChoiceAndSingleMeasureModeWarnsOnce)
{
    const auto saved = TFormSetInterval::ask;
    std::optional<uint32_t> answer = 42;
    uint32_t offered = 0;
    TFormSetInterval::ask = [&](QWidget *, uint32_t s) {
        offered = s;
        return answer;
    };
    const auto pick = [&](std::initializer_list<int> entries) {
        for (int i : entries) {
            form->CBAutoInsert->setCurrentIndex(i);
            form->CBAutoInsertChange(i);
        }
    };
    pick({3, 7});
    EXPECT_EQ(offered, 10u);
    EXPECT_EQ(form->capture().AutoInterval, 42000u);
    EXPECT_EQ(form->CBAutoInsert->fieldText(), "42 seconds");
    answer.reset();
    pick({7});   // "set time" again opens the dialog; cancelled
    EXPECT_EQ(offered, 42u);
    EXPECT_EQ(form->capture().AutoInterval, 42000u);
    pick({1, 7});
    EXPECT_EQ(form->CBAutoInsert->currentIndex(), 1);
    EXPECT_EQ(form->capture().AutoInterval, 1000u);
    TFormSetInterval::ask = saved;
    TFormSetInterval dialog(form.get(), 1, 0);
    EXPECT_EQ(dialog.IntEdit->MinVal(), 1);
    EXPECT_EQ(dialog.IntEdit->MaxVal(), 65535);
    // A meter in single measurement mode: long intervals warn, once.
    TDataInfoQV info;
    info.ProbePresent = true;
    info.SingleMeas = true;
    form->QVMeter()->OnReceiveInfo(info);
    form->chooseAutosave(1);
    EXPECT_TRUE(dialogs.requests().empty());
    form->chooseAutosave(5);
    ASSERT_EQ(dialogs.requests().size(), 1u);
    EXPECT_EQ(dialogs.last().icon, IconWarning);
}

TEST_F(JournalTest, JournalRestoresUnsavedRowsAtTheNextStart)
{
    {
        auto form = makeForm();
        append(*form, {"1", "2", "3"});
        form->store().setComment(1, QStringLiteral("kept"));
    }
    dialogs.script({DialogAnswer(BtnCodeYes)});
    {
        auto form = makeForm();
        ASSERT_EQ(dialogs.requests().size(), 1u);
        EXPECT_EQ(form->store().HistRows(), 3);
        EXPECT_EQ(form->store().hist().cell(1, hc::Comment), "kept");
        EXPECT_EQ(form->PBOpisCol0->count(), 3);
        append(*form, {"4"});
        EXPECT_EQ(form->store().hist().cell(3, hc::Label), "4");
    }
    dialogs.script({DialogAnswer(BtnCodeNo)});
    auto form = makeForm();
    EXPECT_EQ(form->store().HistRows(), 0);
    EXPECT_FALSE(form->journalStart().movedTo.isEmpty());
    // A second program does not get the journal, and goes on without it.
    auto second = makeForm();
    EXPECT_FALSE(second->journalStart().open);
    EXPECT_TRUE(second->PanelHint->text().contains("journal"));
}

TEST_F(JournalTest, FoldersAreStoredWithATrailingSlash)
{
    settings.values.insert(QStringLiteral("DirHist"), QStringLiteral("/data/hist"));
    settings.values.insert(QStringLiteral("DirMemo"), QString());
    {
        auto form = makeForm();
        EXPECT_EQ(form->DirHist, "/data/hist/");
        EXPECT_TRUE(form->DirMemo.endsWith('/'));
        EXPECT_FALSE(form->DirMemo.isEmpty());
        form->DirFind = QStringLiteral("/tmp/find");
    }
    EXPECT_EQ(settings.values.value(QStringLiteral("DirFind")).toString(), "/tmp/find/");
}

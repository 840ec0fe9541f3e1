// The search strip of the History view: criteria typed into the boxes and
// the rows found, "and" and "or", automatic search, clearing every
// criterion, Esc during a long search, the enabled commands, the settings,
// the operators window.
#include "app/FormRig.h"

#include "app/HistoryGrid.h"
#include "protocol/FormatSettings.h"
#include "search/widgets/TFormMask.h"
#include "search/widgets/TSearchBX.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

using namespace qv;

namespace {

// A clock that moves 60 ms each time it is read; on a chosen read it presses
// Esc in the window, as a user would during a search.
class TickingClock : public ManualClock {
public:
    uint32_t ticks() const override
    {
        if (++m_reads == m_escAt && window)
            QCoreApplication::postEvent(window, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        return ManualClock::ticks() + (m_extra += 60);
    }
    // Esc on the n-th read from now.
    void escAfterReads(int n) { m_escAt = m_reads + n; }
    QWidget *window = nullptr;

private:
    mutable uint32_t m_extra = 0;
    mutable int m_reads = 0;
    int m_escAt = -1;
};

class SearchStripTest : public qvtest::FormRig<TickingClock> {
protected:
    std::unique_ptr<TFormQV> makeForm()
    {
        auto form = FormRig::makeForm();
        form->selectView(TFormQV::ViewHistory);
        return form;
    }
    // Rows with a comment, a value and notes; labels 1, 2, ...
    static void addRows(TFormQV &form, std::initializer_list<std::array<const char *, 3>> rows)
    {
        for (const auto &r : rows) {
            HistoryRow row;
            row[hc::Date] = "01-02-11";
            row[hc::Time] = "07:05:03";
            row[hc::Comment] = r[0];
            row[hc::Value] = r[1];
            row[hc::Notes] = r[2];
            form.store().addCapturedRow(row);
        }
        form.ButtonsRefresh();
    }
    // The labels of the rows found.
    static QStringList found(TFormQV &form)
    {
        return form.store().ReplyOK() ? column(form.store().reply(), hc::Label) : QStringList();
    }
    static QStringList search(TFormQV &form)
    {
        form.BtnSearch->click();
        return found(form);
    }
    // Types into a box afresh and leaves it with Enter.
    static void enter(TSearchBX *box, const QString &text)
    {
        box->ValueEdit->setFocus();
        box->ValueEdit->selectAll();
        QTest::keyClicks(box->ValueEdit, text);
        QTest::keyClick(box->ValueEdit, Qt::Key_Return);
        QApplication::processEvents();
    }

    const ScopedFormatSettings separators{FormatSettings{'.', '-', ':'}};
};

} // namespace

TEST_F(SearchStripTest, CriteriaTypedIntoTheBoxesFillTheResults)
{
    auto form = makeForm();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    addRows(*form, {{"lamp 1  ", "1.500", "Z.K-700"}, {"Lamp 10", "12.35e3", "a b"}, {"desk", "500.0e-3", "Over"}});
    EXPECT_FALSE(form->BtnSearch->isEnabled()) << "no criterion yet";

    // Value greater or equal 1,5 typed with a comma, then Enter.
    TSearchBX *value = form->SBX(4);
    value->setIndex(5);
    EXPECT_TRUE(value->ValueEdit->hasFocus());
    enter(value, QStringLiteral("1,5"));
    EXPECT_EQ(value->ValueEdit->text(), QStringLiteral("1.500"));
    EXPECT_TRUE(form->CriteriaOn);
    ASSERT_TRUE(form->BtnSearch->isEnabled());
    EXPECT_EQ(search(*form), QStringList({"1", "2"}));
    EXPECT_EQ(form->PanelHint->text(), QLatin1Char(' ') + form->SGReply->toolTip());
    EXPECT_TRUE(form->SGReply->hasFocus());
    EXPECT_EQ(form->SGReply->currentIndex().column(), 1);
    EXPECT_EQ(form->store().reply().rowView(1), form->store().hist().rowView(1)) << "whole rows, identifier too";

    // And the comment equal to "LAMP 1" in capitals: one row; with "or", a
    // row matching both boxes comes once.
    TSearchBX *comment = form->SBX(3);
    comment->setIndex(2);
    enter(comment, QStringLiteral("LAMP 1"));
    EXPECT_EQ(search(*form), QStringList({"1"}));
    form->RB_or->click();
    EXPECT_EQ(search(*form), QStringList({"1", "2"}));

    // Nothing matches "Over".
    form->RB_and->click();
    comment->setIndex(0);
    enter(value, QStringLiteral("over"));
    EXPECT_EQ(search(*form), QStringList());
}

TEST_F(SearchStripTest, AutomaticSearchFollowsChangesAndClearingEmptiesOnce)
{
    auto form = makeForm();
    addRows(*form, {{"a", "1.000", "x"}, {"b", "2.000", "a,b"}, {"c", "3.000", "y"}});
    form->CBAutoSearch->setChecked(true);
    form->SBX(4)->setIndex(6);   // value greater than 0: every row, searched at once
    EXPECT_EQ(found(*form), QStringList({"1", "2", "3"}));
    form->SBX(15)->TextDefault = QStringLiteral("a b");
    form->SBX(15)->setIndex(2);   // notes equal "a b", read without blanks and commas
    EXPECT_EQ(found(*form), QStringList({"2"}));
    form->RB_or->click();
    EXPECT_EQ(found(*form), QStringList({"1", "2", "3"})) << "a click on or searches again";

    // Clearing: the results go once; no search per box.
    QSignalSpy resets(form->SGReply->model(), &QAbstractItemModel::modelReset);
    form->BtnOFF->click();
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(found(*form), QStringList());
    EXPECT_FALSE(form->CriteriaOn);
    EXPECT_FALSE(form->BtnOFF->isEnabled());
    EXPECT_FALSE(form->BtnSearch->isEnabled());
    for (int n = 1; n <= 15; ++n)
        EXPECT_EQ(form->SBX(n)->Index(), 0) << n;

    // Without automatic search, clearing leaves the results alone.
    form->CBAutoSearch->setChecked(false);
    form->SBX(4)->setIndex(6);
    ASSERT_EQ(search(*form).size(), 3);
    form->BtnOFF->click();
    EXPECT_EQ(found(*form).size(), 3);
}

TEST_F(SearchStripTest, EscAsksAndNoCarriesOnWhileYesKeepsTheRowsFound)
{
    auto form = makeForm();
    {
        std::vector<HistoryRow> rows(20000);
        for (size_t i = 0; i < rows.size(); ++i) {
            rows[i][hc::Label] = std::to_string(i + 1);
            rows[i][hc::Value] = "1.000";
            rows[i][hc::Id] = std::to_string(i + 1);
        }
        form->store().load(rows, qint64(rows.size()), qint64(rows.size()));
        form->ButtonsRefresh();
    }
    form->SBX(4)->setIndex(4);
    form->SBX(4)->ValueEdit->setText(QStringLiteral("1"));
    form->SBX(4)->Validate();
    clock.window = form.get();

    // Esc before the first look at the window: asked at 0 %, No goes on.
    // (The search reads the clock once to start, then once a block of rows.)
    dialogs.script({DialogAnswer(BtnCodeNo)});
    clock.escAfterReads(1);
    form->BtnSearchClick();
    ASSERT_EQ(dialogs.requests().size(), 1u);
    EXPECT_TRUE(dialogs.last().text.startsWith(QStringLiteral("Checked 0%")));
    EXPECT_EQ(dialogs.last().defaultButton, BtnCodeNo);
    EXPECT_EQ(found(*form).size(), 20000) << "No carries the search on to the end";
    EXPECT_FALSE(form->SearchBusy);

    // Esc a few blocks later: Yes stops and keeps what was found.
    dialogs.script({DialogAnswer(BtnCodeYes)});
    clock.escAfterReads(4);
    form->BtnSearchClick();
    ASSERT_EQ(dialogs.requests().size(), 2u);
    const QString asked = dialogs.last().text;
    EXPECT_TRUE(asked.startsWith(QStringLiteral("Checked "))) << asked.toStdString();
    const int percent = asked.mid(8, asked.indexOf('%') - 8).toInt();
    EXPECT_GT(percent, 0);
    EXPECT_LT(percent, 100);
    const int rows = found(*form).size();
    EXPECT_GT(rows, 0);
    EXPECT_LT(rows, 20000);
    EXPECT_NEAR(rows * 100.0 / 20000, percent, 1.0) << "the rows checked before the question";
    EXPECT_EQ(form->SGReply->toolTip(), QStringLiteral("%1 measures found").arg(rows));
}

TEST_F(SearchStripTest, CommandsSettingsColumnsAndTheOperatorsWindow)
{
    settings.values.insert(QStringLiteral("Search04"), QStringLiteral("12.35e3"));
    auto form = makeForm();
    EXPECT_EQ(form->SBX(4)->TextDefault, QStringLiteral("12.35e3"));
    form->SBX(4)->setIndex(4);
    EXPECT_EQ(form->SBX(4)->ValueEdit->text(), QStringLiteral("12.35e3"));
    EXPECT_TRUE(form->BtnOFF->isEnabled());
    EXPECT_FALSE(form->BtnSearch->isEnabled()) << "the history is empty";
    addRows(*form, {{"a", "1.000", ""}});
    EXPECT_TRUE(form->BtnSearch->isEnabled());
    form->SearchBusy = true;
    form->ButtonsRefresh();
    EXPECT_FALSE(form->BtnSearch->isEnabled());
    EXPECT_FALSE(form->BtnOFF->isEnabled());
    form->SearchBusy = false;
    form->ButtonsRefresh();

    // Entering box 7 makes column 7 current in both grids.
    form->SearchBXEnter(form->SBX(7));
    EXPECT_EQ(form->SGHist->currentIndex().column(), 7);
    EXPECT_EQ(form->SGReply->currentIndex().column(), 7);

    // Boxes lie under their columns.
    form->resize(1400, 700);
    form->show();
    QApplication::processEvents();
    form->placeSearchBoxes();
    for (int n : {1, 4, 15}) {
        TSearchBX *box = form->SBX(n);
        if (!box->isVisible())
            continue;
        const QPoint boxAt = box->mapTo(form.get(), QPoint(0, 0));
        const QPoint columnAt = form->SGHist->viewport()->mapTo(form.get(), QPoint(form->SGHist->columnViewportPosition(n), 0));
        EXPECT_EQ(boxAt.x(), columnAt.x()) << n;
        EXPECT_EQ(box->width(), form->SGHist->columnWidth(n)) << n;
    }

    // The operators window toggles and reopens where it was left.
    form->MenuFindOperatorsClick();
    ASSERT_NE(form->FormMask(), nullptr);
    EXPECT_TRUE(form->MenuOperators->isChecked());
    form->FormMask()->move(123, 45);
    form->MenuFindOperatorsClick();
    EXPECT_EQ(form->FormMask(), nullptr);
    EXPECT_FALSE(form->MenuOperators->isChecked());
    form->MenuFindOperatorsClick();
    ASSERT_NE(form->FormMask(), nullptr);
    EXPECT_EQ(form->FormMask()->pos(), QPoint(123, 45));
    // It goes and comes with the main window.
    form->setWindowState(Qt::WindowMinimized);
    EXPECT_FALSE(form->FormMask()->isVisible());
    form->setWindowState(Qt::WindowNoState);
    EXPECT_TRUE(form->FormMask()->isVisible());
    form->selectView(TFormQV::ViewMeter);
    EXPECT_EQ(form->FormMask(), nullptr) << "leaving the History view closes it";

    form->SBX(4)->TextDefault = QStringLiteral("1.500");
    form->close();
    EXPECT_EQ(settings.values.value(QStringLiteral("Search04")).toString(), QStringLiteral("1.500"));
    EXPECT_EQ(settings.values.value(QStringLiteral("Search01")).toString(), QString());
}

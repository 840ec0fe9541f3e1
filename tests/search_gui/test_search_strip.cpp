// The search strip of the History view: criteria typed into the boxes and
// the rows found, "and" and "or", automatic search, clearing every
// criterion, Esc during a long search, the enabled commands, the settings,
// the operators window.
#include "app/FormRig.h"

#include "app/HistoryGrid.h"
#include "protocol/FormatSettings.h"
#include "search/widgets/TFormMask.h"
#include "search/widgets/TSearchBX.h"
#include "support/GoldenText.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

#include <map>

using namespace qv;
using qvtest::expectGoldenText;

namespace {

// A clock that moves 60 ms each time it is read; on a chosen read it presses
// Esc in the window, as a user would during a search.
class TickingClock : public ManualClock {
public:
    uint32_t ticks() const override
    {
        if (++m_reads == m_escAt && window)
            QCoreApplication::postEvent(window,
                                       new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
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
    // Types into a box afresh and leaves it with Enter.
    static void enter(TSearchBX *box, const QString &text)
    {
        box->ValueEdit->setFocus();
        box->ValueEdit->selectAll();
        QTest::keyClicks(box->ValueEdit, text);
        QTest::keyClick(box->ValueEdit, Qt::Key_Return);
        QApplication::processEvents();
    }
    // Runs steps on the strip and lists, after each, the boxes with an
    // operator (number:operator "text"), and/or, the commands enabled,
    // whether criteria are on, where the focus is, the rows found and how
    // often the results were reset. "index:n|i" sets box n's operator,
    // "enter:n|text" types into it and leaves it with Enter, "default:n|text"
    // sets its default text, "auto:0|1" the automatic search; "search", "or",
    // "and" and "off" click.
    QString trace(TFormQV &form, const QStringList &steps)
    {
        QSignalSpy resets(form.SGReply->model(), &QAbstractItemModel::modelReset);
        const std::map<QString, QAbstractButton *> buttons = {
            {"search", form.BtnSearch}, {"or", form.RB_or}, {"and", form.RB_and}, {"off", form.BtnOFF}};
        QString listing;
        for (const QString &step : steps) {
            const QString what = step.section(':', 0, 0);
            const QStringList args = step.section(':', 1).split('|');
            const auto box = [&] { return form.SBX(args[0].toInt()); };
            if (what == "index")
                box()->setIndex(args[1].toInt());
            else if (what == "enter")
                enter(box(), args[1]);
            else if (what == "default")
                box()->TextDefault = args[1];
            else if (what == "auto")
                form.CBAutoSearch->setChecked(args[0] == "1");
            else
                buttons.at(what)->click();
            QString focus = form.SGReply->hasFocus() ? "results" : "-";
            listing += step + " ->";
            for (int n = 1; n <= 15; ++n) {
                if (form.SBX(n)->Index())
                    listing += QStringLiteral(" %1:%2 \"%3\"").arg(n).arg(form.SBX(n)->Index())
                                   .arg(form.SBX(n)->ValueEdit->text());
                if (form.SBX(n)->ValueEdit->hasFocus())
                    focus = QString::number(n);
            }
            listing += QStringLiteral("; %1%2%3%4; focus %5; found %6; resets %7\n")
                           .arg(form.RB_or->isChecked() ? "or" : "and")
                           .arg(form.BtnSearch->isEnabled() ? ", Search" : "")
                           .arg(form.BtnOFF->isEnabled() ? ", OFF" : "", form.CriteriaOn ? ", criteria" : "")
                           .arg(focus, found(form).join(' ')).arg(resets.count());
        }
        return listing;
    }

    const ScopedFormatSettings separators{FormatSettings{'.', '-', ':'}};
};

} // namespace

TEST_F(SearchStripTest, CriteriaSearchesAndClearingMatchTheGoldenTrace)
{
    auto form = makeForm();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    addRows(*form, {{"lamp 1  ", "1.500", "Z.K-700"}, {"Lamp 10", "12.35e3", "a b"},
                    {"desk", "500.0e-3", "Over"}, {"b", "2.000", "a,b"}});
    // No criterion yet: nothing to search. Value greater or equal 1,5 typed
    // with a comma, then Enter: the rows found get the focus, whole rows
    // (identifier too), the hint says how many.
    QString listing = trace(*form, {"auto:0", "index:4|5", "enter:4|1,5", "search"});
    EXPECT_EQ(form->PanelHint->text(), QLatin1Char(' ') + form->SGReply->toolTip());
    EXPECT_EQ(form->SGReply->currentIndex().column(), 1);
    EXPECT_EQ(form->store().reply().rowView(1), form->store().hist().rowView(1));
    listing += trace(*form, {
        // And the comment equal to "LAMP 1" in capitals; with "or", a row
        // matching both boxes comes once; nothing matches "Over".
        "index:3|2", "enter:3|LAMP 1", "search", "or", "search", "and", "index:3|0", "enter:4|over", "search",
        // Automatic search follows each change; notes are compared without
        // blanks and commas; clearing empties the results once, with no
        // search per box; without automatic search it leaves them alone.
        "off", "auto:1", "default:4|0", "index:4|6", "default:15|a b", "index:15|2", "or", "off",
        "auto:0", "index:4|6", "search", "off",
    });
    expectGoldenText(QStringLiteral("search_gui/strip-trace.txt"), listing);
}

TEST_F(SearchStripTest, EscAsksAndNoCarriesOnWhileYesKeepsTheRowsFound)
{
    auto form = makeForm();
    std::vector<HistoryRow> rows(20000);
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i][hc::Label] = std::to_string(i + 1);
        rows[i][hc::Value] = "1.000";
    }
    form->store().load(rows, qint64(rows.size()), qint64(rows.size()));
    form->ButtonsRefresh();
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
    const int kept = found(*form).size();
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, 20000);
    EXPECT_NEAR(kept * 100.0 / 20000, percent, 1.0) << "the rows checked before the question";
    EXPECT_EQ(form->SGReply->toolTip(), QStringLiteral("%1 measures found").arg(kept));
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
        const QPoint columnAt =
            form->SGHist->viewport()->mapTo(form.get(), QPoint(form->SGHist->columnViewportPosition(n), 0));
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

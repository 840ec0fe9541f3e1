// TIntEdit2: the value's invariants, typing and committing, keys, and
// the repeat of a held arrow button, stepped by hand.
#include "dialogs/IntEditText.h"
#include "dialogs/TIntEdit2.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <climits>

using namespace qv;

namespace {

// --- the text rules -----------------------------------------------------------------

TEST(IntEditText, TypingKeepsDigitsAndALeadingMinus)
{
    const std::pair<QString, QString> cases[] = {
        {"1a2b3", "123"}, {"-5", "-5"}, {"5-", "5"}, {"--5", "-5"}, {"+7 e3", "73"},
        {QString::fromUtf8("١٢"), ""},  // other scripts' digits are no digits here
    };
    for (const auto &[typed, kept] : cases)
        EXPECT_EQ(filterIntText(typed), kept) << typed.toStdString();
    int cursor = 4;  // after "1a2b"
    EXPECT_EQ(filterIntText("1a2b3", &cursor), "123");
    EXPECT_EQ(cursor, 2);
}

TEST(IntEditText, CommitBoundsByTextStripsZerosAndReads)
{
    const struct {
        const char *typed;
        const char *shown;
        std::optional<int32_t> value;
    } cases[] = {
        {"70000", "70000", 70000}, {"00012", "12", 12}, {"", "0", 0}, {"000", "0", 0},
        {"2147483647", "2147483647", INT_MAX}, {"2147483648", "2147483647", INT_MAX},
        {"123456789012", "2147483647", INT_MAX},  // cut to 11 characters, then over the bound
        {"-2147483648", "-2147483648", INT_MIN}, {"-5", "-5", -5}, {"-0005", "-0005", -5},
        // The bounds are compared as text: a minus and ten digits passes the
        // lower one when its digits sort above "2147483648"...
        {"-3000000000", "-3000000000", std::nullopt},
        // ...and is replaced by it when they sort below.
        {"-2147483647", "-2147483648", INT_MIN}, {"-", "-", std::nullopt},
    };
    for (const auto &c : cases) {
        const CommittedInt r = commitIntText(QString::fromLatin1(c.typed));
        EXPECT_EQ(r.text, QString::fromLatin1(c.shown)) << c.typed;
        EXPECT_EQ(r.value, c.value) << c.typed;
    }
}

TEST(IntEditText, SnapClampsThenTruncatesTowardZero)
{
    EXPECT_EQ(snapIntValue(12, INT_MIN, INT_MAX, 5), 10);
    EXPECT_EQ(snapIntValue(-12, INT_MIN, INT_MAX, 5), -10);
    EXPECT_EQ(snapIntValue(70000, 1, 65535, 1), 65535);
    EXPECT_EQ(snapIntValue(int64_t(INT_MAX) + 1, INT_MIN, INT_MAX, 1), INT_MAX);
    EXPECT_EQ(snapIntValue(INT_MIN, INT_MIN, INT_MAX, 10), -2147483640);
}

// --- the control ------------------------------------------------------------------

class IntEditTest : public ::testing::Test {
protected:
    IntEditTest()
    {
        edit.OnChange = [this] { ++changes; };
        edit.show();
    }

    void focus(QEvent::Type type)
    {
        QFocusEvent e(type, Qt::TabFocusReason);
        QApplication::sendEvent(edit.edit(), &e);
    }
    // Enters the edit, replaces its text by typing, and stays in it.
    void type(const QString &keys)
    {
        focus(QEvent::FocusIn);
        edit.edit()->selectAll();
        QTest::keyClick(edit.edit(), Qt::Key_Backspace);
        QTest::keyClicks(edit.edit(), keys);
    }
    void typeAndLeave(const QString &keys)
    {
        type(keys);
        focus(QEvent::FocusOut);
    }
    void expectShown(int32_t value, const char *text)
    {
        EXPECT_EQ(edit.Value(), value);
        EXPECT_EQ(edit.edit()->text(), text);
    }

    // Plays a hold of an arrow button, step by step: "up" or "down" presses
    // that button, "release" lets go on it and "release-off" beside it, "off"
    // and "on" move the held pointer off the button and back, "leave" and
    // "enter" are the pointer crossing its edge, "enter-other" the pointer
    // entering the other button, and "ms=value" lets ms pass and expects the value.
    void play(const char *script)
    {
        QAbstractButton *held = nullptr;
        for (const QString &step : QString::fromLatin1(script).split(' ')) {
            const QPoint centre = held ? held->rect().center() : QPoint();
            const QPoint beside = held ? QPoint(held->width() + 20, held->height() / 2) : QPoint();
            if (step == "up" || step == "down") {
                held = step == "up" ? edit.upButton() : edit.downButton();
                QTest::mousePress(held, Qt::LeftButton, {}, held->rect().center());
            } else if (step.startsWith("release")) {
                QTest::mouseRelease(held, Qt::LeftButton, {}, step == "release" ? centre : beside);
            } else if (step == "off" || step == "on") {
                const QPoint at = step == "on" ? centre : beside;
                QMouseEvent e(QEvent::MouseMove, at, held->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, {});
                QApplication::sendEvent(held, &e);
            } else if (step == "leave") {
                QEvent e(QEvent::Leave);
                QApplication::sendEvent(held, &e);
            } else if (step.startsWith("enter")) {
                QAbstractButton *b = step == "enter" ? held : edit.downButton();
                const QPointF at(centre);
                QEnterEvent e(at, at, b->mapToGlobal(at));
                QApplication::sendEvent(b, &e);
            } else {
                timers.advance(step.section('=', 0, 0).toUInt());
                EXPECT_EQ(edit.Value(), step.section('=', 1).toInt()) << step.toStdString() << " at "
                                                                      << clock.ticks() << " ms";
            }
        }
    }

    ManualClock clock;
    ManualTimers timers{clock};
    TIntEdit2 edit{nullptr, timers};
    int changes = 0;
};

TEST_F(IntEditTest, ValuesSnapToTheInterval)
{
    edit.setValInterval(5);
    edit.setValue(12);
    expectShown(10, "10");
    edit.setValue(-12);
    EXPECT_EQ(edit.Value(), -10);
    EXPECT_EQ(changes, 2);
    edit.setValue(-14);  // the same value again notifies nobody
    EXPECT_EQ(changes, 2);
    edit.setValInterval(0);  // ignored
    EXPECT_EQ(edit.ValInterval(), 5);
    edit.setValue(-10);
    edit.setValInterval(4);  // a new interval re-snaps the value
    EXPECT_EQ(edit.Value(), -8);
}

TEST_F(IntEditTest, LimitsPullTheValueAlong)
{
    edit.setValue(3);
    changes = 0;
    edit.setMinVal(10);
    expectShown(10, "10");
    EXPECT_EQ(changes, 1);
    edit.setMinVal(5);  // below the value: it stays
    EXPECT_EQ(edit.Value(), 10);
    EXPECT_EQ(changes, 1);
    edit.setMaxVal(3);  // never below MinVal
    EXPECT_EQ(edit.MaxVal(), 5);
    EXPECT_EQ(edit.Value(), 5);
    edit.setMinVal(80);  // never above MaxVal
    EXPECT_EQ(edit.MinVal(), 5);
    EXPECT_EQ(changes, 2);
}

TEST_F(IntEditTest, TypedTextIsFilteredAtOnceAndClampedWhenLeaving)
{
    edit.setMinVal(1);
    edit.setMaxVal(65535);
    changes = 0;
    EXPECT_EQ(edit.Value(), 1);
    typeAndLeave("70000");
    expectShown(65535, "65535");
    typeAndLeave("-5");
    expectShown(1, "1");
    typeAndLeave("00300");
    EXPECT_EQ(edit.edit()->text(), "300");
    EXPECT_EQ(changes, 3);

    type("1a2-b");
    EXPECT_EQ(edit.edit()->text(), "12");
    EXPECT_EQ(edit.Value(), 300);  // not committed yet
    type("");
    EXPECT_EQ(edit.edit()->text(), "");
    focus(QEvent::FocusOut);  // empty is zero, clamped
    expectShown(1, "1");
    // Text that is no integer goes back to the entry text.
    typeAndLeave("-3000000000");
    expectShown(1, "1");
    EXPECT_EQ(changes, 4);
    edit.setMaxLength(5);
    type("1234567");
    EXPECT_EQ(edit.edit()->text(), "12345");
}

TEST_F(IntEditTest, EnterCommitsEscRestores)
{
    edit.setValue(7);
    type("42");
    QTest::keyClick(edit.edit(), Qt::Key_Return);
    EXPECT_EQ(edit.Value(), 42);
    EXPECT_EQ(edit.edit()->selectedText(), "42");
    // The entry text is now "42": Esc brings it back and keeps the value.
    QTest::keyClicks(edit.edit(), "99");
    QTest::keyClick(edit.edit(), Qt::Key_Escape);
    expectShown(42, "42");
    EXPECT_EQ(edit.edit()->selectedText(), "42");
}

TEST_F(IntEditTest, UpAndDownCommitThenStepWithoutOverflow)
{
    edit.setValInterval(5);
    type("20");
    QTest::keyClick(edit.edit(), Qt::Key_Up);
    expectShown(25, "25");
    type("13");
    QTest::keyClick(edit.edit(), Qt::Key_Down);
    EXPECT_EQ(edit.Value(), 5);  // 13 snaps to 10, then one step down

    edit.setValInterval(1);
    edit.setValue(INT_MAX - 1);
    QTest::keyClick(edit.edit(), Qt::Key_Up);
    QTest::keyClick(edit.edit(), Qt::Key_Up);
    EXPECT_EQ(edit.Value(), INT_MAX);
    edit.setValue(INT_MIN);
    QTest::keyClick(edit.edit(), Qt::Key_Down);
    EXPECT_EQ(edit.Value(), INT_MIN);
    edit.setValInterval(1000);
    edit.setValue(INT_MAX - 10);  // snaps to 2147483000
    QTest::keyClick(edit.edit(), Qt::Key_Up);
    EXPECT_EQ(edit.Value(), 2147483000);  // clamped to INT_MAX, snapped back down
}

// --- holding an arrow button ----------------------------------------------------------

TEST_F(IntEditTest, HeldButtonStepsAtOnceAfter400MsThenEvery100Ms)
{
    // Releasing adds no step; the next hold starts with the delay again.
    play("up 0=1 399=1 1=2 99=2 1=3 300=6 release 1000=6 down 0=5 300=5 100=4 release");
}

TEST_F(IntEditTest, LeavingTheHeldButtonPausesReturningResumes)
{
    // Back on it, a full period passes first; released off it, the repeat ends all the same.
    play("up 400=2 off 1050=2 on 99=2 1=3 off release-off on 1000=3");
}

TEST_F(IntEditTest, PauseBeforeTheFirstRepeatKeepsTheDelay)
{
    play("up 200=1 leave 950=1 enter 399=1 1=2 release");
}

TEST_F(IntEditTest, PointerOverTheOtherButtonDoesNotStep)
{
    play("up leave enter-other 1000=1 release-off");
}

TEST_F(IntEditTest, DisablingWhileHeldStopsTheRepeat)
{
    edit.OnChange = [&] {
        if (++changes == 3)
            edit.setEnabled(false);
    };
    play("up 1000=3");
    EXPECT_FALSE(edit.upButton()->isEnabled());
    EXPECT_FALSE(edit.edit()->isEnabled());
}

} // namespace

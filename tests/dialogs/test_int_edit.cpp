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

    // The arrow buttons under the pointer.
    QAbstractButton *up() const { return edit.upButton(); }
    QAbstractButton *down() const { return edit.downButton(); }
    static void press(QAbstractButton *b) { QTest::mousePress(b, Qt::LeftButton, {}, b->rect().center()); }
    static void release(QAbstractButton *b, QPoint at) { QTest::mouseRelease(b, Qt::LeftButton, {}, at); }
    static void release(QAbstractButton *b) { release(b, b->rect().center()); }
    // A move of the held pointer, reported to the button that holds it.
    static void dragTo(QAbstractButton *b, QPoint at)
    {
        QMouseEvent e(QEvent::MouseMove, at, b->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(b, &e);
    }
    static QPoint outside(QAbstractButton *b) { return QPoint(b->width() + 20, b->height() / 2); }
    static void leave(QAbstractButton *b)
    {
        QEvent e(QEvent::Leave);
        QApplication::sendEvent(b, &e);
    }
    static void enter(QAbstractButton *b, QPointF at)
    {
        QEnterEvent e(at, at, b->mapToGlobal(at));
        QApplication::sendEvent(b, &e);
    }
    // Lets `ms` pass, then expects the value.
    void after(uint32_t ms, int32_t value)
    {
        timers.advance(ms);
        EXPECT_EQ(edit.Value(), value) << "at " << clock.ticks() << " ms";
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
    press(up());
    EXPECT_EQ(edit.Value(), 1);
    after(399, 1);
    after(1, 2);
    after(99, 2);
    after(1, 3);
    after(300, 6);
    release(up());  // releasing adds no step
    after(1000, 6);

    press(down());  // the next hold starts with the delay again
    EXPECT_EQ(edit.Value(), 5);
    after(300, 5);
    after(100, 4);
    release(down());
}

TEST_F(IntEditTest, LeavingTheHeldButtonPausesReturningResumes)
{
    press(up());
    after(400, 2);
    dragTo(up(), outside(up()));
    after(1050, 2);
    dragTo(up(), up()->rect().center());  // back on it, a full period passes first
    after(99, 2);
    after(1, 3);

    // Released off the button: the repeat ends all the same.
    dragTo(up(), outside(up()));
    release(up(), outside(up()));
    dragTo(up(), up()->rect().center());
    after(1000, 3);
}

TEST_F(IntEditTest, PauseBeforeTheFirstRepeatKeepsTheDelay)
{
    press(up());
    timers.advance(200);
    leave(up());
    after(950, 1);
    enter(up(), up()->rect().center());
    after(399, 1);
    after(1, 2);
    release(up());
}

TEST_F(IntEditTest, PointerOverTheOtherButtonDoesNotStep)
{
    press(up());
    leave(up());
    enter(down(), QPointF(2, 2));
    after(1000, 1);
    release(up(), outside(up()));
}

TEST_F(IntEditTest, DisablingWhileHeldStopsTheRepeat)
{
    edit.OnChange = [&] {
        if (++changes == 3)
            edit.setEnabled(false);
    };
    press(up());
    after(1000, 3);
    EXPECT_FALSE(up()->isEnabled());
    EXPECT_FALSE(edit.edit()->isEnabled());
}

} // namespace

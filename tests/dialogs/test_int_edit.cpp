// TIntEdit2: the value's invariants, typing and committing, keys, layout.
#include "dialogs/IntEditText.h"
#include "dialogs/TIntEdit2.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <climits>

using namespace qv;

namespace {

// --- the text rules -----------------------------------------------------------------

TEST(IntEditText, TypingKeepsDigitsAndALeadingMinus)
{
    EXPECT_EQ(filterIntText("1a2b3"), "123");
    EXPECT_EQ(filterIntText("-5"), "-5");
    EXPECT_EQ(filterIntText("5-"), "5");
    EXPECT_EQ(filterIntText("--5"), "-5");
    EXPECT_EQ(filterIntText("+7 e3"), "73");
    EXPECT_EQ(filterIntText(QString::fromUtf8("١٢")), "");   // other scripts' digits are no digits here
    int cursor = 4;   // after "1a2b"
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
        {"70000", "70000", 70000},
        {"00012", "12", 12},
        {"", "0", 0},
        {"000", "0", 0},
        {"2147483647", "2147483647", INT_MAX},
        {"2147483648", "2147483647", INT_MAX},
        {"123456789012", "2147483647", INT_MAX},   // cut to 11 characters, then over the bound
        {"-2147483648", "-2147483648", INT_MIN},
        {"-5", "-5", -5},
        {"-0005", "-0005", -5},
        // The bounds are compared as text: a minus and ten digits passes the
        // lower one when its digits sort above "2147483648"...
        {"-3000000000", "-3000000000", std::nullopt},
        // ...and is replaced by it when they sort below.
        {"-2147483647", "-2147483648", INT_MIN},
        {"-", "-", std::nullopt},
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

    void focusIn()
    {
        QFocusEvent e(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(edit.edit(), &e);
    }
    void focusOut()
    {
        QFocusEvent e(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(edit.edit(), &e);
    }
    // Enters the edit, replaces its text by typing, and stays in it.
    void type(const QString &keys)
    {
        focusIn();
        edit.edit()->selectAll();
        QTest::keyClick(edit.edit(), Qt::Key_Backspace);
        QTest::keyClicks(edit.edit(), keys);
    }
    void typeAndLeave(const QString &keys)
    {
        type(keys);
        focusOut();
    }
    void setPortRange()
    {
        edit.setMinVal(1);
        edit.setMaxVal(65535);
        changes = 0;
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
    EXPECT_EQ(edit.Value(), 10);
    EXPECT_EQ(edit.edit()->text(), "10");
    edit.setValue(-12);
    EXPECT_EQ(edit.Value(), -10);
    EXPECT_EQ(changes, 2);
    // The same value again notifies nobody; a zero interval is ignored.
    edit.setValue(-14);
    EXPECT_EQ(changes, 2);
    edit.setValInterval(0);
    EXPECT_EQ(edit.ValInterval(), 5);
    // A new interval re-snaps the value.
    edit.setValue(-10);
    edit.setValInterval(4);
    EXPECT_EQ(edit.Value(), -8);
}

TEST_F(IntEditTest, LimitsPullTheValueAlong)
{
    edit.setValue(3);
    changes = 0;
    edit.setMinVal(10);
    EXPECT_EQ(edit.Value(), 10);
    EXPECT_EQ(edit.edit()->text(), "10");
    EXPECT_EQ(changes, 1);
    edit.setMinVal(5);   // below the value: it stays
    EXPECT_EQ(edit.Value(), 10);
    EXPECT_EQ(changes, 1);

    edit.setMaxVal(3);   // never below MinVal
    EXPECT_EQ(edit.MaxVal(), 5);
    EXPECT_EQ(edit.Value(), 5);
    edit.setMinVal(80);  // never above MaxVal
    EXPECT_EQ(edit.MinVal(), 5);
    EXPECT_EQ(changes, 2);
}

TEST_F(IntEditTest, TypedTextIsClampedWhenLeaving)
{
    setPortRange();
    EXPECT_EQ(edit.Value(), 1);
    typeAndLeave("70000");
    EXPECT_EQ(edit.Value(), 65535);
    EXPECT_EQ(edit.edit()->text(), "65535");
    typeAndLeave("-5");
    EXPECT_EQ(edit.Value(), 1);
    EXPECT_EQ(edit.edit()->text(), "1");
    typeAndLeave("00300");
    EXPECT_EQ(edit.edit()->text(), "300");
    EXPECT_EQ(changes, 3);
}

TEST_F(IntEditTest, LettersVanishAtOnceAndEmptyBecomesZeroClamped)
{
    setPortRange();
    edit.setValue(40);
    type("1a2-b");
    EXPECT_EQ(edit.edit()->text(), "12");
    EXPECT_EQ(edit.Value(), 40);   // not committed yet
    type("");
    EXPECT_EQ(edit.edit()->text(), "");
    focusOut();
    EXPECT_EQ(edit.Value(), 1);
    EXPECT_EQ(edit.edit()->text(), "1");
}

TEST_F(IntEditTest, TextThatIsNoIntegerGoesBackToTheEntryText)
{
    edit.setValue(7);
    changes = 0;
    typeAndLeave("-3000000000");
    EXPECT_EQ(edit.edit()->text(), "7");
    EXPECT_EQ(edit.Value(), 7);
    EXPECT_EQ(changes, 0);
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
    EXPECT_EQ(edit.edit()->text(), "42");
    EXPECT_EQ(edit.Value(), 42);
    EXPECT_EQ(edit.edit()->selectedText(), "42");
}

TEST_F(IntEditTest, UpAndDownCommitThenStep)
{
    edit.setValInterval(5);
    type("20");
    QTest::keyClick(edit.edit(), Qt::Key_Up);
    EXPECT_EQ(edit.Value(), 25);
    EXPECT_EQ(edit.edit()->text(), "25");
    type("13");
    QTest::keyClick(edit.edit(), Qt::Key_Down);
    EXPECT_EQ(edit.Value(), 5);   // 13 snaps to 10, then one step down
}

TEST_F(IntEditTest, StepsStopAtTheIntegerLimitsWithoutOverflow)
{
    edit.setValue(INT_MAX - 1);
    focusIn();
    QTest::keyClick(edit.edit(), Qt::Key_Up);
    QTest::keyClick(edit.edit(), Qt::Key_Up);
    EXPECT_EQ(edit.Value(), INT_MAX);
    edit.setValue(INT_MIN);
    QTest::keyClick(edit.edit(), Qt::Key_Down);
    EXPECT_EQ(edit.Value(), INT_MIN);
    edit.setValInterval(1000);
    edit.setValue(INT_MAX - 10);   // snaps to 2147483000
    QTest::keyClick(edit.edit(), Qt::Key_Up);
    EXPECT_EQ(edit.Value(), 2147483000);   // clamped to INT_MAX, snapped back down
}

TEST_F(IntEditTest, MaxLengthLimitsTheEdit)
{
    edit.setMaxLength(5);
    type("1234567");
    EXPECT_EQ(edit.edit()->text(), "12345");
    edit.setMaxLength(0);
    type("1234567");
    EXPECT_EQ(edit.edit()->text(), "1234567");
}

TEST_F(IntEditTest, LayoutFollowsTheEditFont)
{
    const QFontMetrics fm(edit.edit()->font());
    const int height = fm.height() + 4;
    const int button = height % 2 ? height : height + 1;
    EXPECT_TRUE(edit.edit()->font().bold());
    EXPECT_EQ(edit.height(), height);
    EXPECT_EQ(edit.edit()->height(), height);
    const QRect down = edit.downButton()->geometry();
    const QRect up = edit.upButton()->geometry();
    EXPECT_EQ(down.size(), QSize(button, height));
    EXPECT_EQ(up.size(), QSize(button, height));
    EXPECT_EQ(down.x(), edit.edit()->geometry().right() + 1);
    EXPECT_EQ(up.x(), down.right());   // overlapping by one pixel
    EXPECT_EQ(up.right() + 1, edit.width());
    EXPECT_EQ(edit.minimumSize(), edit.maximumSize());

    edit.setWidth(140);
    EXPECT_EQ(edit.Width(), 140);
    edit.setWidthDigitNumber(5);
    EXPECT_EQ(edit.Width(), 5 * (fm.horizontalAdvance('0') - 1) + 4 + 2 * button + 1);
    edit.setWidthDigitNumber(12);
    EXPECT_EQ(edit.WidthDigitNumber(), 10);
    edit.setWidthDigitNumber(0);
    EXPECT_EQ(edit.Width(), 140);
}

} // namespace

// TIntEdit2: the value's invariants, typing and committing, keys, and
// the repeat of a held arrow button, stepped by hand.
#include "dialogs/IntEditText.h"
#include "dialogs/TIntEdit2.h"
#include "support/GoldenText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <map>

using namespace qv;

namespace {

// --- the text rules -----------------------------------------------------------------

// Typing keeps digits and a leading minus (other scripts' digits are no
// digits here); committing strips leading zeros, reads the value and holds
// the bounds, compared as text: a minus and ten digits passes the lower
// bound when its digits sort above "2147483648" and is replaced by it when
// they sort below; text longer than 11 characters is cut first. One line
// each in a golden listing: typed -> kept while typing -> shown, value.
TEST(IntEditText, TypingAndCommittingMatchTheGoldenListing)
{
    const QStringList typed = {"1a2b3", "-5", "5-", "--5", "+7 e3", QString::fromUtf8("١٢"), "70000", "00012",
                               "", "000", "2147483647", "2147483648", "123456789012", "-2147483648", "-0005",
                               "-3000000000", "-2147483647", "-"};
    QString listing;
    for (const QString &text : typed) {
        const CommittedInt c = commitIntText(text);
        listing += QStringLiteral("\"%1\" -> \"%2\" -> \"%3\", %4\n").arg(text, filterIntText(text), c.text)
                       .arg(c.value ? QString::number(*c.value) : QStringLiteral("none"));
    }
    qvtest::expectGoldenText(QStringLiteral("dialogs/int-edit-text.txt"), listing);
    int cursor = 4;  // after "1a2b"
    EXPECT_EQ(filterIntText("1a2b3", &cursor), "123");
    EXPECT_EQ(cursor, 2);
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
    // Runs steps on the control and lists its state after each one: value,
    // text shown [selected], MinVal..MaxVal, ValInterval, changes so far.
    // "interval:", "value:", "min:", "max:" and "maxlength:" set properties,
    // "type:" enters the edit and replaces its text by typing, "keys:" types on,
    // "key:" presses Up, Down, Return or Escape, "tab-out" moves the focus away.
    // The pointer: "up" or "down" presses that arrow button, "release" lets go
    // on it and "release-off" beside it, "off" and "on" move the held pointer
    // off the button and back, "leave" and "enter" cross its edge,
    // "enter-other" enters the other button; "wait:" lets milliseconds pass.
    QString trace(const QStringList &steps)
    {
        QString listing;
        QAbstractButton *held = nullptr;
        for (const QString &step : steps) {
            const QString what = step.section(':', 0, 0), arg = step.section(':', 1);
            const QPoint centre = held ? held->rect().center() : QPoint();
            const QPoint beside = held ? QPoint(held->width() + 20, held->height() / 2) : QPoint();
            const std::map<QString, std::function<void(int)>> setters = {
                {"interval", [this](int n) { edit.setValInterval(uint16_t(n)); }},
                {"value", [this](int n) { edit.setValue(n); }},
                {"min", [this](int n) { edit.setMinVal(n); }},
                {"max", [this](int n) { edit.setMaxVal(n); }},
                {"maxlength", [this](int n) { edit.setMaxLength(n); }},
                {"wait", [this](int n) { timers.advance(uint32_t(n)); }}};
            const std::map<QString, Qt::Key> keys = {
                {"Up", Qt::Key_Up}, {"Down", Qt::Key_Down}, {"Return", Qt::Key_Return},
                {"Escape", Qt::Key_Escape}};
            if (setters.count(what))
                setters.at(what)(arg.toInt());
            else if (what == "key")
                QTest::keyClick(edit.edit(), keys.at(arg));
            else if (what == "tab-out")
                focus(QEvent::FocusOut);
            if (what == "type") {
                focus(QEvent::FocusIn);
                edit.edit()->selectAll();
                QTest::keyClick(edit.edit(), Qt::Key_Backspace);
            }
            if (what == "type" || what == "keys")
                QTest::keyClicks(edit.edit(), arg);
            if (what == "up" || what == "down") {
                held = what == "up" ? edit.upButton() : edit.downButton();
                QTest::mousePress(held, Qt::LeftButton, {}, held->rect().center());
            } else if (what.startsWith("release")) {
                QTest::mouseRelease(held, Qt::LeftButton, {}, what == "release" ? centre : beside);
            } else if (what == "off" || what == "on") {
                const QPoint at = what == "on" ? centre : beside;
                QMouseEvent e(QEvent::MouseMove, at, held->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, {});
                QApplication::sendEvent(held, &e);
            } else if (what == "leave") {
                QEvent e(QEvent::Leave);
                QApplication::sendEvent(held, &e);
            } else if (what.startsWith("enter")) {
                QAbstractButton *b = what == "enter" ? held : edit.downButton();
                const QPointF at(centre);
                QEnterEvent e(at, at, b->mapToGlobal(at));
                QApplication::sendEvent(b, &e);
            }
            listing += QStringLiteral("%1 -> %2 \"%3\" [%4] %5..%6 /%7 changes %8\n")
                           .arg(step).arg(edit.Value()).arg(edit.edit()->text(), edit.edit()->selectedText())
                           .arg(edit.MinVal()).arg(edit.MaxVal()).arg(edit.ValInterval()).arg(changes);
        }
        return listing;
    }

    ManualClock clock;
    ManualTimers timers{clock};
    TIntEdit2 edit{nullptr, timers};
    int changes = 0;
};

// Values snap to the interval and follow the limits; typed text is filtered
// at once and committed on leaving, Enter or an arrow key; Esc restores; the
// arrow keys step without overflow. Checked against a golden trace.
TEST_F(IntEditTest, ValuesLimitsTypingAndKeysMatchTheGoldenTrace)
{
    const QStringList steps = {
        // Snapping; the same value again notifies nobody; an interval of 0 is
        // ignored; a new interval re-snaps the value.
        "interval:5", "value:12", "value:-12", "value:-14", "interval:0", "value:-10", "interval:4",
        // The limits pull the value along and never cross.
        "interval:1", "value:3", "min:10", "min:5", "max:3", "min:80",
        // Up and Down commit the text, then step, never past the ends.
        "max:2147483647", "min:-2147483648", "interval:5", "type:20", "key:Up", "type:13", "key:Down",
        "interval:1", "value:2147483646", "key:Up", "key:Up", "value:-2147483648", "key:Down",
        "interval:1000", "value:2147483637", "key:Up",
        // Enter commits and selects; the text then entered comes back with Esc.
        "interval:1", "value:7", "type:42", "key:Return", "keys:99", "key:Escape",
        // Clamped when leaving; empty is zero; text that is no integer goes
        // back to the entry text; the length limit holds while typing.
        "max:65535", "min:1", "type:70000", "tab-out", "type:-5", "tab-out", "type:00300", "tab-out",
        "type:1a2-b", "type:", "tab-out", "type:-3000000000", "tab-out", "maxlength:5", "type:1234567",
    };
    qvtest::expectGoldenText(QStringLiteral("dialogs/int-edit-trace.txt"), trace(steps));
}

// --- holding an arrow button ----------------------------------------------------------

TEST_F(IntEditTest, HeldArrowButtonsMatchTheGoldenTrace)
{
    const QStringList steps = {
        // A hold steps at once, after 400 ms, then every 100 ms; releasing
        // adds no step; the next hold starts with the delay again.
        "up", "wait:399", "wait:1", "wait:99", "wait:1", "wait:300", "release", "wait:1000",
        "down", "wait:300", "wait:100", "release",
        // Off the held button the repeat pauses; back on it, a full period
        // passes first; released off it, the repeat ends all the same.
        "up", "wait:400", "off", "wait:1050", "on", "wait:99", "wait:1",
        "off", "release-off", "on", "wait:1000",
        // A pause before the first repeat keeps the delay.
        "up", "wait:200", "leave", "wait:950", "enter", "wait:399", "wait:1", "release",
        // The pointer over the other button does not step.
        "up", "leave", "enter-other", "wait:1000", "release-off",
    };
    qvtest::expectGoldenText(QStringLiteral("dialogs/int-edit-held.txt"), trace(steps));
}

TEST_F(IntEditTest, DisablingWhileHeldStopsTheRepeat)
{
    edit.OnChange = [&] {
        if (++changes == 3)
            edit.setEnabled(false);
    };
    trace({"up", "wait:1000"});
    EXPECT_EQ(edit.Value(), 3);
    EXPECT_FALSE(edit.upButton()->isEnabled());
    EXPECT_FALSE(edit.edit()->isEnabled());
}

} // namespace

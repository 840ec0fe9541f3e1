// Holding an arrow button of TIntEdit2: the repeat, stepped by hand.
#include "dialogs/TIntEdit2.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

using namespace qv;

namespace {

class IntEditRepeatTest : public ::testing::Test {
protected:
    IntEditRepeatTest() { edit.show(); }

    QAbstractButton *up() const { return edit.upButton(); }
    QAbstractButton *down() const { return edit.downButton(); }

    static void press(QAbstractButton *b) { QTest::mousePress(b, Qt::LeftButton, {}, b->rect().center()); }
    static void release(QAbstractButton *b, QPoint at)
    {
        QTest::mouseRelease(b, Qt::LeftButton, {}, at);
    }
    // A move of the held pointer, reported to the button that holds it.
    static void dragTo(QAbstractButton *b, QPoint at)
    {
        QMouseEvent e(QEvent::MouseMove, at, b->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(b, &e);
    }
    static QPoint outside(QAbstractButton *b) { return QPoint(b->width() + 20, b->height() / 2); }

    void advance(uint32_t ms) { timers.advance(ms); }

    ManualClock clock;
    ManualTimers timers{clock};
    TIntEdit2 edit{nullptr, timers};
};

TEST_F(IntEditRepeatTest, StepsAtOnceAfter400MsThenEvery100Ms)
{
    press(up());
    EXPECT_EQ(edit.Value(), 1);
    advance(399);
    EXPECT_EQ(edit.Value(), 1);
    advance(1);
    EXPECT_EQ(edit.Value(), 2);
    advance(99);
    EXPECT_EQ(edit.Value(), 2);
    advance(1);
    EXPECT_EQ(edit.Value(), 3);
    advance(300);
    EXPECT_EQ(edit.Value(), 6);

    release(up(), up()->rect().center());
    EXPECT_EQ(edit.Value(), 6);   // releasing adds no step
    advance(1000);
    EXPECT_EQ(edit.Value(), 6);

    // The next hold starts with the delay again.
    press(down());
    EXPECT_EQ(edit.Value(), 5);
    advance(300);
    EXPECT_EQ(edit.Value(), 5);
    advance(100);
    EXPECT_EQ(edit.Value(), 4);
    release(down(), down()->rect().center());
}

TEST_F(IntEditRepeatTest, LeavingTheHeldButtonPausesReturningResumes)
{
    press(up());
    advance(400);
    EXPECT_EQ(edit.Value(), 2);
    dragTo(up(), outside(up()));
    advance(1050);
    EXPECT_EQ(edit.Value(), 2);
    // Back on it, a full period passes before the next step.
    dragTo(up(), up()->rect().center());
    advance(99);
    EXPECT_EQ(edit.Value(), 2);
    advance(1);
    EXPECT_EQ(edit.Value(), 3);

    // Released off the button: the repeat ends all the same.
    dragTo(up(), outside(up()));
    release(up(), outside(up()));
    dragTo(up(), up()->rect().center());
    advance(1000);
    EXPECT_EQ(edit.Value(), 3);
}

TEST_F(IntEditRepeatTest, PauseBeforeTheFirstRepeatKeepsTheDelay)
{
    press(up());
    advance(200);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(up(), &leave);
    advance(950);
    EXPECT_EQ(edit.Value(), 1);
    QEnterEvent enter(up()->rect().center(), up()->rect().center(), up()->mapToGlobal(QPoint()));
    QApplication::sendEvent(up(), &enter);
    advance(399);
    EXPECT_EQ(edit.Value(), 1);
    advance(1);
    EXPECT_EQ(edit.Value(), 2);
    release(up(), up()->rect().center());
}

TEST_F(IntEditRepeatTest, PointerOverTheOtherButtonDoesNotStep)
{
    press(up());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(up(), &leave);
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), down()->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(down(), &enter);
    advance(1000);
    EXPECT_EQ(edit.Value(), 1);
    release(up(), outside(up()));
}

TEST_F(IntEditRepeatTest, DisablingWhileHeldStopsTheRepeat)
{
    int changes = 0;
    edit.OnChange = [&] {
        if (++changes == 3)
            edit.setEnabled(false);
    };
    press(up());
    advance(1000);
    EXPECT_EQ(edit.Value(), 3);
    EXPECT_FALSE(edit.upButton()->isEnabled());
    EXPECT_FALSE(edit.edit()->isEnabled());
}

} // namespace

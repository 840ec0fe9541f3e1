// Operating the simulated meter through the instrument window: on-screen
// keys, PC keys and their exceptions, typed text, clicks on menu lines.
#include "InstrumentRig.h"

#include "instrument/LcdView.h"
#include "instrument/QVKeypad.h"

#include <QTest>

using namespace qv;
using qvtest::InstrumentRig;

namespace {

// The LCD view position of LCD pixel (x, y).
QPoint lcdPoint(double x, double y)
{
    return {int(4 + 2 * x), int(4 + 2 * y)};
}

void click(InstrumentRig &rig, MeterKey key)
{
    QTest::mouseClick(rig.window->keyButton(key), Qt::LeftButton);
    rig.run(600);
}

} // namespace

TEST(InstrumentKeys, EachOnScreenKeySendsItsLetter)
{
    InstrumentRig rig;
    rig.settle();
    const std::pair<MeterKey, const char *> keys[] = {
        {MeterKey::Meas, "S"}, {MeterKey::Mode, "D"}, {MeterKey::Down, "J"}, {MeterKey::Up, "R"},
        {MeterKey::Esc, "Q"},  {MeterKey::Set, "L"},  {MeterKey::Enter, "K"}, {MeterKey::Esc, "Q"},
        {MeterKey::Memo, "T"}, {MeterKey::Esc, "Q"},  {MeterKey::Refresh, "IB"}, {MeterKey::Power, "Z"},
    };
    for (const auto &[key, letters] : keys) {
        rig.sent.clear();
        click(rig, key);
        // The meter's answers may add an information request; the key's own
        // letters come first.
        EXPECT_TRUE(rig.sent.startsWith(letters)) << letters << " got " << rig.sent.constData();
    }
    EXPECT_FALSE(rig.meter.isOn());
}

TEST(InstrumentKeys, KeysSitWhereTheMeterHasThem)
{
    InstrumentRig rig;
    EXPECT_EQ(rig.window->size(), QSize(349, 314));
    EXPECT_EQ(rig.window->lcdView()->geometry(), QRect(69, 40, 264, 136));
    EXPECT_EQ(rig.window->keyButton(MeterKey::Mode)->geometry(), QRect(0, 24, 45, 36));
    EXPECT_EQ(rig.window->keyButton(MeterKey::Esc)->geometry(), QRect(0, 156, 45, 36));
    EXPECT_EQ(rig.window->keyButton(MeterKey::Refresh)->geometry(), QRect(6, 204, 33, 32));
    EXPECT_EQ(rig.window->keyButton(MeterKey::Power)->geometry(), QRect(0, 250, 45, 36));
    // The arrow block: rows 200 and 248, columns 58 apart, centred between
    // the LCD frame and the transmission frame (157 wide: left edge 192).
    EXPECT_EQ(rig.window->keyButton(MeterKey::Up)->geometry(), QRect(68, 200, 50, 40));
    EXPECT_EQ(rig.window->keyButton(MeterKey::Enter)->geometry(), QRect(126, 248, 50, 40));
}

TEST(InstrumentKeys, PcKeysSendTheMeterKeys)
{
    InstrumentRig rig;
    rig.settle();
    rig.sent.clear();
    QTest::keyClick(rig.window, Qt::Key_F3);
    rig.run(600);
    EXPECT_TRUE(rig.sent.startsWith("T"));
    EXPECT_EQ(rig.screen(), 10);
    rig.sent.clear();
    QTest::keyClick(rig.window, Qt::Key_Down);
    rig.run(600);
    QTest::keyClick(rig.window, Qt::Key_Escape);
    rig.run(600);
    EXPECT_TRUE(rig.sent.startsWith("JQ")) << rig.sent.constData();
    EXPECT_EQ(rig.screen(), 0);
}

TEST(InstrumentKeys, ShiftCtrlAndAltCombinationsAndLeftOnTheMeasurementScreenSendNothing)
{
    InstrumentRig rig;
    rig.settle();
    rig.sent.clear();
    QTest::keyClick(rig.window, Qt::Key_F1, Qt::ShiftModifier);
    QTest::keyClick(rig.window, Qt::Key_F2, Qt::ControlModifier);
    QTest::keyClick(rig.window, Qt::Key_Up, Qt::AltModifier);
    QTest::keyClick(rig.window, Qt::Key_Left);
    QTest::keyClick(rig.window, Qt::Key_5);   // no entry field: no character
    rig.run(600);
    EXPECT_TRUE(rig.sent.isEmpty()) << rig.sent.constData();
    EXPECT_EQ(rig.screen(), 0);
}

TEST(InstrumentKeys, LeftMovesTheCommentCursorOnScreen100)
{
    InstrumentRig rig;
    rig.settle();
    click(rig, MeterKey::Memo);
    click(rig, MeterKey::Enter);
    ASSERT_EQ(rig.screen(), 100);
    rig.sent.clear();
    QTest::keyClick(rig.window, Qt::Key_Left);
    rig.run(600);
    EXPECT_TRUE(rig.sent.startsWith("J"));
}

TEST(InstrumentKeys, ServiceScreenLocksOnScreenKeysButNotThePcKeys)
{
    InstrumentRig rig;
    rig.settle();
    // SETUP, up to "More...", ENTER, up to "Service mode...", ENTER.
    for (MeterKey k : {MeterKey::Set, MeterKey::Up, MeterKey::Enter, MeterKey::Up, MeterKey::Enter})
        click(rig, k);
    ASSERT_EQ(rig.screen(), 2540);
    ASSERT_TRUE(rig.window->core().keysLocked());
    rig.sent.clear();
    click(rig, MeterKey::Mode);
    click(rig, MeterKey::Meas);
    EXPECT_TRUE(rig.sent.isEmpty()) << rig.sent.constData();
    QTest::keyClick(rig.window, Qt::Key_F1);
    rig.run(600);
    EXPECT_TRUE(rig.sent.startsWith("D"));
    rig.sent.clear();
    click(rig, MeterKey::Esc);
    EXPECT_TRUE(rig.sent.startsWith("Q"));
    EXPECT_NE(rig.screen(), 2540);
}

TEST(InstrumentKeys, TypedCommentReachesTheMetersEditor)
{
    InstrumentRig rig;
    rig.settle();
    click(rig, MeterKey::Memo);
    click(rig, MeterKey::Enter);
    ASSERT_EQ(rig.screen(), 100);
    QTest::keyClicks(rig.window, QStringLiteral("LAMP 7-B"));
    rig.run(20000);
    EXPECT_TRUE(rig.window->typer().idle());
    EXPECT_EQ(rig.meter.editor().trimmed(), "LAMP 7-B");
}

TEST(InstrumentKeys, DecimalFieldTakesDigitsAndTurnsACommaIntoAPoint)
{
    InstrumentRig rig;
    rig.settle();
    // MODE, down to "Relative measure", ENTER: the reference value (320).
    for (MeterKey k : {MeterKey::Mode, MeterKey::Down, MeterKey::Down, MeterKey::Enter})
        click(rig, k);
    ASSERT_EQ(rig.screen(), 320);
    QTest::keyClicks(rig.window, QStringLiteral("12,5x"));
    rig.run(15000);
    EXPECT_EQ(rig.meter.editor().trimmed(), "12.5");
}

TEST(InstrumentKeys, ClickOnAMenuLineWalksThereAndAClickOnTheLineEnters)
{
    InstrumentRig rig;
    rig.settle();
    click(rig, MeterKey::Memo);
    ASSERT_EQ(rig.screen(), 10);
    // "Autosave..." is the fifth line: y 40..48.
    QTest::mouseClick(rig.window->lcdView(), Qt::LeftButton, {}, lcdPoint(60, 44));
    rig.run(2000);
    EXPECT_EQ(rig.screen(), 14);
    EXPECT_EQ(rig.meter.screen(), 14);
    rig.sent.clear();
    QTest::mouseClick(rig.window->lcdView(), Qt::LeftButton, {}, lcdPoint(60, 44));
    rig.run(1000);
    EXPECT_TRUE(rig.sent.startsWith("K"));
    EXPECT_EQ(rig.meter.screen(), 140);
}

TEST(InstrumentKeys, DoubleClickOnAMenuLineEntersItsItem)
{
    InstrumentRig rig;
    rig.settle();
    click(rig, MeterKey::Set);
    ASSERT_EQ(rig.screen(), 20);
    // "More..." (item 5) by a double click (a press, then the double
    // click): walk down, then ENTER.
    QTest::mouseClick(rig.window->lcdView(), Qt::LeftButton, {}, lcdPoint(80, 8 + 5 * 8 + 3));
    QTest::mouseDClick(rig.window->lcdView(), Qt::LeftButton, {}, lcdPoint(80, 8 + 5 * 8 + 3));
    rig.run(4000);
    EXPECT_EQ(rig.meter.screen(), 250);
    EXPECT_FALSE(rig.window->selection().pending());
}

TEST(InstrumentKeys, ClickOnASoftKeyLabelPressesItsKey)
{
    InstrumentRig rig;
    rig.settle();
    click(rig, MeterKey::Memo);
    ASSERT_EQ(rig.screen(), 10);
    rig.sent.clear();
    QTest::mouseClick(rig.window->lcdView(), Qt::LeftButton, {}, lcdPoint(3, 30));
    rig.run(600);
    EXPECT_TRUE(rig.sent.startsWith("L"));
    EXPECT_EQ(rig.meter.screen(), 20);
    // With Shift held the picture takes no click.
    rig.sent.clear();
    QTest::mouseClick(rig.window->lcdView(), Qt::LeftButton, Qt::ShiftModifier, lcdPoint(3, 50));
    rig.run(600);
    EXPECT_TRUE(rig.sent.isEmpty());
}

TEST(InstrumentKeys, AMeterSwitchingOffDropsAPendingWalk)
{
    InstrumentRig rig;
    rig.settle();
    click(rig, MeterKey::Memo);
    QTest::mouseClick(rig.window->lcdView(), Qt::LeftButton, {}, lcdPoint(60, 48));
    ASSERT_TRUE(rig.window->selection().pending());
    rig.window->comm().ReportStatus(stCommLost);
    EXPECT_FALSE(rig.window->selection().pending());
}

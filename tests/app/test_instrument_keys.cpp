// Operating the simulated meter through the instrument window: on-screen
// keys, PC keys and their exceptions, typed text, clicks on menu lines; the
// window as a whole against its golden picture.
#include "InstrumentRig.h"

#include "instrument/LcdView.h"
#include "instrument/QVKeypad.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QTest>

#include <set>

using namespace qv;
using qvtest::InstrumentRig;

namespace {

// A window on a meter past its welcome screen.
class InstrumentKeys : public ::testing::Test {
protected:
    InstrumentKeys() { rig.settle(); }

    // Each press gives what the window sent for it in the 600 ms after it.
    QByteArray click(MeterKey key)
    {
        return rig.sentBy([&] { QTest::mouseClick(rig.window->keyButton(key), Qt::LeftButton); });
    }
    void clickKeys(std::initializer_list<MeterKey> keys)
    {
        for (MeterKey k : keys)
            click(k);
    }
    QByteArray pcKey(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        return rig.sentBy([&] { QTest::keyClick(rig.window, key, modifiers); });
    }
    // A click on LCD pixel (x, y) of the LCD view.
    QByteArray clickLcd(double x, double y, Qt::KeyboardModifiers modifiers = {}, uint32_t ms = 600)
    {
        const QPoint at(int(4 + 2 * x), int(4 + 2 * y));
        const auto press = [&] { QTest::mouseClick(rig.window->lcdView(), Qt::LeftButton, modifiers, at); };
        return rig.sentBy(press, ms);
    }

    InstrumentRig rig;
};

QString goldenPath(const char *name)
{
    return QStringLiteral(QV_TEST_DATA_DIR "/app/") + QLatin1String(name);
}

// Pixels that differ, and the first of them.
int differences(const QImage &a, const QImage &b, QPoint &first)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y) && n++ == 0)
                first = {x, y};
    return n;
}

} // namespace

TEST_F(InstrumentKeys, EachOnScreenKeySendsItsLetter)
{
    const std::pair<MeterKey, const char *> keys[] = {
        {MeterKey::Meas, "S"}, {MeterKey::Mode, "D"}, {MeterKey::Down, "J"}, {MeterKey::Up, "R"},
        {MeterKey::Esc, "Q"},  {MeterKey::Set, "L"},  {MeterKey::Enter, "K"}, {MeterKey::Esc, "Q"},
        {MeterKey::Memo, "T"}, {MeterKey::Esc, "Q"},  {MeterKey::Refresh, "IB"}, {MeterKey::Power, "Z"},
    };
    for (const auto &[key, letters] : keys) {
        // The meter's answers may add an information request; the key's own
        // letters come first.
        const QByteArray sent = click(key);
        EXPECT_TRUE(sent.startsWith(letters)) << letters << " got " << sent.constData();
    }
    EXPECT_FALSE(rig.meter.isOn());
}

TEST_F(InstrumentKeys, PcKeysSendTheMeterKeysWithTheirExceptions)
{
    EXPECT_TRUE(pcKey(Qt::Key_F3).startsWith("T"));
    EXPECT_EQ(rig.screen(), 10);
    EXPECT_TRUE(pcKey(Qt::Key_Down).startsWith("J"));
    EXPECT_TRUE(pcKey(Qt::Key_Escape).startsWith("Q"));
    EXPECT_EQ(rig.screen(), 0);
    // Shift, Ctrl and Alt combinations, Left on the measurement screen and
    // characters without an entry field send nothing.
    for (const auto &[key, modifier] : {std::pair{Qt::Key_F1, Qt::ShiftModifier},
                                        {Qt::Key_F2, Qt::ControlModifier}, {Qt::Key_Up, Qt::AltModifier},
                                        {Qt::Key_Left, Qt::NoModifier}, {Qt::Key_5, Qt::NoModifier}})
        EXPECT_EQ(pcKey(key, modifier), QByteArray()) << key;
    EXPECT_EQ(rig.screen(), 0);
    // Left moves the comment cursor on screen 100.
    clickKeys({MeterKey::Memo, MeterKey::Enter});
    ASSERT_EQ(rig.screen(), 100);
    EXPECT_TRUE(pcKey(Qt::Key_Left).startsWith("J"));
}

TEST_F(InstrumentKeys, ServiceScreenLocksOnScreenKeysButNotThePcKeys)
{
    // SETUP, up to "More...", ENTER, up to "Service mode...", ENTER.
    clickKeys({MeterKey::Set, MeterKey::Up, MeterKey::Enter, MeterKey::Up, MeterKey::Enter});
    ASSERT_EQ(rig.screen(), 2540);
    ASSERT_TRUE(rig.window->core().keysLocked());
    EXPECT_EQ(click(MeterKey::Mode) + click(MeterKey::Meas), QByteArray());
    EXPECT_TRUE(pcKey(Qt::Key_F1).startsWith("D"));
    EXPECT_TRUE(click(MeterKey::Esc).startsWith("Q"));
    EXPECT_NE(rig.screen(), 2540);
}

TEST_F(InstrumentKeys, HeldArrowMovesTheMenuOnlyWhileHeld)
{
    click(MeterKey::Memo);
    ASSERT_EQ(rig.screen(), 10);
    const auto down = [&](QEvent::Type type, bool repeat) {
        QKeyEvent e(type, Qt::Key_Down, Qt::NoModifier, QString(), repeat);
        QApplication::sendEvent(rig.window, &e);
    };
    // Two seconds held: the press, then the system's repeats every 40 ms;
    // the meter's answers come at the line rate.
    std::set<uint16_t> passed;
    for (int i = 0; i < 50; ++i) {
        down(QEvent::KeyPress, i > 0);
        rig.run(40, InstrumentRig::LineBytesPerStep);
        passed.insert(rig.meter.screen());
    }
    down(QEvent::KeyRelease, false);
    EXPECT_GE(passed.size(), 3u) << "the menu moves while the key is held";
    // After the release at most the key waiting in the queue still goes.
    const qsizetype keysAtRelease = rig.sent.count('J');
    rig.run(300, InstrumentRig::LineBytesPerStep);
    const uint16_t stopped = rig.meter.screen();
    rig.run(5000, InstrumentRig::LineBytesPerStep);
    EXPECT_LE(rig.sent.count('J'), keysAtRelease + 1);
    EXPECT_EQ(rig.meter.screen(), stopped);
}

TEST(InstrumentKeysSilentMeter, KeyAfterRefreshLeavesAtOnce)
{
    qvsim::MeterConfig off;
    off.off = true;
    InstrumentRig rig(off);
    rig.window->PressKey(MeterKey::Refresh);
    rig.run(200);
    EXPECT_EQ(rig.sent, "IB");
    // No answer comes; the next key does not wait for one.
    const std::pair<std::function<void()>, const char *> presses[] = {
        {[&] { rig.window->PressKey(MeterKey::Up); }, "R"},
        {[&] { QTest::keyClick(rig.window, Qt::Key_Down); }, "J"},
        {[&] { QTest::mouseClick(rig.window->keyButton(MeterKey::Esc), Qt::LeftButton); }, "Q"},
    };
    for (const auto &[press, letter] : presses)
        EXPECT_EQ(rig.sentBy(press, 200), letter);
}

// On the meter's entry screens Tab stays with the instrument, typed text
// reaches the meter's editor, and a character neither table holds sends
// nothing (not even the entry-kind key: it would change the meter's field for
// nothing). Elsewhere Tab moves on to the next control, as in any dialog.
TEST_F(InstrumentKeys, TypedTextReachesTheMetersEditor)
{
    ASSERT_TRUE(rig.activate());
    struct Case { std::initializer_list<MeterKey> path; int screen; const char *typed, *edited; uint32_t ms; };
    const Case cases[] = {
        // MEMO, ENTER: the comment (100).
        {{MeterKey::Memo, MeterKey::Enter}, 100, "LAMP 7-B", "LAMP 7-B", 20000},
        // MODE, down to "Relative measure", ENTER: the reference value (320),
        // digits only and a comma turned into a point.
        {{MeterKey::Mode, MeterKey::Down, MeterKey::Down, MeterKey::Enter}, 320, "12,5x", "12.5", 15000},
    };
    for (const Case &c : cases) {
        clickKeys(c.path);
        ASSERT_EQ(rig.screen(), c.screen);
        QTest::keyClick(rig.window, Qt::Key_Tab);
        EXPECT_TRUE(rig.window->hasFocus());
        QKeyEvent euro(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x20AC)));
        EXPECT_EQ(rig.sentBy([&] { QApplication::sendEvent(rig.window, &euro); }, 1000), QByteArray());
        QTest::keyClicks(rig.window, QString::fromLatin1(c.typed));
        rig.run(c.ms);
        EXPECT_TRUE(rig.window->typer().idle());
        EXPECT_EQ(rig.meter.editor().trimmed(), c.edited) << c.typed;
        clickKeys({MeterKey::Esc, MeterKey::Esc});
    }
    ASSERT_FALSE(rig.window->core().entry().active);
    QTest::keyClick(rig.window, Qt::Key_Tab);
    EXPECT_FALSE(rig.window->hasFocus());
}

TEST_F(InstrumentKeys, ClicksOnMenuLinesAndSoftKeyLabels)
{
    click(MeterKey::Memo);
    ASSERT_EQ(rig.screen(), 10);
    // "Autosave..." is the fifth line: y 40..48; a click on it walks there,
    // one more click on the line enters.
    clickLcd(60, 44, {}, 2000);
    EXPECT_EQ(rig.screen(), 14);
    EXPECT_EQ(rig.meter.screen(), 14);
    EXPECT_TRUE(clickLcd(60, 44, {}, 1000).startsWith("K"));
    EXPECT_EQ(rig.meter.screen(), 140);
    clickKeys({MeterKey::Esc, MeterKey::Esc, MeterKey::Memo});
    ASSERT_EQ(rig.screen(), 10);
    // A click on the SET label presses SET; with Shift held the picture takes no click.
    EXPECT_TRUE(clickLcd(3, 30).startsWith("L"));
    ASSERT_EQ(rig.meter.screen(), 20);
    EXPECT_EQ(clickLcd(3, 50, Qt::ShiftModifier), QByteArray());
    // "More..." (item 5) by a double click (a press, then the double
    // click): walk down, then ENTER.
    clickLcd(80, 8 + 5 * 8 + 3, {}, 0);
    QTest::mouseDClick(rig.window->lcdView(), Qt::LeftButton, {}, QPoint(4 + 2 * 80, 4 + 2 * (8 + 5 * 8 + 3)));
    rig.run(4000);
    EXPECT_EQ(rig.meter.screen(), 250);
    EXPECT_FALSE(rig.window->selection().pending());
    // A meter switching off drops a pending walk.
    clickLcd(60, 48, {}, 0);
    ASSERT_TRUE(rig.window->selection().pending());
    rig.window->comm().ReportStatus(stCommLost);
    EXPECT_FALSE(rig.window->selection().pending());
}

// The whole window on the measurement screen against a golden picture
// (tests/data/app/README.md says how to make it again).
TEST(GoldenWindow, InstrumentOnTheMeasurementScreen)
{
    InstrumentRig rig;
    rig.settle();
    rig.window->PressKey(MeterKey::Meas);
    rig.run(1500);
    ASSERT_EQ(rig.screen(), 0);
    rig.window->comm().ReportStatus(stConnected);
    const QImage shot = rig.window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.size(), QSize(349, 314));

    const QString path = goldenPath("instrument_measure_en.png");
    if (qEnvironmentVariableIsSet("QV_UPDATE_GOLDEN")) {
        ASSERT_TRUE(shot.save(path, "PNG"));
        GTEST_SKIP() << "wrote " << qPrintable(path);
    }
    const QImage golden = QImage(path).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(golden.isNull()) << "no golden picture " << qPrintable(path);
    ASSERT_EQ(golden.size(), shot.size());
    QPoint first;
    const int n = differences(golden, shot, first);
    if (n) {
        const QString actual = QDir::temp().filePath(QStringLiteral("instrument_measure_en.actual.png"));
        shot.save(actual, "PNG");
        FAIL() << n << " pixels differ, the first at (" << first.x() << ", " << first.y() << "); see "
               << qPrintable(actual);
    }
}

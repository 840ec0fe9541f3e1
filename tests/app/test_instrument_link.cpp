// The instrument window's link: status panel colours and texts, the probe
// panel, port and baud-rate changes with their events and requests, the
// download warning, the transmission buttons, the key hints, title and logo.
#include "InstrumentRig.h"

#include "dialogs/ScriptedDialogs.h"
#include "dialogs/UrlOpener.h"
#include "instrument/DownloadWarning.h"
#include "instrument/QVKeypad.h"
#include "instrument/QVStatusBar.h"
#include "serial/PortSource.h"
#include "support/Frames.h"

#include <QComboBox>
#include <QEnterEvent>
#include <QLabel>
#include <QPushButton>

#include <functional>

using namespace qv;
using qvtest::InstrumentRig;

namespace {

constexpr QRgb Navy = 0xFF000080;
constexpr QRgb Red = 0xFFFF0000;

// Chooses an entry of a box as the user does.
void choose(QComboBox *box, int index)
{
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// Starts the meter sending its memory (MEMO, UP to "Send to PC", ENTER,
// ENTER) and lets bytes arrive at the line rate until the download runs.
bool startDownload(InstrumentRig &rig)
{
    for (MeterKey k : {MeterKey::Memo, MeterKey::Up, MeterKey::Enter}) {
        rig.window->PressKey(k);
        rig.run(600);
    }
    rig.window->PressKey(MeterKey::Enter);
    for (int i = 0; i < 100 && !rig.window->comm().InMemoryTransfer(); ++i)
        rig.run(20, InstrumentRig::LineBytesPerStep);
    return rig.window->comm().InMemoryTransfer();
}

// A window on a real (idle) port with the meter in its place.
class OnPort : public ::testing::Test {
protected:
    InstrumentRig rig{qvsim::MeterConfig(), true};
};

// The meter sending 40 stored cells, dialogs answered by script.
class DuringADownload : public ::testing::Test {
protected:
    static qvsim::MeterConfig withCells(int cells)
    {
        qvsim::MeterConfig c;
        c.cells = cells;
        return c;
    }
    void SetUp() override
    {
        rig.settle();
        ASSERT_TRUE(startDownload(rig));
    }

    InstrumentRig rig{withCells(40), true};
    ScriptedDialogHandler dialogs;
    ScopedDialogHandler scope{dialogs};
};

} // namespace

TEST(InstrumentLink, StatusPanelIsNavyForTheLinkStatesAndRedForErrorsInEitherLanguage)
{
    QStringList buttons;
    for (const uint8_t language : {1, 0}) {
        InstrumentRig rig({}, false, language);
        QVStatusBar *bar = rig.window->statusBar();
        for (int code = stConnected; code <= stPortError; ++code) {
            rig.window->comm().ReportStatus(code);
            EXPECT_EQ(bar->statusPanel()->text(), statusText(code, language));
            EXPECT_EQ(bar->statusColour(), code <= stDisconnected ? Navy : Red) << code;
            EXPECT_EQ(bar->statusPanel()->palette().color(QPalette::WindowText).rgb(), bar->statusColour());
        }
        buttons << rig.window->searchButton()->text() << rig.window->offButton()->text();
    }
    // The buttons' texts follow the language too.
    EXPECT_NE(buttons[0], buttons[2]);
    EXPECT_NE(buttons[1], buttons[3]);
}

TEST(InstrumentLink, ProbePanelNamesTheProbeAndTurnsRedWithoutOne)
{
    {
        InstrumentRig rig;
        rig.settle();
        EXPECT_FALSE(rig.window->statusBar()->probePanel()->text().isEmpty());
        EXPECT_NE(rig.window->statusBar()->probeColour(), Red);
    }
    qvsim::MeterConfig noProbe;
    noProbe.noProbe = true;
    InstrumentRig rig(noProbe);
    rig.settle();
    EXPECT_EQ(rig.window->statusBar()->probeColour(), Red);
    // Switching the meter off empties the panel.
    rig.window->PressKey(MeterKey::Power);
    rig.run(1000);
    EXPECT_TRUE(rig.window->statusBar()->probePanel()->text().isEmpty());
}

TEST(InstrumentLink, NoPortOffersTheSearchWhichCanBeLeftToTheOwnerAndErrorsMaySound)
{
    InstrumentRig rig;
    EXPECT_TRUE(isNoneName(rig.window->Port()));
    EXPECT_FALSE(rig.window->offButton()->isEnabled());
    int searches = 0;
    rig.window->InternalCOMSearch = false;
    rig.window->OnExternalCOMSearch = [&] { ++searches; };
    QTest::mouseClick(rig.window->searchButton(), Qt::LeftButton);
    EXPECT_EQ(searches, 1);
    // The error sound only with SoundError, and only for errors.
    int beeps = 0;
    rig.window->beep = [&] { ++beeps; };
    rig.window->comm().ReportStatus(stCommLost);
    EXPECT_EQ(beeps, 0);
    rig.window->SoundError = true;
    rig.window->comm().ReportStatus(stDisconnected);
    EXPECT_EQ(beeps, 0);
    rig.window->comm().ReportStatus(stCommLost);
    EXPECT_EQ(beeps, 1);
}

TEST_F(OnPort, ARealPortOffersConnectAndTurnOffAndTheListFollowsDevices)
{
    EXPECT_EQ(rig.window->Port(), rig.pty.path);
    EXPECT_EQ(rig.window->portBox()->currentText(), rig.pty.path);
    EXPECT_TRUE(rig.window->offButton()->isEnabled());
    QTest::mouseClick(rig.window->offButton(), Qt::LeftButton);
    EXPECT_FALSE(rig.window->comm().IsOpen());
    EXPECT_EQ(rig.window->statusBar()->statusPanel()->text(), statusText(stDisconnected, 1));
    // Connect reopens the port.
    QTest::mouseClick(rig.window->searchButton(), Qt::LeftButton);
    EXPECT_TRUE(rig.window->comm().IsOpen());
    EXPECT_EQ(rig.window->comm().OpenedPort(), rig.pty.path);
    EXPECT_EQ(rig.window->statusBar()->statusPanel()->text(), statusText(stConnected, 1));
    EXPECT_EQ(rig.window->PortNumber(), 1);
    // The port list follows devices coming and going.
    QComboBox *box = rig.window->portBox();
    ASSERT_EQ(box->count(), 2);
    // A simulated meter's port is shown by its name, opened and told by its whole path.
    const QString demo = virtualPortFolder() + QStringLiteral("/ttyQVdemo");
    rig.ports.names << demo;
    rig.window->comm().RescanPorts();
    ASSERT_EQ(box->count(), 3);
    EXPECT_EQ(box->currentText(), rig.pty.path);
    EXPECT_EQ(box->itemText(box->findData(demo)), "ttyQVdemo");
    EXPECT_EQ(box->itemData(box->findData(demo), Qt::ToolTipRole).toString(), demo);
    // The port in use goes away: the box falls back to none, no search
    // button caption for a port that is not there.
    rig.ports.names.removeAll(rig.pty.path);
    rig.window->comm().RescanPorts();
    EXPECT_EQ(box->count(), 2);
    EXPECT_TRUE(isNoneName(box->currentText()));
    EXPECT_FALSE(rig.window->offButton()->isEnabled());
}

// The port or rate in use set again raises no event but asks the meter for
// its state, once; a change raises its event; without a download nothing is asked.
TEST_F(OnPort, LinkChangesRaiseTheirEventsAndTheSameSettingsAskTheMeter)
{
    rig.settle();
    ASSERT_TRUE(rig.window->core().records().identReceived);
    int changes = 0;
    rig.window->OnCOMPortChange = rig.window->OnBaudRateChange = [&] { ++changes; };
    // Each setter, and whether the records of the meter are forgotten.
    const std::pair<std::function<void()>, bool> again[] = {
        {[&] { rig.window->setPort(rig.pty.path); }, true},
        {[&] { rig.window->setBaudRate(br009600); }, false},
        {[&] { rig.window->setPortAndBaudRate(rig.pty.path, br009600); }, true},
    };
    for (const auto &[set, forgets] : again) {
        rig.sent.clear();
        set();
        EXPECT_TRUE(rig.window->identRequest());
        EXPECT_NE(rig.window->core().measurementRunning(), forgets);
        rig.run(1000);
        EXPECT_EQ(rig.sent.count('I'), 1) << rig.sent.constData();
        EXPECT_TRUE(rig.sent.startsWith("I")) << rig.sent.constData();
        EXPECT_FALSE(rig.window->identRequest());
    }
    EXPECT_EQ(changes, 0);
    ScriptedDialogHandler dialogs;
    ScopedDialogHandler scope(dialogs);
    choose(rig.window->baudBox(), 2);
    EXPECT_EQ(rig.window->BaudRate(), br004800);
    rig.window->setBaudRate(br002400);
    EXPECT_EQ(rig.window->BaudRate(), br002400);
    // Rates the meter does not have are not taken.
    rig.window->setBaudRate(br019200);
    EXPECT_EQ(rig.window->BaudRate(), br002400);
    rig.window->setPort(QStringLiteral("none"));
    EXPECT_EQ(changes, 3);
    EXPECT_FALSE(rig.window->offButton()->isEnabled());
    EXPECT_TRUE(dialogs.requests().empty());
}

TEST(InstrumentLink, FrameDelayOfTheClockIsTheOneStoredWithTheRate)
{
    InstrumentRig rig;
    rig.window->ClosePort();   // no port yet, as the program starts
    rig.ports.names << rig.pty.path;
    rig.window->comm().RescanPorts();
    // How far the clock runs ahead of the meter's date-time in an info record (ms).
    const auto delayShown = [&] {
        qvtest::Frame f(1);
        f.byte(7, 10).byte(8, 0x30).byte(9, 1).byte(10, 15).byte(11, 41).menu(0).clock();
        const QByteArray b = f.data();
        rig.window->comm().DeliverBlock(reinterpret_cast<const uint8_t *>(b.constData()), uint32_t(b.size()));
        MeterCore &core = rig.window->core();
        return qRound((core.screen().clockBase - core.records().info.DateTime) * 86400000.0);
    };
    // Start-up at 1200 bit/s: the rate is set before the port opens, so the
    // 28 bytes of a frame count at the 9600 bit/s of a closed port.
    rig.window->setPortAndBaudRate(rig.pty.path, br001200);
    ASSERT_TRUE(rig.window->comm().IsOpen());
    EXPECT_EQ(delayShown(), 29 + rig.window->comm().TimeOut());
    // A change on the open port: the new rate's time.
    rig.window->setBaudRate(br002400);
    EXPECT_EQ(delayShown(), 117 + rig.window->comm().TimeOut());
}

// A refused port change, rate change or reconnection changes nothing, and
// the download carries on to its end.
TEST_F(DuringADownload, EachChangeAsksFirstAndARefusalChangesNothing)
{
    int changes = 0, memoEvents = 0;
    rig.window->OnCOMPortChange = rig.window->OnBaudRateChange = [&] { ++changes; };
    rig.window->OnReceiveMemo = [&](const uint8_t *, uint32_t) { ++memoEvents; };
    // The port in use, chosen again: nothing to ask, nothing done.
    choose(rig.window->portBox(), rig.window->portBox()->findText(rig.pty.path));
    EXPECT_TRUE(dialogs.requests().empty());
    const std::pair<LinkAction, std::function<void()>> actions[] = {
        {LinkAction::PortChange, [&] { choose(rig.window->portBox(), 0); }},
        {LinkAction::BaudRateChange, [&] { choose(rig.window->baudBox(), 0); }},
        {LinkAction::Reconnection, [&] { QTest::mouseClick(rig.window->searchButton(), Qt::LeftButton); }},
    };
    for (const auto &[action, change] : actions) {
        dialogs.script({DialogAnswer(BtnCodeNo)});
        change();
        EXPECT_EQ(dialogs.last().text, downloadWarningText(1, action));
        EXPECT_EQ(dialogs.last().icon, IconWarning);
    }
    EXPECT_EQ(dialogs.requests().size(), 3u);
    EXPECT_EQ(rig.window->portBox()->currentText(), rig.pty.path);
    EXPECT_EQ(rig.window->Port(), rig.pty.path);
    EXPECT_EQ(rig.window->baudBox()->currentIndex(), 3);
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(rig.window->comm().InMemoryTransfer());
    rig.run(5000, InstrumentRig::LineBytesPerStep);
    EXPECT_EQ(memoEvents, 1);
    EXPECT_FALSE(rig.window->comm().InMemoryTransfer());
}

TEST_F(DuringADownload, ConfirmedPortChangeCancelsTheDownload)
{
    int portChanges = 0;
    rig.window->OnCOMPortChange = [&] { ++portChanges; };
    dialogs.script({DialogAnswer(BtnCodeYes)});
    // ESC ends the meter's sending.
    EXPECT_TRUE(rig.sentBy([&] { choose(rig.window->portBox(), 0); }, 0).startsWith("Q"));
    EXPECT_EQ(portChanges, 1);
    EXPECT_TRUE(isNoneName(rig.window->Port()));
}

TEST_F(DuringADownload, OnlyOneWarningAtATimeAndALinkErrorClosesIt)
{
    bool closed = false;
    int nested = -1;
    // While the first question is open: a second change is refused without
    // asking, and a link error closes the question.
    dialogs.onAsk = [&](const DialogRequest &r) {
        if (!r.held || nested >= 0)
            return;
        r.held->hold([&] { closed = true; });
        nested = int(dialogs.requests().size());
        choose(rig.window->baudBox(), 1);
        nested = int(dialogs.requests().size()) - nested;
        rig.window->comm().ReportStatus(stCommLost);
    };
    dialogs.script({DialogAnswer(BtnCodeNo)});
    choose(rig.window->portBox(), 0);
    EXPECT_EQ(nested, 0);
    EXPECT_TRUE(closed);
    EXPECT_EQ(rig.window->baudBox()->currentIndex(), 3);
}

TEST(InstrumentLink, TitleClickWithoutIdentificationSaysNoDataAndLogoOpensTheAddress)
{
    InstrumentRig rig;
    ASSERT_TRUE(rig.activate());
    ScriptedDialogHandler dialogs;
    ScopedDialogHandler scope(dialogs);
    QTest::mouseClick(rig.window->titleLabel(), Qt::LeftButton);
    ASSERT_EQ(dialogs.requests().size(), 1u);
    EXPECT_EQ(dialogs.last().icon, IconWarning);
    // Handed to the owner instead when asked so.
    int captionClicks = 0;
    rig.window->InternalCaptionClick = false;
    rig.window->OnCaptionClick = [&] { ++captionClicks; };
    QTest::mouseClick(rig.window->titleLabel(), Qt::LeftButton);
    EXPECT_EQ(captionClicks, 1);
    EXPECT_EQ(dialogs.requests().size(), 1u);

    // The logo opens the distributor's address.
    QList<QUrl> opened;
    const UrlOpener previous = setUrlOpener([&](const QUrl &u) {
        opened << u;
        return true;
    });
    QTest::mouseClick(rig.window->logo(), Qt::LeftButton);
    setUrlOpener(previous);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first(), TQVMeter32::webAddress(1));
}

TEST_F(OnPort, KeyHintShowsThePcKeyUnderTheMouseAndKeysOnTheBoxesGoBackToTheInstrument)
{
    ASSERT_TRUE(rig.activate());
    rig.window->portBox()->setFocus();
    ASSERT_TRUE(rig.window->portBox()->hasFocus());
    QTest::keyClick(rig.window->portBox(), Qt::Key_Shift);
    EXPECT_TRUE(rig.window->portBox()->hasFocus());
    QTest::keyClick(rig.window->portBox(), Qt::Key_Down);
    EXPECT_TRUE(rig.window->hasFocus());
    EXPECT_EQ(rig.window->portBox()->currentText(), rig.pty.path);
    QVStatusBar *bar = rig.window->statusBar();
    // Which of the two pictures are shown: the key's hint, the keyboard.
    const auto shown = [bar] {
        return std::pair{!bar->hintImage()->isHidden(), !bar->keyboardImage()->isHidden()};
    };
    QWidget *mode = rig.window->keyButton(MeterKey::Mode);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QEvent leave(QEvent::Leave);
    EXPECT_EQ(shown(), std::pair(false, true));
    QApplication::sendEvent(mode, &enter);
    EXPECT_EQ(shown(), std::pair(true, false));
    QApplication::sendEvent(mode, &leave);
    EXPECT_EQ(shown(), std::pair(false, true));
    // REFRESH has no PC key; without the focus there is no hint at all.
    QApplication::sendEvent(rig.window->keyButton(MeterKey::Refresh), &enter);
    EXPECT_EQ(shown(), std::pair(false, true));
    rig.window->clearFocus();
    QApplication::sendEvent(mode, &enter);
    EXPECT_EQ(shown(), std::pair(false, false));
    // No keyboard picture without an open port, even with the focus.
    rig.window->setFocus();
    EXPECT_EQ(shown().second, true);
    rig.window->ClosePort();
    EXPECT_EQ(shown().second, false);
}

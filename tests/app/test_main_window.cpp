// The main window: views and menu, size, the link settings at start-up and
// shutdown, the instrument's events, hints, errors after start-up; the
// program's command line and when it simulates a meter.
#include "FormRig.h"

#include "app/AppOptions.h"
#include "support/GoldenText.h"

#include <QAction>
#include <QPushButton>
#include <QLabel>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStatusTipEvent>
#include <QTabBar>

using namespace qv;

namespace {

// No journal: nothing to restore, nothing to ask at start-up.
class MainWindowTest : public qvtest::FormTest {
protected:
    std::unique_ptr<TFormQV> makeForm(const TFormQV::StartLink &start = {}) { return qvtest::FormTest::makeForm(false, start); }
};

} // namespace

TEST_F(MainWindowTest, TabsViewMenuAndKeysSelectTheSameViewAndTheInstrumentFitsInItsPanel)
{
    auto form = makeForm();
    EXPECT_EQ(form->QVMeter()->parentWidget(), form->PanelMeter);
    EXPECT_EQ(DialogLanguage, LangEnglish);
    // The tab, the page and the one check mark in the View menu.
    const auto expectView = [&](int view) {
        EXPECT_EQ(form->currentView(), view);
        EXPECT_EQ(form->TabSet->currentIndex(), view);
        EXPECT_EQ(form->NoteBook->currentIndex(), view);
        for (int i = 0; i < TFormQV::ViewCount; ++i)
            EXPECT_EQ(form->MenuViewItems[i]->isChecked(), i == view) << "view " << view << ", item " << i;
    };
    expectView(TFormQV::ViewMeter);
    EXPECT_FALSE(form->MenuOperators->isVisible());
    form->MenuViewItems[TFormQV::ViewMemory]->trigger();
    expectView(TFormQV::ViewMemory);
    form->TabSet->setCurrentIndex(TFormQV::ViewHistory);
    expectView(TFormQV::ViewHistory);
    EXPECT_TRUE(form->MenuOperators->isVisible());
    // So do Ctrl and a function key.
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_F3, Qt::ControlModifier);
    expectView(TFormQV::ViewMemory);
    QTest::keyClick(form.get(), Qt::Key_F1, Qt::ControlModifier);
    expectView(TFormQV::ViewMeter);

    // The window is no smaller than the instrument in its panel.
    const QSize client = form->minimumClientSize();
    EXPECT_GE(form->minimumSize().height(), client.height() + form->menuBar()->sizeHint().height());
    EXPECT_GE(form->PanelMeter->width(), TQVMeter32::Width + 16);
    EXPECT_GE(form->PanelMeter->height(), TQVMeter32::Height + 16);
    // The History view's buttons get their height at the smallest window.
    form->resize(form->minimumSize());
    form->selectView(TFormQV::ViewHistory);
    QApplication::processEvents();
    for (const QPushButton *b : form->NoteBook->widget(TFormQV::ViewHistory)->findChildren<QPushButton *>())
        if (b->isVisible()) {
            EXPECT_GE(b->height(), b->minimumSizeHint().height()) << b->objectName().toStdString();
        }
}

TEST_F(MainWindowTest, LinkAtStartUpFromTheStoreAndTheCommandLineAndStoredAtShutdown)
{
    const QString none = QStringLiteral("none");
    struct Case { const char *what; QVariant port; int storedRate; TFormQV::StartLink start; bool onPty; TBaudRate rate; };
    const Case cases[] = {
        {"stored port and rate", pty.path, 4800, {}, true, br004800},
        {"the command line overrides", none, 2400, {pty.path, br001200}, true, br001200},
        // Stored values outside the rules give the defaults.
        {"rate too high", none, 19200, {}, false, br009600},
        {"rate too low", none, 300, {}, false, br009600},
        {"no rate", none, 0, {}, false, br009600},
    };
    for (const Case &c : cases) {
        settings.values = {{"Port", c.port}, {"BaudRate", c.storedRate}};
        auto form = makeForm(c.start);
        TQVMeter32 &m = *form->QVMeter();
        EXPECT_EQ(m.BaudRate(), c.rate) << c.what;
        EXPECT_EQ(isNoneName(m.Port()), !c.onPty) << c.what;
        if (c.onPty) {
            EXPECT_EQ(m.Port(), pty.path) << c.what;
            EXPECT_TRUE(m.comm().IsOpen()) << c.what;
            EXPECT_GE(m.comm().HoldTime(), 4000u) << c.what;
        }
    }
    LinkSettings link;
    settings.values = {{"BaudRate", 1200}};
    ASSERT_TRUE(readLinkSettings(settings, 1, link));
    EXPECT_TRUE(link.port.isEmpty());   // a missing port reads as none
    EXPECT_EQ(link.baudRate, br001200);
    settings.values.clear();
    EXPECT_FALSE(readLinkSettings(settings, 1, link));
    // Shutdown stores the link and closes the port.
    settings.values = {{"Port", pty.path}, {"BaudRate", 2400}};
    auto form = makeForm();
    TComm32QV &comm = form->QVMeter()->comm();
    form->close();
    EXPECT_EQ(settings.values.value("Port").toString(), pty.path);
    EXPECT_EQ(settings.values.value("BaudRate").toInt(), 2400);
    EXPECT_FALSE(comm.IsOpen());
    // A port no longer listed is stored as none.
    form.reset();
    settings.values = {{"Port", pty.path}};
    form = makeForm();
    ports.names.clear();
    form->QVMeter()->comm().RescanPorts();
    form.reset();
    EXPECT_EQ(settings.values.value("Port").toString(), "");
    EXPECT_EQ(settings.values.value("BaudRate").toInt(), 9600);
}

TEST_F(MainWindowTest, MeterEventsDriveTheStateAndMeterInfo)
{
    auto form = makeForm();
    qvsim::MeterEngine meter;
    meter.setProgramRate(9600);
    TQVMeter32 &m = *form->QVMeter();
    m.comm().OpenDetached([&](const QByteArray &b) {
        meter.receive(reinterpret_cast<const uint8_t *>(b.constData()), size_t(b.size()));
    });
    auto run = [&](uint32_t ms) { qvtest::runMeter(meter, m.comm(), timers, ms); };
    EXPECT_FALSE(form->MenuMeterInfo->isEnabled());
    m.PressKey(MeterKey::Refresh);
    run(2000);
    EXPECT_TRUE(form->MeterOn);
    EXPECT_TRUE(form->ProbeSeen);
    EXPECT_FALSE(form->StatusAlarm);
    EXPECT_TRUE(form->MenuMeterInfo->isEnabled());
    EXPECT_EQ(form->LastInfoMeter.ProbeCode, meter.status().probeCode);

    m.comm().ReportStatus(stCommLost);
    EXPECT_TRUE(form->StatusAlarm);

    m.PressKey(MeterKey::Power);
    run(1000);
    EXPECT_FALSE(form->MeterOn);
    EXPECT_FALSE(form->MenuMeterInfo->isEnabled());
}

TEST_F(MainWindowTest, WarningsHintsTheErrorSoundAndAnErrorAfterStartUpComeFromTheWindow)
{
    ports.names << pty.path;   // two ports of one name
    settings.values = {{"Port", pty.path}};
    auto form = makeForm();
    QCoreApplication::processEvents();   // the warning is posted
    ASSERT_EQ(dialogs.requests().size(), 1u);
    const DialogRequest &warning = dialogs.last();
    EXPECT_STREQ(warning.routine, "ShowInfoBox");
    EXPECT_EQ(warning.owner, form.get());
    EXPECT_EQ(warning.icon, IconWarning);
    EXPECT_TRUE(warning.text.contains(pty.path));

    // The link's error sound, for a component that asks for it, while the
    // program is in front.
    int beeps = 0;
    form->QVMeter()->beep = [&] { ++beeps; };
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    TComm32QV &comm = form->QVMeter()->comm();
    comm.ReportStatus(stPortError);
    EXPECT_EQ(beeps, 0) << "not asked for";
    comm.SoundOnError = true;
    comm.ReportStatus(stDisconnected);
    EXPECT_EQ(beeps, 0) << "not an error";
    comm.ReportStatus(stPortError);
    EXPECT_EQ(beeps, 1);
    // Hints, and an error after start-up, which closes the port.
    QStatusTipEvent tip(QStringLiteral("Deletes history"));
    QApplication::sendEvent(form->QVMeter(), &tip);
    EXPECT_EQ(form->PanelHint->text(), " Deletes history");
    ASSERT_TRUE(comm.IsOpen());
    form->showException(QStringLiteral("Out of memory."));
    ASSERT_EQ(dialogs.requests().size(), 2u);
    EXPECT_EQ(dialogs.last().text, "Out of memory.");
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_TRUE(form->isEnabled());
}

// What the program makes of its command lines, as a sheet
// (tests/data/app/app_options.txt): the options read, or why not, the
// answer before the application starts (-1: start it), which leaves Qt's own
// options (one dash) and their values to the application, and whether it
// simulates a meter with nothing stored, none stored, a simulator's leftover
// port (gone) or a port that is there stored.
TEST(AppOptions, CommandLinesAsReadAndAnsweredBeforeTheApplicationStarts)
{
    QString sheet;
    const auto exists = [](const QString &p) { return p == QLatin1String("/dev/ttyS0"); };
    for (const char *line : {"--port /dev/ttyUSB0 --baud 2400", "--simulate --screenshot a.png --after 250",
                             "--timeout 900", "--baud 19200", "--baud 300", "--after soon", "extra",
                             "--colour", "--timeout 0", "-platform offscreen --simulate",
                             "-style fusion --baud 300", "--version"}) {
        const QStringList args = (QStringLiteral("qv7xx ") + QLatin1String(line)).split(QLatin1Char(' '));
        AppOptions o;
        QString error;
        sheet += QLatin1String(line) + QStringLiteral("\n    before start %1, ").arg(answerBeforeStart(args));
        if (!parseAppOptions(args, o, error)) {
            sheet += QStringLiteral("refused: %1\n").arg(error);
            continue;
        }
        sheet += QStringLiteral("port \"%1\" baud %2 simulate %3 screenshot \"%4\" after %5 timeout %6\n")
                     .arg(o.port, QLatin1String(o.baud ? BaudRateNumbers[*o.baud] : "-"))
                     .arg(o.simulate)
                     .arg(o.screenshot)
                     .arg(o.afterMs)
                     .arg(o.timeoutMs);
        sheet += QStringLiteral("    simulates:");
        const char *const stored[] = {nullptr, "", "/tmp/qv7xx-ports/ttyQVdemo", "/dev/ttyS0"};
        for (const char *port : stored) {
            LinkSettings link;
            link.port = QLatin1String(port);
            sheet += QStringLiteral(" %1").arg(shouldSimulate(o, link, port != nullptr, exists));
        }
        sheet += QLatin1Char('\n');
    }
    qvtest::expectGoldenText(QStringLiteral("app/app_options.txt"), sheet);
}

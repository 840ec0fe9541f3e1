// The program as a user runs it, without a display: its simulated meter's
// port goes with it however it ends, a port left by a killed run is never
// opened again, and a killed autosave run loses no row of its journal.
#include "integration/PtyHelpers.h"

#include "history/Journal.h"
#include "serial/VirtualPort.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

using namespace qv;
using qvtest::waitUntil;

namespace {

const QString kProgram = QStringLiteral(QV_BINARY_DIR "/src/qv7xx");
constexpr int PatienceMs = 30000; // generous: the machine is shared

// Fresh settings, data and virtual-port folders for every test.
class ProgramRun : public ::testing::Test {
protected:
    QString ports() const { return home.filePath("ports"); }
    QString demoPort() const { return ports() + "/ttyQVdemo"; }
    QString journal() const { return home.filePath("data/TAMBRIX/QV-7xx/journal.qvj"); }

    void start(QProcess &p, const QStringList &args = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("XDG_DATA_HOME", home.filePath("data"));
        env.insert("QV7XX_PORT_DIR", ports());
        p.setProcessEnvironment(env);
        p.start(kProgram, args);
    }
    // Starts the program and kills it outright once `ready` holds.
    void killWhen(QProcess &p, int sig, const std::function<bool()> &ready, const QStringList &args = {})
    {
        start(p, args);
        const bool reached =
            waitUntil([&] { return p.state() == QProcess::Running && ready(); }, PatienceMs);
        ASSERT_TRUE(reached) << p.readAllStandardError().toStdString();
        ASSERT_EQ(::kill(pid_t(p.processId()), sig), 0);
        ASSERT_TRUE(p.waitForFinished(PatienceMs));
    }

    QTemporaryDir home;
};

} // namespace

TEST_F(ProgramRun, ItsDemoPortGoesWithItAndADeadOneIsNeverOpened)
{
    std::vector<std::unique_ptr<qvtest::PseudoTerminal>> taken;
    qvtest::PseudoTerminal *reused = nullptr;
    for (const int sig : {SIGTERM, SIGKILL, SIGINT, SIGHUP}) {
        SCOPED_TRACE(::strsignal(sig));
        QProcess p;
        // The first run has nothing stored; later ones have the demo port
        // stored, and it is gone (or dead): each starts a simulated meter.
        QString target;
        ASSERT_NO_FATAL_FAILURE(killWhen(p, sig, [&] {
            target = QFileInfo(demoPort()).symLinkTarget();
            return liveVirtualPorts(ports()) == QStringList{demoPort()};
        }));
        if (sig != SIGKILL) {
            EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
            const QDir::Filters all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
            EXPECT_EQ(QDir(ports()).entryList(all), QStringList{});
            continue;
        }
        // Killed: the link stays, and its terminal goes to the next who asks.
        while (taken.size() < 32 && (taken.empty() || taken.back()->slavePath() != target))
            taken.push_back(std::make_unique<qvtest::PseudoTerminal>());
        reused = taken.back().get();
        ASSERT_EQ(reused->slavePath(), target);
        ASSERT_TRUE(QFileInfo::exists(demoPort()));
        EXPECT_EQ(liveVirtualPorts(ports()), QStringList{});
    }
    // The runs after the kill talked to their own meters, not to the terminal.
    ASSERT_NE(reused, nullptr);
    EXPECT_EQ(reused->read(1, 100), QByteArray());
    const QSettings stored(home.filePath("config/TAMBRIX/QV-7xx.ini"), QSettings::IniFormat);
    EXPECT_EQ(stored.value("Port").toString(), demoPort());
}

// The screenshot mode always ends: at its deadline with the window as it
// was, the reason on stderr and status 3.
TEST_F(ProgramRun, TheScreenshotModeEndsAtItsDeadline)
{
    qvtest::PseudoTerminal silent; // a port nobody answers on
    VirtualPort published;
    QString error;
    ASSERT_TRUE(published.publish(ports(), "ttySilent", silent.slavePath(), error)) << qPrintable(error);
    const std::tuple<QStringList, const char *, int, const char *> cases[] = {
        {{"--port", home.filePath("ttyNOPE")}, "1500", 3, "is not open: Port not found"},
        {{"--port", published.path()}, "1500", 3, "no answer from a meter on"},
        {{"--simulate"}, "15000", 0, ""},
    };
    for (const auto &[link, timeoutMs, code, message] : cases) {
        SCOPED_TRACE(link.join(' ').toStdString());
        const QString shot = home.filePath("shot.png");
        QFile::remove(shot);
        QProcess p;
        start(p, link + QStringList{"--screenshot", shot, "--after", "100", "--timeout", timeoutMs});
        ASSERT_TRUE(p.waitForFinished(PatienceMs));
        const QByteArray err = p.readAllStandardError();
        EXPECT_EQ(p.exitCode(), code) << err.toStdString();
        EXPECT_TRUE(err.contains(message)) << err.toStdString();
        const QImage picture(shot);
        EXPECT_GT(picture.width(), 300);
        EXPECT_GT(picture.height(), 200);
    }
}

// Killed while autosaving, started again: the history carries on from every
// row captured before the kill.
TEST_F(ProgramRun, AKilledAutosaveRunLosesNoRowAndTheNextRunCarriesOn)
{
    const QStringList args = {"--simulate", "--autosave", "1", "--restore-journal"};
    JournalContents runs[2];
    for (JournalContents &held : runs) {
        const int rows = &held == runs ? 3 : runs[0].rowCount() + 2;
        QProcess p;
        const auto enough = [&] { return ReadJournal(journal()).rowCount() >= rows; };
        ASSERT_NO_FATAL_FAILURE(killWhen(p, SIGKILL, enough, args));
        held = ReadJournal(journal());
        ASSERT_GE(held.rowCount(), rows);
        EXPECT_FALSE(held.damaged);
    }
    // The second run restored without asking and went on numbering.
    const JournalContents &first = runs[0], &second = runs[1];
    for (int r = 0; r < second.rowCount(); ++r) {
        EXPECT_EQ(second.table->cellView(second.keep[size_t(r)], 0), std::to_string(r + 1)) << "row " << r;
        if (r < first.rowCount())
            EXPECT_EQ(second.row(r), first.row(r)) << "row " << r << " changed";
    }
    // A row per second of the simulated meter's continuous series.
    EXPECT_FALSE(second.table->cellView(second.keep.back(), 4).empty());
}

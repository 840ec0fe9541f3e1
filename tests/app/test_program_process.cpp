// The program as a user runs it, without a display: its simulated meter's
// port goes with it however it ends, and a port left by a killed run is
// never opened again.
#include "integration/PtyHelpers.h"
#include "serial/VirtualPort.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <memory>
#include <vector>

using namespace qv;

namespace {

const QString kProgram = QStringLiteral(QV_BINARY_DIR "/src/qv7xx");
constexpr int PatienceMs = 20000; // generous: the machine is shared

// Fresh settings and a fresh virtual-port folder for every test.
class ProgramRun : public ::testing::Test {
protected:
    QString ports() const { return home.filePath("ports"); }
    QString demoPort() const { return ports() + "/ttyQVdemo"; }

    void start(QProcess &p, const QStringList &args = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("QV7XX_PORT_DIR", ports());
        p.setProcessEnvironment(env);
        p.start(kProgram, args);
    }
    // Waits until the program's simulated meter is published and served.
    bool waitForDemoPort(QProcess &p)
    {
        return qvtest::waitUntil(
            [&] { return p.state() == QProcess::Running && liveVirtualPorts(ports()) == QStringList{demoPort()}; },
            PatienceMs);
    }
    QStringList folderContents() const
    {
        return QDir(ports()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
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
        start(p);
        // The first run has nothing stored; later ones have the demo port
        // stored, and it is gone (or dead): each starts a simulated meter.
        ASSERT_TRUE(waitForDemoPort(p)) << p.readAllStandardError().toStdString();
        const QString target = QFileInfo(demoPort()).symLinkTarget();
        ASSERT_EQ(::kill(pid_t(p.processId()), sig), 0);
        ASSERT_TRUE(p.waitForFinished(PatienceMs));
        if (sig != SIGKILL) {
            EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
            EXPECT_EQ(folderContents(), QStringList{});
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
    struct Case {
        QStringList link;
        const char *timeoutMs;
        int code;
        const char *message;
    };
    const Case cases[] = {
        {{"--port", home.filePath("ttyNOPE")}, "1500", 3, "is not open: Port not found"},
        {{"--port", published.path()}, "1500", 3, "no answer from a meter on"},
        {{"--simulate"}, "15000", 0, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.link.join(' ').toStdString());
        const QString shot = home.filePath("shot.png");
        QFile::remove(shot);
        QProcess p;
        start(p, c.link + QStringList{"--screenshot", shot, "--after", "100", "--timeout", c.timeoutMs});
        ASSERT_TRUE(p.waitForFinished(PatienceMs));
        const QByteArray err = p.readAllStandardError();
        EXPECT_EQ(p.exitCode(), c.code) << err.toStdString();
        EXPECT_TRUE(err.contains(c.message)) << err.toStdString();
        const QImage picture(shot);
        EXPECT_GT(picture.width(), 300);
        EXPECT_GT(picture.height(), 200);
    }
}

// The adapter pulled out and plugged back in: the simulator, as its own
// process, closes its pseudo-terminal and removes its port a few seconds in,
// then publishes the same name again. The instrument window, the monitor
// command and the program autosaving must all carry on.
#include "FaultRig.h"
#include "integration/SimProcess.h"

#include "history/Journal.h"
#include "instrument/QVMeter32.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>

#include <gtest/gtest.h>

#include <csignal>

using namespace qv;

namespace {

constexpr int VanishMs = 3000, AwayMs = 2000;
const QStringList kUnplugged = {"--fast", "--series", "--vanish-after", "3", "--return-after", "2"};

// Waits until the published entry is gone and then back; the milliseconds
// since `clock` started at which it came back (-1: it did not).
qint64 watchUnplugging(const QString &port, const QElapsedTimer &clock)
{
    const bool gone = qvtest::waitUntil([&] { return !QFileInfo::exists(port); }, VanishMs + 5000);
    const bool back = gone && qvtest::waitUntil([&] { return QFileInfo::exists(port); }, AwayMs + 5000);
    return back ? clock.elapsed() : -1;
}

} // namespace

TEST(PortReturn, TheInstrumentReportsTheLostPortAndTakesTheLinkUpAgain)
{
    qvtest::SimProcess sim(kUnplugged);
    QElapsedTimer clock;
    clock.start();
    ASSERT_FALSE(sim.path().isEmpty());
    TComm32QV::ResetSharedState();
    qvtest::FolderPorts ports(sim.folder());
    QWidget host;
    auto *window = new TQVMeter32(&host, 1, 1, qvtest::realTimePlatform(ports));
    window->setBaudRate(br009600);
    window->setPort(sim.path());
    QList<int> codes;
    QList<int> listSizes;
    qint64 lastFrame = -1;
    window->OnStatus = [&](int code, const QString &) { codes << code; };
    window->OnReceiveMeas = [&](const TDataMeasQV &m) {
        if (m.Complete)
            lastFrame = clock.elapsed();
    };
    window->comm().OnPortListChange = [&, forward = window->comm().OnPortListChange] {
        listSizes << window->comm().PortList().size();
        forward();
    };
    window->PressKey(MeterKey::Refresh);
    const qint64 backAt = watchUnplugging(sim.path(), clock);
    ASSERT_GT(backAt, 0);
    EXPECT_GT(lastFrame, 0) << "measured before the port went";
    EXPECT_TRUE(qvtest::waitUntil([&] { return lastFrame > backAt; }, 4000)) << "no measurement after the return";
    EXPECT_TRUE(codes.contains(stPortNotFound));
    EXPECT_EQ(codes.last(), stConnected);
    EXPECT_EQ(listSizes, (QList<int>{1, 2})) << "the port left the list and came back";
    EXPECT_EQ(window->portBox()->currentData().toString(), sim.path());
}

TEST(PortReturn, TheMonitorCommandTakesTheLinkUpAgain)
{
    qvtest::SimProcess sim(kUnplugged);
    ASSERT_FALSE(sim.path().isEmpty());
    QProcess monitor;
    monitor.start(QStringLiteral(QV_BINARY_DIR "/src/qv7xx-cli"),
                  {"monitor", "--port", sim.path(), "--send", "INFO", "--seconds", "9"});
    ASSERT_TRUE(monitor.waitForFinished(20000));
    EXPECT_EQ(monitor.exitCode(), 0) << monitor.readAllStandardError().toStdString();
    QStringList log;
    for (const QByteArray &line : monitor.readAllStandardOutput().split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        const QString event = o.value("event").toString();
        if (event == "OnCOMStatus")
            log << QStringLiteral("status %1").arg(o.value("code").toInt());
        else if (event == "OnReceiveMeas" && (log.isEmpty() || log.last() != "meas"))
            log << "meas";
    }
    const qsizetype lost = log.indexOf(QStringLiteral("status %1").arg(stPortNotFound));
    ASSERT_GT(lost, 0) << log.join(", ").toStdString();
    EXPECT_TRUE(log.mid(0, lost).contains("meas")) << log.join(", ").toStdString();
    EXPECT_EQ(log.mid(lost + 1).filter("status").value(0), QStringLiteral("status %1").arg(stConnected));
    EXPECT_EQ(log.last(), "meas") << log.join(", ").toStdString();
}

TEST(PortReturn, AnAutosaveRunResumesAndItsJournalHoldsEveryRow)
{
    qvtest::SimProcess sim(kUnplugged);
    QElapsedTimer clock;
    clock.start();
    ASSERT_FALSE(sim.path().isEmpty());
    QTemporaryDir home;
    const QString journal = home.filePath("data/TAMBRIX/QV-7xx/journal.qvj");
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", home.filePath("config"));
    env.insert("XDG_DATA_HOME", home.filePath("data"));
    env.insert("QV7XX_PORT_DIR", sim.folder());
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(QV_BINARY_DIR "/src/qv7xx"), {"--port", sim.path(), "--autosave", "1"});
    ASSERT_TRUE(program.waitForStarted(10000));
    ASSERT_GT(watchUnplugging(sim.path(), clock), 0);
    const int before = ReadJournal(journal).rowCount();
    EXPECT_GE(before, 1) << "captured before the port went";
    const bool resumed = qvtest::waitUntil([&] { return ReadJournal(journal).rowCount() >= before + 3; }, 8000);
    ::kill(pid_t(program.processId()), SIGKILL);
    program.waitForFinished(5000);
    ASSERT_TRUE(resumed) << program.readAllStandardError().toStdString();
    const JournalContents rows = ReadJournal(journal);
    QSet<QString> seen;
    for (int r = 0; r < rows.rowCount(); ++r) {
        const auto cell = [&](int c) { return QString::fromStdString(std::string(rows.table->cellView(rows.keep[size_t(r)], c))); };
        EXPECT_EQ(cell(0), QString::number(r + 1)) << "numbered on without a gap";
        const QString measurement = cell(2) + ' ' + cell(4);
        EXPECT_FALSE(seen.contains(measurement)) << "captured twice: " << measurement.toStdString();
        seen.insert(measurement);
    }
}

// The ports and monitor commands as a user runs them: the real executable,
// the virtual-port folder, the meter simulator as its own process.
#include "integration/SimProcess.h"
#include "serial/VirtualPort.h"
#include "support/RunProgram.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

qvtest::ProgramRun run(const QStringList &args, const QString &portDir)
{
    return qvtest::runProgram(qvtest::CliProgram, args, {}, {"QV7XX_PORT_DIR=" + portDir});
}

// A dead entry: the link and the unlocked lock file of a publisher killed outright.
void leaveDeadEntry(const QString &dir, const QString &name)
{
    ASSERT_TRUE(QFile::link("/dev/null", dir + '/' + name));
    QFile lock(dir + "/." + name + ".lock");
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
}

} // namespace

TEST(PortsCommand, ListsLiveVirtualPortsInNaturalOrder)
{
    QTemporaryDir dir;
    qv::VirtualPort published[3];
    QString error;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(published[i].publish(dir.path(), QStringList{"sim10", "sim2", "sim1"}[i], "/dev/null", error));
    leaveDeadEntry(dir.path(), "sim0");
    const qvtest::ProgramRun r = run({"ports"}, dir.path());
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QStringList ours;
    for (const QByteArray &line : r.out.split('\n'))
        if (line.startsWith(dir.path().toLocal8Bit()))
            ours << QString::fromLocal8Bit(line);
    EXPECT_EQ(ours, (QStringList{dir.filePath("sim1"), dir.filePath("sim2"), dir.filePath("sim10")}));
    EXPECT_FALSE(r.out.contains("none"));
    EXPECT_EQ(run({"ports", "extra"}, dir.path()).code, 2);
}

TEST(MonitorCommand, PrintsTheMetersAnswersUntilTheAwaitedEvent)
{
    qvtest::SimProcess sim({"--fast"});
    ASSERT_FALSE(sim.path().isEmpty());
    const qvtest::ProgramRun r = run({"monitor", "--port", sim.path(), "--send", "REFRESH",
                             "--until", "OnReceiveInfoMeter", "--seconds", "15"}, sim.folder());
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QStringList events;
    qint64 lastTime = -1;
    for (const QByteArray &line : r.out.split('\n')) {
        if (line.isEmpty())
            continue;
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        ASSERT_FALSE(o.isEmpty()) << line.toStdString();
        events << o.value("event").toString();
        ASSERT_TRUE(o.contains("t_ms")) << line.toStdString();
        EXPECT_GE(o.value("t_ms").toInteger(), lastTime);
        lastTime = o.value("t_ms").toInteger();
    }
    EXPECT_TRUE(events.contains("OnReceiveInfo"));
    EXPECT_EQ(events.last(), "OnReceiveInfoMeter"); // nothing after the awaited event
}

TEST(MonitorCommand, TypesTextIntoTheMetersEditor)
{
    qvtest::SimProcess sim({"--fast"});
    ASSERT_FALSE(sim.path().isEmpty());
    // Past the welcome screen, then MEMO, ENTER: the comment of a measurement.
    const qvtest::ProgramRun r = run({"monitor", "--port", sim.path(), "--send", "INFO,MEMO,ENTER",
                             "--type", "Lamp 7-", "--seconds", "6"}, sim.folder());
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QString text;
    for (const QByteArray &line : r.out.split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.value("event") == "OnReceiveText")
            text = o.value("Text").toString();
    }
    EXPECT_EQ(text.trimmed(), "LAMP 7-");
}

TEST(MonitorCommand, ExitCodes)
{
    qvtest::SimProcess sim({"--fast", "--off"});
    ASSERT_FALSE(sim.path().isEmpty());
    const QString dir = sim.folder();
    // A meter that is switched off never identifies itself: 3.
    EXPECT_EQ(run({"monitor", "--port", sim.path(), "--send", "IDENT", "--until",
                         "OnReceiveInfoMeter", "--seconds", "1"}, dir).code, 3);
    // Usage errors and a port that cannot be opened: 2, with a message.
    for (const QStringList &args : {QStringList{"monitor"},
                                    QStringList{"monitor", "--port", sim.path(), "--send", "JUMP"},
                                    QStringList{"monitor", "--port", sim.path(), "--baud", "1234"},
                                    QStringList{"monitor", "--port", sim.path(), "--until", "OnNothing"}}) {
        const qvtest::ProgramRun r = run(args, dir);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith("qv7xx-cli: ")) << r.err.toStdString();
    }
    leaveDeadEntry(dir, "ttyDead");
    for (const char *name : {"ttyNowhere", "ttyDead"}) {
        const qvtest::ProgramRun missing = run({"monitor", "--port", dir + '/' + name}, dir);
        EXPECT_EQ(missing.code, 2) << name;
        EXPECT_TRUE(missing.err.contains("Port not found")) << missing.err.toStdString();
    }
}

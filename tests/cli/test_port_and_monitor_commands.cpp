// The ports and monitor commands as a user runs them: the real executable,
// the virtual-port folder, the meter simulator as its own process.
#include "CliRig.h"
#include "integration/SimProcess.h"
#include "serial/VirtualPort.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using qvtest::runCli;

TEST(PortsCommand, ListsLiveVirtualPortsInNaturalOrder)
{
    QTemporaryDir dir;
    qv::VirtualPort published[3];
    const char *names[] = {"sim10", "sim2", "sim1"};
    QString error;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(published[i].publish(dir.path(), names[i], "/dev/null", error));
    // The entry of a publisher killed outright: its link and an unlocked lock file.
    ASSERT_TRUE(QFile::link("/dev/null", dir.filePath("sim0")));
    QFile lock(dir.filePath(".sim0.lock"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    const qvtest::ProgramRun r = runCli({"ports"}, dir.path());
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList ours = QString::fromLocal8Bit(r.out).split('\n').filter(dir.path());
    EXPECT_EQ(ours, (QStringList{dir.filePath("sim1"), dir.filePath("sim2"), dir.filePath("sim10")}));
}

TEST(MonitorCommand, PrintsTheMetersAnswersUntilTheAwaitedEvent)
{
    qvtest::SimProcess sim({"--fast"});
    ASSERT_FALSE(sim.path().isEmpty());
    const qvtest::ProgramRun r = runCli({"monitor", "--port", sim.path(), "--send", "REFRESH", "--until",
                                         "OnReceiveInfoMeter", "--seconds", "15"}, sim.folder());
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QStringList events;
    qint64 lastTime = 0;
    for (const QJsonObject &o : qvtest::jsonLines(r.out)) {
        events << o.value("event").toString();
        EXPECT_GE(o.value("t_ms").toInteger(-1), lastTime) << "a time on every line, in order";
        lastTime = o.value("t_ms").toInteger();
    }
    EXPECT_TRUE(events.contains("OnReceiveInfo"));
    EXPECT_EQ(events.last(), "OnReceiveInfoMeter"); // nothing after the awaited event

    // Past the welcome screen, then MEMO, ENTER: the comment of a measurement.
    const qvtest::ProgramRun typed = runCli({"monitor", "--port", sim.path(), "--send", "INFO,MEMO,ENTER",
                                             "--type", "Lamp 7-", "--seconds", "6"}, sim.folder());
    ASSERT_EQ(typed.code, 0) << typed.err.toStdString();
    QString text;
    for (const QJsonObject &o : qvtest::jsonLines(typed.out))
        if (o.value("event") == "OnReceiveText")
            text = o.value("Text").toString();
    EXPECT_EQ(text.trimmed(), "LAMP 7-");
}

TEST(MonitorCommand, AMeterThatIsSwitchedOffNeverIdentifiesItself)
{
    qvtest::SimProcess sim({"--fast", "--off"});
    ASSERT_FALSE(sim.path().isEmpty());
    EXPECT_EQ(runCli({"monitor", "--port", sim.path(), "--send", "IDENT", "--until", "OnReceiveInfoMeter",
                      "--seconds", "1"}, sim.folder()).code, 3);
}

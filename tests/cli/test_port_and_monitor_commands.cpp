// The ports and monitor commands as a user runs them: the real executable,
// the virtual-port folder, the meter simulator as its own process.
#include "serial/VirtualPort.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Outcome {
    int code = -1;
    QByteArray out, err;
};

Outcome run(const QString &program, const QStringList &args, const QTemporaryDir &portDir,
        int timeoutMs = 20000)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QV7XX_PORT_DIR", portDir.path());
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.closeWriteChannel();
    Outcome r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

const QString kCli = QStringLiteral(QV_BINARY_DIR "/src/qv7xx-cli");
const QString kSim = QStringLiteral(QV_BINARY_DIR "/sim/qv7xx-sim");

// A simulated meter publishing its port in `dir` for the life of the object.
class Simulator {
public:
    Simulator(const QTemporaryDir &dir, const QStringList &options)
    {
        m_process.start(kSim, QStringList{"--port-dir", dir.path()} + options);
        if (m_process.waitForReadyRead(5000))
            m_path = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    ~Simulator()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    const QString &path() const { return m_path; }

private:
    QProcess m_process;
    QString m_path;
};

} // namespace

// A dead entry: the link and the unlocked lock file of a publisher killed outright.
void leaveDeadEntry(const QTemporaryDir &dir, const QString &name)
{
    ASSERT_TRUE(QFile::link("/dev/null", dir.filePath(name)));
    QFile lock(dir.filePath("." + name + ".lock"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
}

TEST(PortsCommand, ListsLiveVirtualPortsInNaturalOrder)
{
    QTemporaryDir dir;
    qv::VirtualPort published[3];
    QString error;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(published[i].publish(dir.path(), QStringList{"sim10", "sim2", "sim1"}[i], "/dev/null", error));
    leaveDeadEntry(dir, "sim0");
    const Outcome r = run(kCli, {"ports"}, dir);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QStringList ours;
    for (const QByteArray &line : r.out.split('\n'))
        if (line.startsWith(dir.path().toLocal8Bit()))
            ours << QString::fromLocal8Bit(line);
    EXPECT_EQ(ours, (QStringList{dir.filePath("sim1"), dir.filePath("sim2"), dir.filePath("sim10")}));
    EXPECT_FALSE(r.out.contains("none"));
    EXPECT_EQ(run(kCli, {"ports", "extra"}, dir).code, 2);
}

TEST(MonitorCommand, PrintsTheMetersAnswersUntilTheAwaitedEvent)
{
    QTemporaryDir dir;
    Simulator sim(dir, {"--fast"});
    ASSERT_FALSE(sim.path().isEmpty());
    const Outcome r = run(kCli, {"monitor", "--port", sim.path(), "--send", "REFRESH",
                             "--until", "OnReceiveInfoMeter", "--seconds", "15"}, dir);
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
    QTemporaryDir dir;
    Simulator sim(dir, {"--fast"});
    ASSERT_FALSE(sim.path().isEmpty());
    // Past the welcome screen, then MEMO, ENTER: the comment of a measurement.
    const Outcome r = run(kCli, {"monitor", "--port", sim.path(), "--send", "INFO,MEMO,ENTER",
                             "--type", "Lamp 7-", "--seconds", "6"}, dir);
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
    QTemporaryDir dir;
    Simulator sim(dir, {"--fast", "--off"});
    ASSERT_FALSE(sim.path().isEmpty());
    // A meter that is switched off never identifies itself: 3.
    EXPECT_EQ(run(kCli, {"monitor", "--port", sim.path(), "--send", "IDENT", "--until",
                         "OnReceiveInfoMeter", "--seconds", "1"}, dir).code, 3);
    // Usage errors and a port that cannot be opened: 2, with a message.
    for (const QStringList &args : {QStringList{"monitor"},
                                    QStringList{"monitor", "--port", sim.path(), "--send", "JUMP"},
                                    QStringList{"monitor", "--port", sim.path(), "--baud", "1234"},
                                    QStringList{"monitor", "--port", sim.path(), "--until", "OnNothing"}}) {
        const Outcome r = run(kCli, args, dir);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith("qv7xx-cli: ")) << r.err.toStdString();
    }
    leaveDeadEntry(dir, "ttyDead");
    for (const char *name : {"ttyNowhere", "ttyDead"}) {
        const Outcome missing = run(kCli, {"monitor", "--port", dir.filePath(name)}, dir);
        EXPECT_EQ(missing.code, 2) << name;
        EXPECT_TRUE(missing.err.contains("Port not found")) << missing.err.toStdString();
    }
}

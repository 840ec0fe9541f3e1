// qv7xx-sim as a process: it publishes its port, answers on it at 9600 bit/s
// and takes the port away again, exiting cleanly, when told to stop.
#include "serial/SerialDevice.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

TEST(SimProcess, PublishesAnswersAndCleansUp)
{
    QTemporaryDir folder;
    QProcess sim;
    sim.start(QStringLiteral(QV_BINARY_DIR "/sim/qv7xx-sim"), {"--port-dir", folder.path()});
    ASSERT_TRUE(sim.waitForReadyRead(5000)) << "no port announced";
    const QString path = QString::fromLocal8Bit(sim.readLine()).trimmed();
    EXPECT_EQ(path, folder.filePath("ttyQV0"));
    EXPECT_TRUE(QFileInfo(path).isSymLink());

    qv::SerialDevice port;
    ASSERT_TRUE(port.open(path) && port.configure(qv::LineSettings{}, false));
    ASSERT_EQ(::write(port.fd(), "I", 1), 1);
    QByteArray frame;
    pollfd p{port.fd(), POLLIN, 0};
    char buf[64];
    while (frame.size() < 28 && ::poll(&p, 1, 5000) > 0) {
        const ssize_t n = ::read(port.fd(), buf, sizeof buf);
        if (n <= 0)
            break;
        frame.append(buf, int(n));
    }
    ASSERT_EQ(frame.size(), 28);
    EXPECT_EQ(frame.left(4), QByteArray("%%\x01I"));
    EXPECT_EQ(frame.right(2), "##");
    port.close();

    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_FALSE(QFileInfo(path).isSymLink()) << "the port is gone";
}

// Virtual ports: an entry counts only while its publisher holds its lock;
// dead entries are neither listed nor opened, and a scan removes them.
#include "serial/SerialDevice.h"
#include "serial/VirtualPort.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace qv;

namespace {

class VirtualPortFolder : public ::testing::Test {
protected:
    QString entry(const QString &name) const { return dir.path() + '/' + name; }
    QString lockOf(const QString &name) const { return dir.path() + "/." + name + ".lock"; }
    // Everything in the folder, hidden files included.
    QStringList contents() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                          QDir::Name);
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(VirtualPortFolder, APublishedPortIsListedWhileItsPublisherHoldsIt)
{
    {
        VirtualPort port;
        QString error;
        ASSERT_TRUE(port.publish(dir.path(), "ttyQV0", "/dev/null", error)) << qPrintable(error);
        EXPECT_EQ(port.path(), entry("ttyQV0"));
        EXPECT_EQ(QFileInfo(port.path()).symLinkTarget(), "/dev/null");
        EXPECT_EQ(liveVirtualPorts(dir.path()), QStringList{entry("ttyQV0")});
        EXPECT_EQ(virtualPortState(port.path()), VirtualPortState::Live);

        // A live name is not taken over.
        VirtualPort second;
        EXPECT_FALSE(second.publish(dir.path(), "ttyQV0", "/dev/zero", error));
        EXPECT_EQ(error, entry("ttyQV0") + " is in use");
        EXPECT_EQ(QFileInfo(port.path()).symLinkTarget(), "/dev/null");
        for (const QString bad : {"", "a/b", ".hidden"})
            EXPECT_FALSE(second.publish(dir.path(), bad, "/dev/zero", error)) << qPrintable(bad);
    }
    // Removed with the publisher, lock file and all.
    EXPECT_EQ(contents(), QStringList{});
}

TEST_F(VirtualPortFolder, DeadEntriesAreNeitherListedNorOpenedAndAScanRemovesThem)
{
    // A publisher killed outright leaves its link and an unlocked lock file;
    // a link of an older kind has no lock file at all. Other files are no
    // port and none of a scan's business.
    ASSERT_TRUE(QFile::link("/dev/null", entry("killed")));
    QFile lock(lockOf("killed"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();
    ASSERT_TRUE(QFile::link("/dev/null", entry("lockless")));
    QFile other(entry("notes.txt"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();
    VirtualPort live;
    QString error;
    ASSERT_TRUE(live.publish(dir.path(), "live", "/dev/null", error));

    // Whatever the folder, a lock file beside an entry marks it as one.
    EXPECT_EQ(virtualPortState(entry("killed")), VirtualPortState::Gone);
    EXPECT_EQ(virtualPortState(entry("lockless")), VirtualPortState::NotVirtual);
    EXPECT_EQ(virtualPortState("/dev/null"), VirtualPortState::NotVirtual);
    // In the program's own folder a link without a lock is a dead port.
    qputenv("QV7XX_PORT_DIR", QFile::encodeName(dir.path()));
    EXPECT_EQ(virtualPortState(entry("lockless")), VirtualPortState::Gone);
    EXPECT_EQ(virtualPortState("/dev/null"), VirtualPortState::NotVirtual);
    qunsetenv("QV7XX_PORT_DIR");
    SerialDevice device;
    EXPECT_FALSE(device.open(entry("killed")));
    EXPECT_EQ(SerialDevice::classify(device.lastError()), SerialDevice::OpenFailure::NotFound);

    EXPECT_EQ(liveVirtualPorts(dir.path()), QStringList{entry("live")});
    EXPECT_EQ(contents(), (QStringList{".live.lock", "live", "notes.txt"}));

    // The name of a dead entry is free again.
    ASSERT_TRUE(QFile::link("/dev/null", entry("killed")));
    VirtualPort again;
    ASSERT_TRUE(again.publish(dir.path(), "killed", "/dev/zero", error)) << qPrintable(error);
    EXPECT_EQ(QFileInfo(entry("killed")).symLinkTarget(), "/dev/zero");
}

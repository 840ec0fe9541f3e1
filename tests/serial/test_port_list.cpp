// The port list: natural order, resolving COMPort, rescans on device changes
// and the one-time warning about two ports of the same name.
#include "SerialTestSupport.h"

#include "serial/PortOrder.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

using namespace qv;
using Codes = std::vector<int>;

// Numbers inside names compare by value, letter case is ignored, and names
// are padded with zeros before their first digit ("AB" to "AB0", "A2" to "A02").
TEST(NaturalPortOrder, NumbersCompareByValueIgnoringCaseAndPadding)
{
    const std::pair<QStringList, QStringList> cases[] = {
        {{"COM10", "COM2", "COM1"}, {"COM1", "COM2", "COM10"}},
        {{"/dev/ttyS10", "/dev/ttyUSB0", "/dev/ttyS2"}, {"/dev/ttyS2", "/dev/ttyS10", "/dev/ttyUSB0"}},
        {{"com3", "COM2"}, {"COM2", "com3"}},
        {{"AB", "A10", "A2"}, {"A2", "A10", "AB"}},
        {{}, {}},
    };
    for (const auto &[names, sorted] : cases)
        EXPECT_EQ(naturalPortOrder(names), sorted) << names.join(' ').toStdString();
}

// The port box shows a virtual port by its name and a device by its path;
// no two entries may look alike.
TEST(PortDisplayNames, VirtualPortsByNameDevicesByPathNeverTwoAlike)
{
    const QString dir = "/run/user/1000/qv7xx-ports";
    const std::pair<QStringList, QStringList> cases[] = {
        {{"none", "/dev/ttyS0", "/dev/ttyUSB0", dir + "/ttyQVdemo"}, {"none", "/dev/ttyS0", "/dev/ttyUSB0", "ttyQVdemo"}},
        {{dir + "/", dir + "/a/b", "/tmp/other/ttyQV0"}, {dir + "/", dir + "/a/b", "/tmp/other/ttyQV0"}},
        // A virtual port named like another entry is shown whole, as is that
        // one; the folder's trailing slash does not matter.
        {{"COM1", dir + "/com1", dir + "/ttyQV0"}, {"COM1", dir + "/com1", "ttyQV0"}},
        {{}, {}},
    };
    for (const auto &[ports, shown] : cases) {
        EXPECT_EQ(portDisplayNames(ports, dir), shown) << ports.join(' ').toStdString();
        EXPECT_EQ(portDisplayNames(ports, dir + "/"), shown);
    }
}

namespace {

class PortSelection : public ::testing::Test {
protected:
    std::unique_ptr<TComm32VN> make(uint8_t language, const QStringList &names)
    {
        setup.ports.names = names;
        auto comm = std::make_unique<TComm32VN>(language, setup.platform());
        qvtest::record(*comm, log);
        return comm;
    }
    qvtest::ManualSetup setup;
    qvtest::EventLog log;
};

// /dev/null exists but is no tty: opening it fails with status 8 and keeps
// the name selected, which lets these tests hold a "present" port.
const QString Present = "/dev/null";

} // namespace

TEST_F(PortSelection, PortsFollowTheNoneEntryInNaturalOrder)
{
    auto english = make(1, {"COM10", "COM2", "COM1"});
    EXPECT_EQ(english->PortList(), (QStringList{"none", "COM1", "COM2", "COM10"}));
    EXPECT_EQ(english->PortIndex(), 0);
    EXPECT_EQ(english->COMPort(), QString("none"));
    auto polish = make(0, {"COM2"});
    EXPECT_EQ(polish->PortList(), (QStringList{QString::fromUtf8("żaden"), "COM2"}));
    setup.ports.readable = false; // an unreadable list holds only the none entry
    EXPECT_EQ(make(1, {"COM1"})->PortList(), QStringList{"none"});
}

TEST_F(PortSelection, ANameIsResolvedAgainstTheList)
{
    const QString gone = "/nonexistent-qv7xx-dir/ttyGONE0";
    const struct { QString name, comPort; int index; Codes codes; int portChanges; } cases[] = {
        // Found in any letter case, taking the list's spelling.
        {"/DEV/NULL", Present, 1, {stDisconnected, stPortError}, 1},
        // Not in the list: kept, so it is found when it comes.
        {"COM9", "COM9", 0, {stDisconnected, stPortNotFound}, 0},
        // Listed, but the device is gone: back to none.
        {gone, "none", 0, {stDisconnected, stPortNotFound}, 1},
    };
    for (const auto &c : cases) {
        log.clear();
        auto comm = make(1, {Present, "COM1", gone});
        comm->setCOMPort(c.name);
        const std::string name = c.name.toStdString();
        EXPECT_EQ(comm->COMPort(), c.comPort) << name;
        EXPECT_EQ(comm->PortIndex(), c.index) << name;
        EXPECT_EQ(log.codes(), c.codes) << name;
        EXPECT_EQ(log.portChanges, c.portChanges) << name;
        EXPECT_FALSE(comm->IsOpen()) << name;
    }
    EXPECT_EQ(log.statuses.back().second, QString("Port not found"));
}

TEST_F(PortSelection, ZeroAndNoneNamesSelectTheNoneEntryAndClose)
{
    auto comm = make(1, {Present});
    for (const char *none : {"0", "NONE", "Żaden", "ŻADEN", "none"}) {
        comm->setCOMPort(Present);
        log.clear();
        comm->setCOMPort(QString::fromUtf8(none));
        EXPECT_EQ(comm->COMPort(), QString("none")) << none;
        EXPECT_EQ(comm->PortIndex(), 0) << none;
        EXPECT_EQ(log.portChanges, 1) << none;
        ASSERT_FALSE(log.statuses.empty()) << none;
        for (int code : log.codes())
            EXPECT_EQ(code, stDisconnected) << none;
    }
}

TEST_F(PortSelection, OnlyAChangedListIsAnnouncedAndTheSelectionResolvedAgain)
{
    auto comm = make(1, {"COM1", Present});
    comm->setCOMPort(Present);
    const QStringList before = comm->PortList();
    log.clear();
    const int scans = setup.ports.scans;
    setup.ports.change({Present, "COM1"}); // same ports, other order: nothing to tell
    EXPECT_EQ(setup.ports.scans, scans + 1);
    EXPECT_EQ(comm->PortList(), before);
    EXPECT_EQ(comm->PortIndex(), 1);
    EXPECT_TRUE(log.sequence.empty());
    EXPECT_EQ(log.portListChanges + log.portChanges, 0);

    setup.ports.change({"COM1"});
    EXPECT_EQ(log.portListChanges, 1);
    EXPECT_EQ(comm->PortList(), (QStringList{"none", "COM1"}));
    EXPECT_EQ(log.codes().back(), stPortNotFound);
    EXPECT_EQ(comm->COMPort(), Present); // kept, so it is found when it returns
    EXPECT_EQ(comm->PortIndex(), 0);
    setup.ports.change({"COM1", Present});
    EXPECT_EQ(log.portListChanges, 2);
    EXPECT_EQ(comm->PortIndex(), 1);
}

// A port back in the list whose node is not there yet stays chosen; a later
// scan, even of an unchanged list, opens it once the node is there.
TEST_F(PortSelection, AReturnedPortThatDoesNotOpenYetIsTriedAgain)
{
    QTemporaryDir dir;
    const QString back = dir.filePath("ttyBACK0");
    ASSERT_TRUE(QFile::link(Present, back));
    auto comm = make(1, {back});
    comm->setCOMPort(back);
    QFile::remove(back);
    setup.ports.change({});
    setup.ports.change({back});
    EXPECT_EQ(comm->COMPort(), back);
    EXPECT_EQ(comm->PortIndex(), 1);
    EXPECT_EQ(log.codes().back(), stPortNotFound);
    ASSERT_TRUE(QFile::link(Present, back));
    setup.ports.change({back});
    EXPECT_EQ(log.codes().back(), stPortError); // opened, and found no tty
    EXPECT_EQ(comm->COMPort(), back);
}

TEST_F(PortSelection, EveryComponentOnTheSourceHearsOfDeviceChanges)
{
    auto first = make(1, {"COM1"});
    auto second = make(0, {"COM1"});
    setup.ports.change({"COM1", "COM2"});
    EXPECT_EQ(first->PortList().size(), 3);
    EXPECT_EQ(second->PortList().size(), 3);
    EXPECT_EQ(log.portListChanges, 2);
    second.reset(); // a destroyed component is no longer told
    setup.ports.change({"COM3"});
    EXPECT_EQ(first->PortList(), (QStringList{"none", "COM3"}));
}

TEST_F(PortSelection, AScanRequestedDuringAScanRunsAfterIt)
{
    auto first = make(1, {"COM1"});
    std::unique_ptr<TComm32VN> second;
    int secondListSizeAtBirth = -1;
    first->OnPortListChange = [&] { // a component created from a scan's event
        second = std::make_unique<TComm32VN>(1, setup.platform());
        secondListSizeAtBirth = int(second->PortList().size());
    };
    setup.ports.change({"COM1", "COM2"});
    EXPECT_EQ(secondListSizeAtBirth, 1); // not scanned yet: only the none entry
    qvtest::processPostedEvents();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->PortList(), (QStringList{"none", "COM1", "COM2"}));
}

TEST_F(PortSelection, TwoPortsOfOneNameAreWarnedAboutOnceWhileTheyStay)
{
    std::vector<QString> warnings;
    TComm32VN::setWarningHandler([&](const QString &text, int flags) {
        EXPECT_EQ(flags, 0x30); // exclamation icon, OK button
        warnings.push_back(text);
    });
    auto comm = make(1, {Present, "COM1", Present});
    qvtest::processPostedEvents();
    EXPECT_TRUE(warnings.empty()); // not selected: no warning
    comm->setCOMPort(Present);
    EXPECT_TRUE(warnings.empty()); // posted, shown later
    qvtest::processPostedEvents();
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_TRUE(warnings[0].contains("two /dev/null serial ports")) << qPrintable(warnings[0]);
    setup.ports.change({Present, Present, "COM1"});
    comm->setCOMPort("COM1");
    comm->setCOMPort(Present);
    qvtest::processPostedEvents();
    EXPECT_EQ(warnings.size(), 1u);

    // Gone and back: it may be warned about again.
    setup.ports.change({"COM1"});
    setup.ports.change({Present, Present});
    qvtest::processPostedEvents();
    EXPECT_EQ(warnings.size(), 2u);
    setup.ports.change({}); // forgets the ports warned about
    TComm32VN::setWarningHandler(nullptr);
}

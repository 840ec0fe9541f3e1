// A simulator killed outright leaves its link behind, and the kernel hands
// the link's pseudo-terminal to the next program that asks for one. The
// dead entry must be neither listed nor opened: the program would send meter
// commands into someone else's terminal.
#include "SimProcess.h"
#include "serial/SerialTestSupport.h"

#include "serial/SerialDevice.h"
#include "serial/VirtualPort.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>
#include <vector>

using namespace qv;
using qvtest::PseudoTerminal;

TEST(DeadPublisher, ItsPortIsNeitherListedNorOpenedWhenItsTerminalIsReused)
{
    qvtest::SimProcess sim({"--fast"});
    ASSERT_FALSE(sim.path().isEmpty()) << "the simulator did not start";
    const QString target = QFileInfo(sim.path()).symLinkTarget();
    ASSERT_TRUE(target.startsWith("/dev/pts/")) << qPrintable(target);
    ASSERT_EQ(liveVirtualPorts(sim.folder()), QStringList{sim.path()});
    // A component on the system's port list, as the program has it.
    qputenv("QV7XX_PORT_DIR", QFile::encodeName(sim.folder()));
    TComm32VN listing(1);
    ASSERT_TRUE(listing.PortList().contains(sim.path()));

    sim.killOutright();
    // The lowest free number goes first: asking a few times gets the dead
    // simulator's unless another program took it meanwhile.
    std::vector<std::unique_ptr<PseudoTerminal>> taken;
    while (taken.size() < 32 && (taken.empty() || taken.back()->slavePath() != target))
        taken.push_back(std::make_unique<PseudoTerminal>());
    PseudoTerminal &reused = *taken.back();
    ASSERT_EQ(reused.slavePath(), target) << "the dead simulator's terminal was not handed out again";
    ASSERT_TRUE(QFileInfo(sim.path()).isSymLink());
    ASSERT_TRUE(QFileInfo::exists(sim.path())) << "the stale link leads to the new terminal";

    // Not opened, neither by the tty layer nor by the component given its name.
    EXPECT_EQ(virtualPortState(sim.path()), VirtualPortState::Gone);
    SerialDevice device;
    EXPECT_FALSE(device.open(sim.path()));
    EXPECT_EQ(SerialDevice::classify(device.lastError()), SerialDevice::OpenFailure::NotFound);
    qvtest::ListedPorts listed{{sim.path()}};
    qvtest::TestComm comm{1, qvtest::realTimePlatform(listed)};
    comm.setCOMPort(sim.path());
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_EQ(comm.LastStatus(), stPortNotFound);
    comm.Transmit(QByteArray("I"), false);
    EXPECT_EQ(reused.read(1, 200), QByteArray());

    // Its old pseudo-terminal went from /dev/pts: the list drops the entry
    // without being asked, and the scan takes the entry away.
    EXPECT_TRUE(qvtest::waitUntil([&] { return !listing.PortList().contains(sim.path()); }, 5000));
    EXPECT_EQ(liveVirtualPorts(sim.folder()), QStringList{});
    struct stat st;
    EXPECT_NE(::lstat(QFile::encodeName(sim.path()).constData(), &st), 0);
}

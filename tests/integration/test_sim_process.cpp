// The program's components against the meter simulator running as its own
// process on a pseudo-terminal, in real time: a line at another rate than the
// meter's, and a simulator killed outright whose terminal the kernel hands to
// the next program that asks for one. (Series, typing and downloads over a
// real line are in the command-line tests.)
#include "SimProcess.h"
#include "serial/SerialTestSupport.h"

#include "protocol/TComm32QV.h"
#include "serial/VirtualPort.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>
#include <vector>

using namespace qv;
using namespace qvtest;

TEST(MeterEndToEnd, AtTheWrongRateTheConnectionIsLost)
{
    SimProcess sim({"--fast", "--baud", "4800"});
    ASSERT_FALSE(sim.path().isEmpty());
    ListedPorts ports({sim.path()});
    TComm32QV::ResetSharedState();
    TComm32QV comm(1, realTimePlatform(ports));
    int infos = 0;
    QStringList statuses;
    comm.OnReceiveInfo = [&](const TDataInfoQV &) { ++infos; };
    comm.OnCOMStatus = [&](int code, const QString &text) {
        statuses << QStringLiteral("%1 %2").arg(code).arg(text);
    };
    comm.setFixedRespTime(800);
    comm.setCOMPort(sim.path());
    comm.SendKey(kcI);
    ASSERT_TRUE(waitUntil([&] { return statuses.contains("2 Communication lost"); }, 5000));
    EXPECT_EQ(infos, 0);

    // The same meter answers once the program's line matches its rate.
    comm.setBaudRate(br004800);
    comm.SendKey(kcI);
    EXPECT_TRUE(waitUntil([&] { return infos > 0; }, 5000));
}

// The dead entry must be neither listed nor opened: the program would send
// meter commands into someone else's terminal.
TEST(DeadPublisher, ItsPortIsNeitherListedNorOpenedWhenItsTerminalIsReused)
{
    SimProcess sim({"--fast"});
    ASSERT_FALSE(sim.path().isEmpty()) << "the simulator did not start";
    const QString target = QFileInfo(sim.path()).symLinkTarget();
    ASSERT_TRUE(target.startsWith("/dev/pts/")) << qPrintable(target);
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
    ASSERT_TRUE(QFileInfo::exists(sim.path())) << "the stale link leads to the new terminal";

    ListedPorts listed{{sim.path()}};
    TestComm comm{1, realTimePlatform(listed)};
    comm.setCOMPort(sim.path());
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_EQ(comm.LastStatus(), stPortNotFound);
    comm.Transmit(QByteArray("I"), false);
    EXPECT_EQ(reused.read(1, 200), QByteArray());

    // Its old pseudo-terminal went from /dev/pts: the list drops the entry
    // without being asked, and the scan takes the entry away.
    EXPECT_TRUE(waitUntil([&] { return !listing.PortList().contains(sim.path()); }, 5000));
    EXPECT_EQ(liveVirtualPorts(sim.folder()), QStringList{});
    struct stat st;
    EXPECT_NE(::lstat(QFile::encodeName(sim.path()).constData(), &st), 0);
}

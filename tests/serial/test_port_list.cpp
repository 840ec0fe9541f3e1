// The port list: natural order, resolving COMPort, rescans on device changes
// and the one-time warning about two ports of the same name.
#include "SerialTestSupport.h"

#include "serial/PortOrder.h"

#include <gtest/gtest.h>

using namespace qv;

TEST(NaturalPortOrder, NumbersInsideNamesCompareByValue)
{
    EXPECT_EQ(naturalPortOrder({"COM10", "COM2", "COM1"}), (QStringList{"COM1", "COM2", "COM10"}));
    EXPECT_EQ(naturalPortOrder({"/dev/ttyS10", "/dev/ttyUSB0", "/dev/ttyS2"}),
              (QStringList{"/dev/ttyS2", "/dev/ttyS10", "/dev/ttyUSB0"}));
}

TEST(NaturalPortOrder, LetterCaseIsIgnoredAndNamesWithoutDigitsArePaddedAtTheEnd)
{
    EXPECT_EQ(naturalPortOrder({"com3", "COM2"}), (QStringList{"COM2", "com3"}));
    // "AB" pads to "AB0", "A2" to "A02".
    EXPECT_EQ(naturalPortOrder({"AB", "A10", "A2"}), (QStringList{"A2", "A10", "AB"}));
    EXPECT_EQ(naturalPortOrder({}), QStringList{});
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
}

TEST_F(PortSelection, AnUnreadableListHoldsOnlyTheNoneEntry)
{
    setup.ports.readable = false;
    auto comm = make(1, {"COM1"});
    EXPECT_EQ(comm->PortList(), QStringList{"none"});
}

TEST_F(PortSelection, ANameIsFoundInAnyLetterCaseAndTakesTheListSpelling)
{
    auto comm = make(1, {Present, "COM1"});
    comm->setCOMPort("/DEV/NULL");
    EXPECT_EQ(comm->COMPort(), Present);
    EXPECT_EQ(comm->PortIndex(), 1);
    EXPECT_EQ(log.codes(), (std::vector<int>{stDisconnected, stPortError}));
    EXPECT_FALSE(comm->LastErrorHint().isEmpty());
    EXPECT_EQ(log.portChanges, 1);
}

TEST_F(PortSelection, ZeroAndNoneNamesSelectTheNoneEntryAndClose)
{
    auto comm = make(1, {Present});
    comm->setCOMPort(Present);
    log.clear();
    comm->setCOMPort("0");
    EXPECT_EQ(comm->COMPort(), QString("none"));
    EXPECT_EQ(comm->PortIndex(), 0);
    EXPECT_FALSE(comm->IsOpen());
    EXPECT_EQ(log.portChanges, 1);
    ASSERT_FALSE(log.statuses.empty());
    for (int code : log.codes())
        EXPECT_EQ(code, stDisconnected);

    for (const char *none : {"NONE", "Żaden", "ŻADEN", "none"}) {
        comm->setCOMPort(Present);
        comm->setCOMPort(QString::fromUtf8(none));
        EXPECT_EQ(comm->COMPort(), QString("none")) << none;
        EXPECT_EQ(comm->PortIndex(), 0) << none;
    }
}

TEST_F(PortSelection, ANameNotInTheListReportsPortNotFound)
{
    auto comm = make(1, {"COM1"});
    comm->setCOMPort("COM9");
    EXPECT_EQ(log.codes(), (std::vector<int>{stDisconnected, stPortNotFound}));
    EXPECT_EQ(log.statuses.back().second, QString("Port not found"));
    EXPECT_EQ(comm->COMPort(), QString("COM9"));
    EXPECT_EQ(comm->PortIndex(), 0);
    EXPECT_EQ(log.portChanges, 0);
}

TEST_F(PortSelection, AListedDeviceThatIsGoneRevertsToNone)
{
    const QString gone = "/nonexistent-qv7xx-dir/ttyGONE0";
    auto comm = make(1, {gone});
    comm->setCOMPort(gone);
    EXPECT_EQ(log.codes().back(), stPortNotFound);
    EXPECT_EQ(comm->COMPort(), QString("none"));
    EXPECT_EQ(comm->PortIndex(), 0);
    EXPECT_EQ(comm->OpenedPort(), gone);
}

TEST_F(PortSelection, AScanFindingTheSameListChangesNothing)
{
    auto comm = make(1, {"COM1", Present});
    comm->setCOMPort(Present);
    const QStringList before = comm->PortList();
    log.clear();
    const int scans = setup.ports.scans;
    setup.ports.change({Present, "COM1"}); // same ports, other order
    EXPECT_EQ(setup.ports.scans, scans + 1);
    EXPECT_EQ(comm->PortList(), before);
    EXPECT_EQ(comm->COMPort(), Present);
    EXPECT_EQ(comm->PortIndex(), 1);
    EXPECT_TRUE(log.sequence.empty());
    EXPECT_EQ(log.portListChanges, 0);
    EXPECT_EQ(log.portChanges, 0);
}

TEST_F(PortSelection, AChangedListIsAnnouncedAndTheSelectionResolvedAgain)
{
    auto comm = make(1, {Present, "COM1"});
    comm->setCOMPort(Present);
    log.clear();

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
    first->OnPortListChange = [&] {
        // A component created from a scan's event asks for its own scan.
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
    std::vector<std::pair<QString, int>> warnings;
    TComm32VN::setWarningHandler([&](const QString &text, int flags) { warnings.emplace_back(text, flags); });

    auto comm = make(1, {Present, "COM1", Present});
    qvtest::processPostedEvents();
    EXPECT_TRUE(warnings.empty()); // not selected: no warning

    comm->setCOMPort(Present);
    EXPECT_TRUE(warnings.empty()); // posted, shown later
    qvtest::processPostedEvents();
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].first,
              QString("WARNING\r\nThere are two /dev/null serial ports in the system.\r\n"
                      "Program may work incorrectly."));
    EXPECT_EQ(warnings[0].second, 0x30);

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

    setup.ports.change({});
    TComm32VN::setWarningHandler(nullptr);
}

TEST_F(PortSelection, TheDuplicateWarningSpeaksTheComponentsLanguage)
{
    std::vector<QString> warnings;
    TComm32VN::setWarningHandler([&](const QString &text, int) { warnings.push_back(text); });
    const QString zero = "/dev/zero";
    auto comm = make(0, {zero, zero});
    comm->setCOMPort(zero);
    qvtest::processPostedEvents();
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0], QString::fromUtf8("UWAGA\r\nW systemie istnieją dwa porty /dev/zero.\r\n"
                                             "Program może działać nieprawidłowo."));
    setup.ports.change({});
    TComm32VN::setWarningHandler(nullptr);
}

// Defaults and the setter rules: which settings reopen the port and which
// only store their value.
#include "SerialTestSupport.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

class Settings : public ::testing::Test {
protected:
    void SetUp() override { qvtest::record(comm, log); }

    qvtest::ManualSetup setup;
    qvtest::TestComm comm{1, setup.platform()};
    qvtest::EventLog log;
};

// With no port selected a reopen shows as Close's status 1 and then Open's
// (which, with no port, closes again).
const std::vector<int> Reopened = {stDisconnected, stDisconnected};

} // namespace

TEST_F(Settings, DefaultsAfterConstruction)
{
    EXPECT_EQ(comm.BaudRate(), br009600);
    EXPECT_EQ(comm.Parity(), pbNone);
    EXPECT_EQ(comm.DataBits(), dbEight);
    EXPECT_EQ(comm.StopBits(), sbOne);
    EXPECT_EQ(comm.TimeOut(), 50);
    EXPECT_EQ(comm.MaxRespTime(), 250u);
    EXPECT_EQ(comm.FixedRespTime(), 0u);
    EXPECT_EQ(comm.SizeBufTXD(), 1024);
    EXPECT_EQ(comm.SizeBufRXD(), 1024);
    EXPECT_TRUE(comm.StatusONifReceive);
    EXPECT_TRUE(comm.WaitToResponse);
    EXPECT_FALSE(comm.SoundOnError);
    EXPECT_FALSE(comm.DTRCtrlEnable() || comm.DTRCtrlHandshake() || comm.RTSCtrlEnable()
                 || comm.RTSCtrlHandshake() || comm.RTSCtrlToggle() || comm.FlowDTR_DSR()
                 || comm.FlowRTS_CTS() || comm.RTSState() || comm.DTRState());
    EXPECT_EQ(comm.LastStatus(), stDisconnected);
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_FALSE(comm.ReadyToSend());
    EXPECT_EQ(comm.HoldTime(), 0u);
    EXPECT_FALSE(comm.ResponseTimer().enabled());
    EXPECT_EQ(comm.ResponseTimer().interval(), 100);
}

TEST_F(Settings, LineAndBufferSettersAlwaysReopen)
{
    comm.setBaudRate(br001200);
    EXPECT_EQ(log.codes(), Reopened);
    comm.setBaudRate(br001200); // the same value reopens too
    comm.setParity(pbMark);
    comm.setDataBits(dbSeven);
    comm.setStopBits(sbTwo);
    comm.setSizeBufTXD(64);
    comm.setSizeBufRXD(128);
    EXPECT_EQ(log.statuses.size(), 7 * Reopened.size());
    const LineSettings line = comm.lineSettings();
    EXPECT_EQ(line.baudRate, br001200);
    EXPECT_EQ(line.parity, pbMark);
    EXPECT_EQ(line.dataBits, dbSeven);
    EXPECT_EQ(line.stopBits, sbTwo);
    EXPECT_EQ(comm.SizeBufTXD(), 64);
    EXPECT_EQ(comm.SizeBufRXD(), 128);

    log.clear();
    comm.Loaded();
    EXPECT_EQ(log.codes(), Reopened);
}

TEST_F(Settings, HandshakeFlagsReopenOnlyWhenTheyChange)
{
    using Getter = bool (TComm32VN::*)() const;
    using Setter = void (TComm32VN::*)(bool);
    const std::pair<Getter, Setter> flags[] = {
        {&TComm32VN::DTRCtrlEnable, &TComm32VN::setDTRCtrlEnable},
        {&TComm32VN::DTRCtrlHandshake, &TComm32VN::setDTRCtrlHandshake},
        {&TComm32VN::RTSCtrlEnable, &TComm32VN::setRTSCtrlEnable},
        {&TComm32VN::RTSCtrlHandshake, &TComm32VN::setRTSCtrlHandshake},
        {&TComm32VN::RTSCtrlToggle, &TComm32VN::setRTSCtrlToggle},
        {&TComm32VN::FlowDTR_DSR, &TComm32VN::setFlowDTR_DSR},
        {&TComm32VN::FlowRTS_CTS, &TComm32VN::setFlowRTS_CTS},
    };
    for (const auto &[get, set] : flags) {
        log.clear();
        (comm.*set)(false);
        EXPECT_TRUE(log.statuses.empty());
        (comm.*set)(true);
        EXPECT_TRUE((comm.*get)());
        EXPECT_EQ(log.codes(), Reopened);
        (comm.*set)(true);
        EXPECT_EQ(log.codes(), Reopened);
    }
    EXPECT_TRUE(comm.lineSettings().flowRtsCts);
    EXPECT_TRUE(comm.lineSettings().flowDtrDsr);
}

TEST_F(Settings, PlainSettingsOnlyStoreTheirValue)
{
    comm.setTimeOut(75);
    comm.setMaxRespTime(900);
    comm.setFixedRespTime(1234);
    comm.setRTSState(true);
    comm.setDTRState(true);
    EXPECT_TRUE(log.statuses.empty());
    EXPECT_EQ(comm.TimeOut(), 75);
    EXPECT_EQ(comm.MaxRespTime(), 900u);
    EXPECT_EQ(comm.FixedRespTime(), 1234u);
    EXPECT_TRUE(comm.RTSState());
    EXPECT_TRUE(comm.DTRState());
}

TEST_F(Settings, ADetachedComponentStaysOpenWhileSettingsChange)
{
    comm.OpenDetached();
    EXPECT_TRUE(log.statuses.empty()); // no status of its own
    EXPECT_EQ(comm.LastStatus(), stConnected);
    comm.setBaudRate(br002400);
    comm.setFlowRTS_CTS(true);
    comm.setSizeBufRXD(100);
    EXPECT_TRUE(comm.IsOpen());
    EXPECT_TRUE(log.statuses.empty());
    // The open line is the one it was detached with.
    EXPECT_EQ(comm.TransmitTime(96), 100u);
    comm.Close();
    EXPECT_EQ(log.codes(), std::vector<int>{stDisconnected});
}

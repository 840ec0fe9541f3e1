// The settings: line timing arithmetic, the rate table, the none names, the
// defaults, and which setters reopen the port.
#include "SerialTestSupport.h"

#include "serial/LineSettings.h"

#include <gtest/gtest.h>

#include <functional>

using namespace qv;

namespace {

LineSettings line(TBaudRate rate, TDataBits data, TParityBit parity, TStopBits stop)
{
    LineSettings s;
    s.baudRate = rate;
    s.dataBits = data;
    s.parity = parity;
    s.stopBits = stop;
    return s;
}

} // namespace

// Bytes a second count start, parity and stop bits, and only the data bits of
// each character as payload; times and byte counts round to the nearest.
TEST(LineTiming, BytesPerSecondTransmitTimeAndItsInverse)
{
    // `bytes` take `takeMs`; `ms` carry `carry` bytes.
    struct Case { const char *name; LineSettings line; int perSecond; uint32_t bytes, takeMs, ms, carry; };
    const Case cases[] = {
        {"9600 8N1", LineSettings{}, 960, 96, 100, 75, 72},
        {"9600 8N1 rounds up", LineSettings{}, 960, 1025, 1068, 1000, 960},
        {"nothing to send", LineSettings{}, 960, 0, 0, 0, 0},
        {"9600 7E1", line(br009600, dbSeven, pbEven, sbOne), 840, 84, 100, 1000, 840},
        {"300 8N2", line(br000300, dbEight, pbNone, sbTwo), 27, 1, 37, 500, 14},
        {"9600 5N1.5", line(br009600, dbFive, pbNone, sbOnePointFive), 800, 8, 10, 10, 8},
        {"14400 8O1", line(br014400, dbEight, pbOdd, sbOne), 1309, 1309, 1000, 1000, 1309},
        {"115200 8N1", line(br115200, dbEight, pbNone, sbOne), 11520, 576, 50, 50, 576},
        {"921600 8N1", line(br921600, dbEight, pbNone, sbOne), 92160, 9216, 100, 100, 9216},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(bytesPerSecond(c.line), c.perSecond) << c.name;
        EXPECT_EQ(transmitTimeMs(c.line, c.bytes), c.takeMs) << c.name;
        EXPECT_EQ(bytesInTime(c.line, c.ms), c.carry) << c.name;
    }
}

TEST(LineTables, EveryRateMapsBackToItsEnumeration)
{
    for (int i = 0; i < BaudRateCount; ++i) {
        TBaudRate found = br000300;
        ASSERT_TRUE(baudRateFromValue(BaudRateValues[i], found));
        EXPECT_EQ(found, i);
    }
    TBaudRate untouched = br019200;
    EXPECT_FALSE(baudRateFromValue(9601, untouched));
    EXPECT_EQ(untouched, br019200);
    for (const char *name : {"NONE", "ŻADEN", "Żaden"})
        EXPECT_TRUE(isNoneName(QString::fromUtf8(name))) << name;
    for (const char *name : {"", "0", "nones", "zaden"})
        EXPECT_FALSE(isNoneName(QString::fromUtf8(name))) << name;
}

// Defaults that no behaviour elsewhere shows; the rest show in the timing,
// pacing and pseudo-terminal tests.
TEST(ComponentSettings, LineBufferAndHandshakeSettersReopenTheOthersOnlyStore)
{
    qvtest::ManualSetup setup;
    TComm32VN comm(1, setup.platform());
    EXPECT_EQ(comm.SizeBufTXD(), 1024);
    EXPECT_FALSE(comm.SoundOnError || comm.RTSState() || comm.DTRState());
    qvtest::EventLog log;
    qvtest::record(comm, log);

    // With no port selected a reopen shows as Close's status 1 and then
    // Open's (which, with no port, closes again).
    const std::vector<int> reopened = {stDisconnected, stDisconnected}, stored;
    using Flag = std::pair<bool (TComm32VN::*)() const, void (TComm32VN::*)(bool)>;
    const Flag flags[] = {
        {&TComm32VN::DTRCtrlEnable, &TComm32VN::setDTRCtrlEnable},
        {&TComm32VN::DTRCtrlHandshake, &TComm32VN::setDTRCtrlHandshake},
        {&TComm32VN::RTSCtrlEnable, &TComm32VN::setRTSCtrlEnable},
        {&TComm32VN::RTSCtrlHandshake, &TComm32VN::setRTSCtrlHandshake},
        {&TComm32VN::RTSCtrlToggle, &TComm32VN::setRTSCtrlToggle},
        {&TComm32VN::FlowDTR_DSR, &TComm32VN::setFlowDTR_DSR},
        {&TComm32VN::FlowRTS_CTS, &TComm32VN::setFlowRTS_CTS},
    };
    const struct { const char *name; std::function<void()> set; std::vector<int> statuses; } cases[] = {
        {"BaudRate", [&] { comm.setBaudRate(br001200); }, reopened},
        {"the same BaudRate", [&] { comm.setBaudRate(br001200); }, reopened},
        {"Parity", [&] { comm.setParity(pbMark); }, reopened},
        {"DataBits", [&] { comm.setDataBits(dbSeven); }, reopened},
        {"StopBits", [&] { comm.setStopBits(sbTwo); }, reopened},
        {"SizeBufTXD", [&] { comm.setSizeBufTXD(64); }, reopened},
        {"SizeBufRXD", [&] { comm.setSizeBufRXD(128); }, reopened},
        {"Loaded", [&] { comm.Loaded(); }, reopened},
        {"TimeOut", [&] { comm.setTimeOut(75); }, stored},
        {"MaxRespTime", [&] { comm.setMaxRespTime(900); }, stored},
        {"FixedRespTime", [&] { comm.setFixedRespTime(1234); }, stored},
        {"RTSState", [&] { comm.setRTSState(true); }, stored},
        {"DTRState", [&] { comm.setDTRState(true); }, stored},
    };
    for (const auto &c : cases) {
        log.clear();
        c.set();
        EXPECT_EQ(log.codes(), c.statuses) << c.name;
    }
    for (size_t i = 0; i < std::size(flags); ++i) { // these reopen only on a change
        const auto [get, set] = flags[i];
        log.clear();
        (comm.*set)(false);
        EXPECT_TRUE(log.statuses.empty()) << "flag " << i;
        (comm.*set)(true);
        (comm.*set)(true);
        EXPECT_TRUE((comm.*get)()) << "flag " << i;
        EXPECT_EQ(log.codes(), reopened) << "flag " << i;
    }
    EXPECT_EQ(comm.SizeBufTXD(), 64);
    EXPECT_TRUE(comm.RTSState() && comm.DTRState());
}

// Closed, the component reckons with 9600 8N1; open, with the line it was
// opened with. Detached, setters that would reopen only store their value.
TEST(ComponentSettings, TimingFollowsTheOpenLineAndADetachedComponentStaysOpen)
{
    qvtest::ManualSetup setup;
    TComm32VN comm(1, setup.platform());
    qvtest::EventLog log;
    qvtest::record(comm, log);
    comm.setBaudRate(br001200);
    EXPECT_EQ(comm.TransmitTime(96), 100u);
    EXPECT_EQ(comm.BytesInTime(75), 72u);
    log.clear();
    comm.OpenDetached();
    EXPECT_EQ(comm.LastStatus(), stConnected); // without a status of its own
    EXPECT_EQ(comm.TransmitTime(12), 100u); // 1200 8N1: 120 bytes/s
    EXPECT_EQ(comm.BytesInTime(1000), 120u);
    comm.setBaudRate(br002400);
    comm.setFlowRTS_CTS(true);
    comm.setSizeBufRXD(100);
    EXPECT_TRUE(comm.IsOpen());
    EXPECT_TRUE(log.statuses.empty());
    EXPECT_EQ(comm.TransmitTime(12), 100u);
    comm.Close();
    EXPECT_EQ(log.codes(), std::vector<int>{stDisconnected});
}

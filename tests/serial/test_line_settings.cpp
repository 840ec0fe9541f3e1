// Line timing arithmetic, the display tables and the link's texts.
#include "SerialTestSupport.h"

#include "serial/LineSettings.h"

#include <gtest/gtest.h>

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

TEST(LineTiming, BytesPerSecondCountsStartParityAndStopBits)
{
    EXPECT_EQ(bytesPerSecond(LineSettings{}), 960);                                   // 9600 8N1
    EXPECT_EQ(bytesPerSecond(line(br009600, dbSeven, pbEven, sbOne)), 840);          // 10 bits, 7 of data
    EXPECT_EQ(bytesPerSecond(line(br000300, dbEight, pbNone, sbTwo)), 27);           // 300/11
    EXPECT_EQ(bytesPerSecond(line(br009600, dbFive, pbNone, sbOnePointFive)), 800);  // 7.5 bits
    EXPECT_EQ(bytesPerSecond(line(br014400, dbEight, pbOdd, sbOne)), 1309);          // 14400/11
    EXPECT_EQ(bytesPerSecond(line(br921600, dbEight, pbNone, sbOne)), 92160);
}

TEST(LineTiming, TransmitTimeAndItsInverse)
{
    const LineSettings s9600;
    EXPECT_EQ(transmitTimeMs(s9600, 96), 100u);
    EXPECT_EQ(transmitTimeMs(s9600, 1025), 1068u); // 1067.7 rounds up
    EXPECT_EQ(transmitTimeMs(s9600, 0), 0u);
    EXPECT_EQ(bytesInTime(s9600, 75), 72u);         // the receive margin's base
    EXPECT_EQ(bytesInTime(s9600, 1000), 960u);

    const LineSettings slow = line(br000300, dbEight, pbNone, sbTwo);
    EXPECT_EQ(transmitTimeMs(slow, 1), 37u);        // 1000/27
    EXPECT_EQ(transmitTimeMs(slow, 27), 1000u);
    EXPECT_EQ(bytesInTime(slow, 500), 14u);         // 13.5 rounds up

    const LineSettings fast = line(br115200, dbEight, pbNone, sbOne);
    EXPECT_EQ(bytesInTime(fast, 50), 576u);
    EXPECT_EQ(transmitTimeMs(fast, 576), 50u);
}

TEST(LineTiming, ComponentAssumes9600WhileClosedAndUsesItsLineWhenOpen)
{
    qvtest::ManualSetup setup;
    TComm32VN comm(1, setup.platform());
    comm.setBaudRate(br001200);
    EXPECT_EQ(comm.TransmitTime(96), 100u); // closed: 9600 8N1
    EXPECT_EQ(comm.BytesInTime(75), 72u);
    comm.OpenDetached();
    EXPECT_EQ(comm.TransmitTime(12), 100u); // 1200 8N1: 120 bytes/s
    EXPECT_EQ(comm.BytesInTime(1000), 120u);
}

TEST(LineTables, EveryRateMapsBackToItsEnumeration)
{
    for (int i = 0; i < BaudRateCount; ++i) {
        TBaudRate found = br000300;
        ASSERT_TRUE(baudRateFromValue(BaudRateValues[i], found));
        EXPECT_EQ(found, i);
        EXPECT_EQ(QString(BaudRateNames[i]), QString(BaudRateNumbers[i]) + "bps");
    }
    EXPECT_EQ(BaudRateValues[br014400], 14400u);
    TBaudRate untouched = br019200;
    EXPECT_FALSE(baudRateFromValue(9601, untouched));
    EXPECT_EQ(untouched, br019200);
}

TEST(LinkTexts, StatusTextsInBothLanguages)
{
    const char *polish[] = {"Połączony", "Rozłączony", "Brak komunikacji", "Błąd ramki danych",
                            "Błąd transmisji danych", "Błędne dane", "Zajęty",
                            "Nie znaleziono portu", "Błąd portu COM"};
    const char *english[] = {"Connected", "Disconnected", "Communication lost", "Data frame error",
                             "Communication error", "Data error", "Busy", "Port not found",
                             "Port COM error"};
    for (int code = 0; code <= 8; ++code) {
        EXPECT_EQ(statusText(code, 0), QString::fromUtf8(polish[code])) << code;
        EXPECT_EQ(statusText(code, 1), QString::fromUtf8(english[code])) << code;
    }
    EXPECT_TRUE(statusText(9, 1).isEmpty());
    EXPECT_TRUE(statusText(-1, 0).isEmpty());
}

TEST(LinkTexts, NoneNamesOfEitherLanguageInAnyCase)
{
    EXPECT_EQ(noneName(0), QString::fromUtf8("żaden"));
    EXPECT_EQ(noneName(1), QString("none"));
    for (const char *name : {"none", "NONE", "None", "żaden", "ŻADEN", "Żaden"})
        EXPECT_TRUE(isNoneName(QString::fromUtf8(name))) << name;
    for (const char *name : {"", "0", "nones", "zaden", "COM1"})
        EXPECT_FALSE(isNoneName(QString::fromUtf8(name))) << name;
}

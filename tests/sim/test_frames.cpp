// The byte layouts the meter sends and its calendar clock.
#include "engine/frames.h"
#include "engine/meterclock.h"

#include "SimHarness.h"

#include <gtest/gtest.h>

using namespace qvsim;

TEST(SimFrames, StatusBlockLandsOnItsOffsets)
{
    StatusBlock st;
    st.key1 = 'S';
    st.key2 = 'D';
    st.status = StContinuous | StAutoRange | StNoProbe | StEnglishTable;
    st.probeCode = 35;
    st.rangeCount = 4;
    st.rangeIndex = 2;
    st.decades = 1;
    st.attachment = 3;
    st.unitRow = 1;
    st.converter = 17;
    st.exponent0 = 37;
    st.screen = 2531;
    st.memoryWord = 511 << 6;
    st.battery = 0x80 | 100;
    st.autosaveCode = 7;
    st.autoOffCode = 3;
    st.baudIndex = 5;
    st.clock = toBcd(DateTime{2009, 12, 31, 23, 59, 30});
    const Bytes f = statusFrame(st);
    ASSERT_EQ(f.size(), 28u);
    EXPECT_EQ(std::string(f.begin(), f.begin() + 3), std::string("%%\x01", 3));
    EXPECT_EQ(f[3], 'S');
    EXPECT_EQ(f[4], 'D');
    EXPECT_EQ(f[5], 0x12);           // continuous, autorange
    EXPECT_EQ(f[6], 0x81);           // no probe, English table
    EXPECT_EQ(f[7], 35);
    EXPECT_EQ(f[8], 0x42);
    EXPECT_EQ(f[9], 0x31);
    EXPECT_EQ(f[10], (1 << 5) | 17);
    EXPECT_EQ(f[11], 37);
    EXPECT_EQ(f[12] | f[13] << 8, 2531);
    EXPECT_EQ((f[14] | f[15] << 8) >> 6, 511);
    EXPECT_EQ(f[16], 0x80 | 100);
    EXPECT_EQ(f[17], 7);
    EXPECT_EQ(f[18], 3);
    EXPECT_EQ(f[19], 5);
    const uint8_t clock[6] = {0x30, 0x59, 0x23, 0x31, 0x12, 0x09};
    EXPECT_TRUE(std::equal(clock, clock + 6, f.begin() + 20));
    EXPECT_EQ(f[26], '#');
    EXPECT_EQ(f[27], '#');
}

TEST(SimFrames, MeasurementModeBytes)
{
    MeasurementBlock m;
    m.value = 523.5f;
    m.exponent = 43;
    m.limitCode = 7;
    m.setSeries(12, 6000.0f, 480.0f, 530.0f);
    simtest::Frame f{measurementFrame(StatusBlock(), m)};
    ASSERT_EQ(f.b.size(), 50u);
    EXPECT_FLOAT_EQ(f.value(), 523.5f);
    EXPECT_EQ(f.exponent(), 43);
    EXPECT_EQ(f.limitCode(), 7);
    EXPECT_EQ(f.u32(32), 12u);
    EXPECT_FLOAT_EQ(f.f32(36), 6000.0f);
    EXPECT_FLOAT_EQ(f.f32(40), 480.0f);
    EXPECT_FLOAT_EQ(f.f32(44), 530.0f);

    // Relative: a multiplier byte, the reference at 33, the per cent at 37.
    m.setRelative(1, 250.0f, 209.4f);
    f = simtest::Frame{measurementFrame(StatusBlock(), m)};
    EXPECT_EQ(f.b[32], 1);
    EXPECT_FLOAT_EQ(f.f32(33), 250.0f);
    EXPECT_FLOAT_EQ(f.f32(37), 209.4f);
}

TEST(SimFrames, IdentificationAreaAndSize)
{
    Identification id;
    id.permissions[0] = 9;
    id.permissions[1] = 5;
    id.permissions[23] = 2;
    id.calibration = 8388607;
    simtest::Frame f{identificationFrame(StatusBlock(), 4 + 63 * 3, id)};
    ASSERT_EQ(f.b.size(), 106u);
    EXPECT_EQ(f.u32(26), 193u);
    const std::string a(f.b.begin() + 30, f.b.begin() + 100);  // A[1] is frame byte 30
    EXPECT_EQ(a.substr(0, 17), "09-11-23 10:42:17");
    EXPECT_EQ(a.substr(17, 4), "2.13");
    EXPECT_EQ(a[23], '9');   // A[24]: slot 0
    EXPECT_EQ(a[25], '5');   // A[26]: slot 1
    EXPECT_EQ(a[27], '0');
    EXPECT_EQ(a[69], '2');   // A[70]: slot 23
    EXPECT_EQ(int32_t(f.u32(100)), 8388607);
}

TEST(SimFrames, CellIsARecordFrameWithoutItsHead)
{
    StatusBlock st;
    st.probeCode = 10;
    st.screen = 0;
    MeasurementBlock m;
    m.value = 12.5f;
    std::array<uint8_t, 16> comment;
    comment.fill(' ');
    comment[0] = 'X';
    const Cell c = makeCell(st, m, comment);
    // Cell byte j holds what offset j + 3 of a 66-byte frame holds.
    const Bytes f = cellFrame(FrameRecordView, c, st);
    ASSERT_EQ(f.size(), 66u);
    EXPECT_TRUE(std::equal(c.begin(), c.end(), f.begin() + 3));
    EXPECT_EQ(f[48], 'X');

    const Bytes block = memoryBlock({c, c});
    ASSERT_EQ(block.size(), 4u + 2 * 63);
    EXPECT_EQ(block[0], '!');
    EXPECT_EQ(block[1], '!');
    EXPECT_EQ(block[block.size() - 2], '!');
    EXPECT_EQ(block[block.size() - 1], '!');
    EXPECT_TRUE(std::equal(c.begin(), c.end(), block.begin() + 2 + 63));
}

TEST(SimClock, CalendarRoundTripsAcrossLeapYears)
{
    for (const DateTime &t : {DateTime{2000, 1, 1, 0, 0, 0}, DateTime{2024, 2, 29, 12, 0, 1},
                              DateTime{2023, 12, 31, 23, 59, 59}, DateTime{2099, 12, 31, 23, 59, 59}}) {
        EXPECT_TRUE(fromSeconds(toSeconds(t)) == t) << dateText(t) << " " << timeText(t);
    }
    EXPECT_EQ(toSeconds(DateTime{2000, 3, 1, 0, 0, 0}) - toSeconds(DateTime{2000, 2, 28, 0, 0, 0}), 2 * 86400);
    EXPECT_EQ(toSeconds(DateTime{2100 - 1, 3, 1, 0, 0, 0}) - toSeconds(DateTime{2099, 2, 28, 0, 0, 0}), 86400);
}

TEST(SimClock, DateAndTimeFieldsParse)
{
    DateTime t{2024, 1, 1, 8, 0, 0};
    EXPECT_TRUE(parseDateText("29.02.24", t));
    EXPECT_EQ(t.day, 29);
    EXPECT_EQ(t.hour, 8);  // the time part stays
    EXPECT_FALSE(parseDateText("29.02.23", t));
    EXPECT_FALSE(parseDateText("31.04.24", t));
    EXPECT_FALSE(parseDateText("00.01.24", t));
    EXPECT_FALSE(parseDateText("1.1.24", t));
    EXPECT_TRUE(parseTimeText("23:59:59", t));
    EXPECT_FALSE(parseTimeText("24:00:00", t));
    EXPECT_FALSE(parseTimeText("12:60:00", t));
    EXPECT_EQ(dateText(t), "29.02.24");
    EXPECT_EQ(timeText(t), "23:59:59");
}

TEST(SimClock, RunsWithTheEngineClock)
{
    MeterClock c;
    c.set(DateTime{2024, 12, 31, 23, 59, 58}, 1000);
    EXPECT_EQ(c.at(2999).second, 59);
    const DateTime next = c.at(3000);
    EXPECT_TRUE((next == DateTime{2025, 1, 1, 0, 0, 0}));
}

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
    // Offset and value: no probe and the English table in byte 6, continuous
    // and autorange in 5; the range count and index, the decades and the
    // attachment, the unit row and converter share bytes; the clock is BCD.
    const std::pair<size_t, int> bytes[] = {
        {0, '%'}, {1, '%'}, {2, 0x01}, {3, 'S'}, {4, 'D'}, {5, 0x12}, {6, 0x81}, {7, 35}, {8, 0x42},
        {9, 0x31}, {10, (1 << 5) | 17}, {11, 37}, {12, 2531 & 0xFF}, {13, 2531 >> 8}, {14, 0xC0},
        {15, 0x7F}, {16, 0x80 | 100}, {17, 7}, {18, 3}, {19, 5}, {20, 0x30}, {21, 0x59}, {22, 0x23},
        {23, 0x31}, {24, 0x12}, {25, 0x09}, {26, '#'}, {27, '#'}};
    for (const auto &[at, value] : bytes)
        EXPECT_EQ(f[at], value) << "byte " << at;
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
    // A[24], A[26], A[28]: slots 0 to 2; A[70]: slot 23.
    EXPECT_EQ(std::string({a[23], a[25], a[27], a[69]}), "9502");
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

TEST(SimClock, DateAndTimeFieldsParseAndRunWithTheEngineClock)
{
    DateTime t{2024, 1, 1, 8, 0, 0};
    EXPECT_TRUE(parseDateText("29.02.24", t));
    EXPECT_EQ(t.day, 29);
    EXPECT_EQ(t.hour, 8);  // the time part stays
    for (const char *bad : {"29.02.23", "31.04.24", "00.01.24", "1.1.24"})
        EXPECT_FALSE(parseDateText(bad, t)) << bad;
    EXPECT_TRUE(parseTimeText("23:59:59", t));
    for (const char *bad : {"24:00:00", "12:60:00"})
        EXPECT_FALSE(parseTimeText(bad, t)) << bad;
    EXPECT_EQ(dateText(t), "29.02.24");  // refused texts changed nothing
    EXPECT_EQ(timeText(t), "23:59:59");

    MeterClock c;
    c.set(DateTime{2024, 12, 31, 23, 59, 58}, 1000);
    EXPECT_EQ(c.at(2999).second, 59);
    EXPECT_TRUE((c.at(3000) == DateTime{2025, 1, 1, 0, 0, 0}));
}

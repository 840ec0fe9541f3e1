// The simulator's faults themselves: each comes as asked for, and a seed
// repeats it exactly.
#include "engine/engine.h"
#include "engine/keys.h"
#include "engine/linefaults.h"

#include <gtest/gtest.h>

#include <bitset>
#include <cmath>

using namespace qvsim;

TEST(SimulatedFaults, TheLineSpoilsBytesAtTheAskedRatesAndTheSeedRepeatsIt)
{
    const Bytes clean(200000, 0x55);
    const std::pair<double, double> rates[] = {{1e-3, 0.0}, {0.0, 1e-3}, {0.05, 0.02}};
    for (const auto &[noise, drop] : rates) {
        SCOPED_TRACE(testing::Message() << "noise " << noise << " drop " << drop);
        auto spoil = [&, noise = noise, drop = drop](uint32_t seed, Bytes &bytes) {
            LineFaults line(noise, drop, seed);
            bytes = clean;
            line.apply(bytes);
            return line;
        };
        Bytes a, again, other;
        const LineFaults line = spoil(7, a);
        const double n = double(clean.size());
        // Five standard deviations of a binomial count.
        EXPECT_NEAR(double(line.dropped), n * drop, 5 * std::sqrt(n * drop) + 1);
        EXPECT_NEAR(double(line.flipped), n * noise, 5 * std::sqrt(n * noise) + 1);
        ASSERT_EQ(a.size(), clean.size() - line.dropped);
        uint64_t oneBitOff = 0;
        for (uint8_t b : a) {
            ASSERT_LE(std::bitset<8>(b ^ 0x55).count(), 1u);
            oneBitOff += b != 0x55;
        }
        EXPECT_EQ(oneBitOff, line.flipped);
        spoil(7, again);
        spoil(8, other);
        EXPECT_EQ(again, a);
        EXPECT_NE(other, a);
    }
}

TEST(SimulatedFaults, ASilentMeterStopsAnsweringAtItsTime)
{
    MeterConfig config;
    config.silentAfterMs = 3000;
    MeterEngine meter(config);
    meter.setProgramRate(9600);
    const std::pair<uint32_t, bool> moments[] = {{2000, true}, {2999, true}, {3000, false}, {60000, false}};
    for (const auto &[at, answers] : moments) {
        meter.advance(at - uint32_t(meter.now()));
        meter.takeOutput();
        meter.receive(std::string(1, char(CmdInfo)));
        EXPECT_EQ(!meter.takeOutput().empty(), answers) << "at " << at << " ms";
    }
}

// What the meter sends for a memory download, from the announcement on.
Bytes downloadMemory(uint32_t seed, bool offDuringMemory)
{
    MeterConfig config;
    config.cells = 40;
    config.seed = seed;
    config.offDuringMemory = offDuringMemory;
    MeterEngine meter(config);
    meter.setProgramRate(9600);
    meter.advance(2000);
    for (uint8_t key : {KeyMemo, KeyUp, KeyEnter}) {
        meter.receive(&key, 1);
        meter.advance(100);
    }
    meter.takeOutput();
    const uint8_t enter = KeyEnter;
    meter.receive(&enter, 1);
    Bytes out;
    for (Bytes part; !(part = meter.takeOutput(100)).empty();)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

TEST(SimulatedFaults, TheMeterSwitchesOffSomewhereInItsFirstMemoryBlock)
{
    const Bytes offMarker = markerFrame(FramePowerOff);
    std::vector<size_t> cuts;
    for (uint32_t seed : {1u, 2u, 3u}) {
        const Bytes whole = downloadMemory(seed, false);
        const Bytes cut = downloadMemory(seed, true);
        ASSERT_GT(cut.size(), offMarker.size());
        ASSERT_LT(cut.size(), whole.size() * 9 / 10) << "seed " << seed;
        EXPECT_TRUE(std::equal(offMarker.begin(), offMarker.end(), cut.end() - long(offMarker.size())));
        EXPECT_TRUE(std::equal(cut.begin(), cut.end() - long(offMarker.size()), whole.begin()));
        EXPECT_EQ(downloadMemory(seed, true), cut);
        cuts.push_back(cut.size());
    }
    EXPECT_NE(cuts[0], cuts[1]);
    EXPECT_NE(cuts[1], cuts[2]);
}

// The meter search's logic on a manual clock: the first phase of same-rate
// retries, the rate steps, the re-polls, failed ports, the result list and
// how the search ends.
#include "SearchBench.h"

#include "meter/MeterSearch.h"

#include <gtest/gtest.h>

using namespace qv;
using namespace qvtest;

using Outcome = MeterSearch::Outcome;

class MeterSearchTest : public ::testing::Test, protected SearchBench {};

TEST_F(MeterSearchTest, MeterAnsweringOnlyAt1200IsFoundAfterThePhaseAndThreeRateSteps)
{
    meterOn("COM1", 1200);
    auto search = makeSearch({"none", "COM1"});
    ASSERT_EQ(search->PortCount(), 1) << "the no-port entry is skipped";
    uint32_t foundAt = 0;
    search->OnMeterFound = [&](const MeterSearch::Result &) { foundAt = elapsed(); };

    search->Start();
    run(9990);
    EXPECT_EQ(search->PortState(0), 2) << "still at the first rate during the phase";
    const auto &polls = lines["COM1"].polls;
    ASSERT_GE(polls.size(), 4u) << "a silent port is polled again during the phase";
    for (const Poll &p : polls)
        EXPECT_EQ(p.rate, br009600);

    runUntil([&] { return search->Finished(); }, 10000);
    ASSERT_TRUE(search->Finished());
    EXPECT_GT(foundAt, 10000u);
    EXPECT_LT(foundAt, 14000u);
    // The rates tried after the phase, in order, each at least once.
    std::vector<TBaudRate> tried;
    for (const Poll &p : polls) {
        if (p.at >= 10000 && (tried.empty() || tried.back() != p.rate))
            tried.push_back(p.rate);
    }
    EXPECT_EQ(tried, (std::vector<TBaudRate>{br009600, br004800, br002400, br001200}));
    EXPECT_EQ(search->PortState(0), br001200 + 6);
    EXPECT_EQ(outcomes, std::vector<Outcome>{Outcome::OneMeter});
    EXPECT_EQ(search->SelectedPort(0), "COM1");
    EXPECT_EQ(search->SelectedBaudName(0), "1200bps");
    EXPECT_FALSE(search->Probe(0).IsOpen()) << "probe ports are closed when the search ends";
}

TEST_F(MeterSearchTest, BusyPortFailsAtOnceAndSilentPortAfterEveryRate)
{
    busy("COM2");
    silent("COM3");
    auto search = makeSearch({"none", "COM2", "COM3"});

    search->Start();
    EXPECT_EQ(search->Failed(), 1);
    EXPECT_EQ(search->PortState(0), br009600 + 6) << "busy at the rate it was opened with";
    EXPECT_EQ(search->PortState(1), 2);

    const uint32_t took = runUntil([&] { return search->Finished(); }, 30000);
    EXPECT_EQ(search->PortState(1), MeterSearch::StateSilent);
    EXPECT_EQ(search->Failed(), 2);
    EXPECT_EQ(search->Found(), 0);
    EXPECT_GT(took, 10000u);
    EXPECT_LT(took, 15000u);
    EXPECT_EQ(outcomes, std::vector<Outcome>{Outcome::NoMeter});
    EXPECT_TRUE(search->ResultItems().isEmpty());
    EXPECT_EQ(search->SelectedPort(-1), "none");
    EXPECT_EQ(search->SelectedBaudName(-1), "9600bps") << "the first step's rate without a choice";
}

TEST_F(MeterSearchTest, PortsStillProbingArePolledEvery5SecondsAfterThePhase)
{
    silent("COM5");
    // A long answer time keeps the port at its rate well past the phase.
    onOpen = [](TComm32QV &comm, const QString &) { comm.setMaxRespTime(8000); };
    auto search = makeSearch({"none", "COM5"});
    search->Start();
    run(16000);
    std::vector<uint32_t> after;
    for (const Poll &p : lines["COM5"].polls) {
        if (p.at >= 10000 && p.at <= 16000 && p.rate == br009600)
            after.push_back(p.at);
    }
    EXPECT_EQ(after, (std::vector<uint32_t>{10000, 15000}));
    EXPECT_EQ(search->PortState(0), 2);
}

TEST_F(MeterSearchTest, TwelveMetersArePaddedToTwoDigits)
{
    QStringList ports{"none"};
    for (int n = 1; n <= 12; ++n) {
        ports << QStringLiteral("COM%1").arg(n);
        meterOn(ports.last(), 9600);
    }
    auto search = makeSearch(ports, SearchTiming(), 0);
    search->Start();
    runUntil([&] { return search->Finished(); }, 5000);
    const QStringList items = search->ResultItems();
    ASSERT_EQ(items.size(), 12);
    EXPECT_EQ(items.first(), "Miernik 01 dołączony do portu COM1");
    EXPECT_EQ(items[1], "Miernik 02 dołączony do portu COM10") << "ordered by the port names as text";
    EXPECT_EQ(items.last(), "Miernik 12 dołączony do portu COM9");
    EXPECT_EQ(search->InfoText(), "Znaleziono 12 mierników.\r\nTrwa wyszukiwanie innych mierników...");
}

TEST_F(MeterSearchTest, StopEndsTheSearchWithWhatWasFound)
{
    meterOn("COM1", 9600);
    silent("COM2");
    auto search = makeSearch({"none", "COM1", "COM2"});
    search->Start();
    run(1000);
    ASSERT_EQ(search->Found(), 1);
    EXPECT_FALSE(search->Finished()) << "COM2 is still being probed";

    search->Stop();
    EXPECT_TRUE(search->Stopped());
    EXPECT_EQ(outcomes, std::vector<Outcome>{Outcome::OneMeter});
    EXPECT_FALSE(search->Probe(1).IsOpen());
    const size_t polls = lines["COM2"].polls.size();
    run(20000);
    EXPECT_EQ(lines["COM2"].polls.size(), polls) << "nothing is sent after the end";
    EXPECT_EQ(search->PortState(1), 2);
    search->Stop();
    EXPECT_EQ(outcomes.size(), 1u) << "a second STOP changes nothing";
}

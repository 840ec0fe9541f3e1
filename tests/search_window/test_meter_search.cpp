// The meter search's logic on a manual clock: the first phase of same-rate
// retries, the rate steps, the re-polls, failed ports, the result list and
// how the search ends; its count texts and numbered result items.
#include "SearchBench.h"

#include "meter/MeterSearch.h"
#include "meter/MeterSearchTexts.h"
#include "support/GoldenText.h"

#include <gtest/gtest.h>

using namespace qv;
using namespace qvtest;

using Outcome = MeterSearch::Outcome;

class MeterSearchTest : public ::testing::Test, protected SearchBench {
protected:
    // Starts a search over the lines set up, lets it run to its end or for `ms`, and
    // lists what happened: when meters were found, each port's polls
    // (ms@rate), its state, the outcome, the results and the choice offered.
    QString runSearch(const char *name, const QStringList &ports, uint32_t ms, uint8_t language = 1)
    {
        TComm32QV::ResetSharedState();
        origin = clock.ticks();
        outcomes.clear();
        auto search = makeSearch(ports, SearchTiming(), language);
        QString listing = QStringLiteral("== %1: %2 ports to probe\n").arg(name).arg(search->PortCount());
        search->OnMeterFound = [&](const MeterSearch::Result &r) {
            listing += QStringLiteral("found at %1 ms: %2\n").arg(elapsed()).arg(r.port);
        };
        search->Start();
        listing += QStringLiteral("failed at once: %1\n").arg(search->Failed());
        runUntil([&] { return search->Finished(); }, ms);
        for (int i = 0; i < search->PortCount(); ++i) {
            listing += QStringLiteral("%1: state %2%3, polls").arg(search->PortName(i))
                           .arg(search->PortState(i)).arg(search->Probe(i).IsOpen() ? ", open" : "");
            for (const Poll &p : lines[search->PortName(i)].polls)
                listing += QStringLiteral(" %1@%2").arg(p.at).arg(BaudRateNames[p.rate]);
            listing += '\n';
        }
        const int choice = search->Found() ? 0 : -1;
        listing += QStringLiteral("finished %1 at %2 ms, outcome %3, found %4, failed %5: %6\n"
                                  "%7\nchoice %8 %9\n")
                       .arg(search->Finished()).arg(elapsed())
                       .arg(outcomes.empty() ? -1 : int(outcomes.back()))
                       .arg(search->Found()).arg(search->Failed()).arg(search->ResultItems().join(" / "))
                       .arg(QString(search->InfoText()).replace("\r\n", "\\r\\n"))
                       .arg(search->SelectedPort(choice), search->SelectedBaudName(choice));
        search.reset();
        lines.clear();   // the next search's lines are new
        return listing;
    }
};

// A meter answering only at 1200 bit/s is found after the first phase (10 s
// of polls at the first rate) and three rate steps; a port held by another
// program fails at once, a silent one after every rate; a port still probing
// after the phase (its answer time is long) is polled every 5 s; twelve
// meters are numbered with two digits, ordered by their port names as text.
TEST_F(MeterSearchTest, SearchesMatchTheGoldenListing)
{
    QString listing;
    meterOn("COM1", 1200);
    listing += runSearch("a meter at 1200 bit/s", {"none", "COM1"}, 20000);
    busy("COM2");
    silent("COM3");
    listing += runSearch("a busy port and a silent one", {"none", "COM2", "COM3"}, 30000);
    silent("COM5");
    onOpen = [](TComm32QV &comm, const QString &) { comm.setMaxRespTime(8000); };
    listing += runSearch("a silent port with a long answer time, for 16 s", {"none", "COM5"}, 16000);
    onOpen = nullptr;
    QStringList twelve{"none"};
    for (int n = 1; n <= 12; ++n) {
        twelve << QStringLiteral("COM%1").arg(n);
        meterOn(twelve.last(), 9600);
    }
    listing += runSearch("twelve meters, Polish", twelve, 5000, 0);
    expectGoldenText(QStringLiteral("search_window/meter-search.txt"), listing);
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

TEST(SearchTexts, CountFollowsEachLanguagesPluralRules)
{
    EXPECT_EQ(searchtext::countText(1, 1), "1 meter found.");
    for (int n : {2, 11, 21})
        EXPECT_EQ(searchtext::countText(1, n), QStringLiteral("%1 meters found.").arg(n)) << n;
    const std::pair<int, const char *> cases[] = {
        {1, "miernik"},    {2, "mierniki"},   {3, "mierniki"},   {4, "mierniki"},
        {5, "mierników"},  {11, "mierników"}, {12, "mierników"}, {14, "mierników"},
        {20, "mierników"}, {21, "mierników"}, {22, "mierniki"},  {24, "mierniki"},
        {25, "mierników"}, {100, "mierników"}, {101, "mierników"}, {103, "mierniki"},
        {112, "mierników"}, {122, "mierniki"},
    };
    for (const auto &[n, word] : cases) {
        EXPECT_EQ(searchtext::countText(0, n),
                  QStringLiteral("Znaleziono %1 %2.").arg(n).arg(QString::fromUtf8(word)))
            << n;
    }
}

TEST(SearchTexts, ResultItemsArePaddedToTheWidthOfTheCount)
{
    EXPECT_EQ(searchtext::resultItem(1, 2, 2, "/dev/ttyS1"), "Meter 2 on port /dev/ttyS1");
    EXPECT_EQ(searchtext::resultItem(0, 7, 100, "COM7"), "Miernik 007 dołączony do portu COM7");
}

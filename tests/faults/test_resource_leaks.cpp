// A port opened and closed a thousand times, the meter search started and
// stopped a hundred times: afterwards the process holds the descriptors and
// threads it had before, and its resident memory has hardly grown.
#include "integration/PtyHelpers.h"

#include "meter/MeterSearch.h"
#include "protocol/TComm32QV.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>
#include <vector>

using namespace qv;

namespace {

struct Usage {
    qsizetype fds, threads;
    long rssKb;
};

Usage usage()
{
    const auto entries = [](const char *dir) {
        return QDir(dir).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size();
    };
    QFile statm("/proc/self/statm");
    long pages = 0, resident = 0;
    if (statm.open(QIODevice::ReadOnly))
        std::sscanf(statm.readAll().constData(), "%ld %ld", &pages, &resident);
    return Usage{entries("/proc/self/fd"), entries("/proc/self/task"), resident * (::sysconf(_SC_PAGESIZE) / 1024)};
}

// The usage once the threads a last write started have ended: two readings
// 50 ms apart that agree (at most 2 s).
Usage usageAtRest()
{
    Usage last = usage();
    for (int i = 0; i < 40; ++i) {
        QCoreApplication::processEvents();
        ::usleep(50000);
        const Usage now = usage();
        if (now.fds == last.fds && now.threads == last.threads)
            return now;
        last = now;
    }
    return last;
}

// Runs `cycle` a few times to settle caches and pools, then `times` times;
// what it costs.
template <class F>
void expectNoLeak(int times, F cycle)
{
    for (int i = 0; i < 10; ++i)
        cycle();
    const Usage before = usageAtRest();
    for (int i = 0; i < times; ++i)
        cycle();
    const Usage after = usageAtRest();
    EXPECT_EQ(after.fds, before.fds);
    EXPECT_EQ(after.threads, before.threads);
    EXPECT_LT(after.rssKb - before.rssKb, 1024);
}

} // namespace

TEST(ResourceLeaks, OpeningAndClosingAPortAThousandTimes)
{
    qvtest::PseudoTerminal pty;
    ASSERT_TRUE(pty.valid());
    qvtest::ListedPorts ports({pty.slavePath()});
    TComm32QV comm(1, qvtest::realTimePlatform(ports));
    comm.setCOMPort(pty.slavePath());
    ASSERT_TRUE(comm.IsOpen());
    expectNoLeak(1000, [&] {
        comm.Close();
        ASSERT_TRUE(comm.Open());
        comm.SendKey(kcI);
        QCoreApplication::processEvents();
    });
}

TEST(ResourceLeaks, StartingAndStoppingTheMeterSearchAHundredTimes)
{
    std::vector<std::unique_ptr<qvtest::PseudoTerminal>> ptys(3);
    QStringList ports;
    for (auto &pty : ptys) {
        pty = std::make_unique<qvtest::PseudoTerminal>();
        ports << pty->slavePath();
    }
    qvtest::ListedPorts listed(ports);
    expectNoLeak(100, [&] {
        MeterSearch search(1, ports, qvtest::realTimePlatform(listed));
        search.Start();
        qvtest::runEventLoopFor(5);
        search.Stop();
    });
}

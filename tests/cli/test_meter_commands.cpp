// find, log and memory as a user runs them over a shell: the real
// executable, meter simulators as processes of their own publishing their
// ports in a folder of the test, files opened afterwards as the program
// opens them.
#include "CliRig.h"
#include "integration/SimProcess.h"

#include "files/DataFileReader.h"
#include "history/HistoryStore.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <optional>

using qvtest::Cli;
using qvtest::SimProcess;

namespace {

// The times of a log's rows as the program opens the file; every row's
// label must be its number (1, 2, ... in order).
std::vector<std::string> loggedRows(const QString &path)
{
    const qv::TextWidths widths = qv::TextWidths::fixed(1);
    qv::HistoryStore store(widths);
    EXPECT_EQ(qv::ReadHistoryFile(path, store).status, qv::FileReadResult::Opened);
    std::vector<std::string> times;
    for (int r = 0; r < store.HistRows(); ++r) {
        EXPECT_EQ(std::string(store.hist().cellView(r, qv::hc::Label)), std::to_string(r + 1));
        times.emplace_back(store.hist().cellView(r, qv::hc::Time));
    }
    return times;
}

int seconds(const std::string &t)
{
    return std::stoi(t.substr(0, 2)) * 3600 + std::stoi(t.substr(3, 2)) * 60 + std::stoi(t.substr(6, 2));
}

} // namespace

TEST(FindCommand, FindsTwoMetersAtTheirRatesAndSaysWhenThereIsNone)
{
    QTemporaryDir dir;
    {
        SimProcess fast({"--port-dir", dir.path(), "--name", "ttyQV0", "--fast"});
        SimProcess slow({"--port-dir", dir.path(), "--name", "ttyQV1", "--baud", "4800", "--model", "k700",
                         "--fast"});
        ASSERT_FALSE(fast.path().isEmpty());
        ASSERT_FALSE(slow.path().isEmpty());
        Cli find(dir.path(), {"find", "--json"});
        ASSERT_EQ(find.finish(), 0) << find.err.constData();
        // Each meter on a JSON line, in the order of the port list.
        EXPECT_EQ(QString::fromUtf8(find.out).replace(dir.path(), "DIR"),
                  QString(R"({"baud":9600,"firmware":"2.13","model":"QV-700","port":"DIR/ttyQV0",)"
                          R"("probe":"Z.BLH-700","serial":null})" "\n"
                          R"({"baud":4800,"firmware":"2.13","model":"K-700","port":"DIR/ttyQV1",)"
                          R"("probe":"Z.K-700","serial":null})" "\n"));
    }
    Cli none(dir.path(), {"find", "--seconds", "3"});
    EXPECT_EQ(none.finish(), 3);
    EXPECT_TRUE(none.out.isEmpty());
}

TEST(LogCommand, TheIntervalGivesTheRowsOfTheAutosaveRuleAndStopsTheSeriesItStarted)
{
    QTemporaryDir dir;
    SimProcess meter({"--port-dir", dir.path(), "--continuous"});
    ASSERT_FALSE(meter.path().isEmpty());
    const QString file = dir.filePath("log.txt");
    Cli log(dir.path(),
            {"log", "--port", meter.path(), "--interval", "1", "--start", "--seconds", "5", "--out", file});
    ASSERT_EQ(log.finish(), 0) << log.err.constData();
    const std::vector<std::string> rows = loggedRows(file);
    // Two measurements a second, a row on each point of a 1 s grid: 3 to 5
    // rows in the 5 s (the series starts after a look at the meter), as
    // many seconds apart on the meter's clock (a row may come half a second
    // late when its point falls between two measurements).
    ASSERT_GE(rows.size(), 3u);
    EXPECT_LE(rows.size(), 5u);
    const int span = seconds(rows.back()) - seconds(rows.front());
    EXPECT_GE(span, int(rows.size()) - 2);
    EXPECT_LE(span, int(rows.size()));
    EXPECT_TRUE(log.err.contains(QByteArray::number(qlonglong(rows.size())) + " rows logged into"))
        << log.err.constData();
    // The series it started is over: the meter sends nothing by itself.
    Cli monitor(dir.path(), {"monitor", "--port", meter.path(), "--seconds", "2"});
    ASSERT_EQ(monitor.finish(), 0);
    EXPECT_FALSE(monitor.out.contains("OnReceiveMeas")) << monitor.out.constData();
}

TEST(LogCommand, AKilledLogLeavesAWholeFileThatTheNextOneContinues)
{
    QTemporaryDir dir;
    SimProcess meter({"--port-dir", dir.path(), "--continuous"});
    ASSERT_FALSE(meter.path().isEmpty());
    const QString file = dir.filePath("log.txt");
    Cli first(dir.path(), {"log", "--port", meter.path(), "--start", "--out", file});
    QThread::msleep(5000);
    // Every row on the disk so far is whole and in the file.
    const qint64 sizeBefore = QFileInfo(file).size();
    first.signal(SIGKILL);
    EXPECT_EQ(first.finish(), -1);
    const size_t killed = loggedRows(file).size();
    EXPECT_GE(killed, 4u);
    EXPECT_GE(QFileInfo(file).size(), sizeBefore);

    // The next log appends after the last row, numbering on; SIGTERM ends it with a summary.
    Cli second(dir.path(), {"log", "--port", meter.path(), "--out", file});
    QThread::msleep(2500);
    second.signal(SIGTERM);
    EXPECT_EQ(second.finish(), 0);
    EXPECT_TRUE(second.err.contains("stopped by SIGTERM")) << second.err.constData();
    EXPECT_GT(loggedRows(file).size(), killed);

    // A file of another kind is refused and left as it was.
    const QString csv = dir.filePath("log.csv");
    Cli makeCsv(dir.path(), {"log", "--port", meter.path(), "--csv", "--seconds", "1", "--out", csv});
    EXPECT_EQ(makeCsv.finish(), 0);
    const QByteArray csvBytes = qvtest::fileBytes(csv);
    Cli refused(dir.path(), {"log", "--port", meter.path(), "--seconds", "1", "--out", csv});
    EXPECT_EQ(refused.finish(), 2);
    EXPECT_EQ(qvtest::fileBytes(csv), csvBytes);
}

TEST(LogCommand, APortThatVanishesAndReturnsIsReportedAndLoggingGoesOn)
{
    QTemporaryDir dir;
    const QStringList options = {"--port-dir", dir.path(), "--series"};
    std::optional<SimProcess> meter(std::in_place, options);
    const QString path = meter->path();
    ASSERT_FALSE(path.isEmpty());
    const QString file = dir.filePath("log.txt");
    Cli log(dir.path(), {"log", "--port", path, "--seconds", "14", "--out", file});
    QThread::msleep(3000);
    meter.reset();   // the simulator ends: its port is gone
    QThread::msleep(5000);
    const size_t before = loggedRows(file).size();
    meter.emplace(options);   // back on the same path
    ASSERT_EQ(meter->path(), path);
    EXPECT_EQ(log.finish(), 0) << log.err.constData();
    EXPECT_GE(before, 4u);
    EXPECT_TRUE(log.err.contains("Communication lost") || log.err.contains("Port not found"))
        << log.err.constData();
    EXPECT_TRUE(log.err.contains("the meter answers again")) << log.err.constData();
    EXPECT_GT(loggedRows(file).size(), before);
}

TEST(MemoryCommand, DownloadsFromTheWelcomeScreenAndFromAMenu)
{
    QTemporaryDir dir;
    SimProcess meter({"--port-dir", dir.path(), "--cells", "512", "--welcome", "--fast"});
    ASSERT_FALSE(meter.path().isEmpty());
    const QString file = dir.filePath("memory.txt");
    Cli memory(dir.path(), {"memory", "--port", meter.path(), "--out", file});
    ASSERT_EQ(memory.finish(), 0) << memory.err.constData();
    const qv::MemoryReadResult read = qv::ReadMemoryFile(file);
    EXPECT_EQ(read.status, qv::FileReadResult::Opened);
    EXPECT_EQ(read.lines, 512);
    EXPECT_TRUE(memory.err.contains("512/512 cells")) << memory.err.constData();

    Cli menu(dir.path(), {"monitor", "--port", meter.path(), "--send", "SET,DOWN,DOWN", "--seconds", "1"});
    ASSERT_EQ(menu.finish(), 0);
    const QString csv = dir.filePath("memory.csv");
    Cli quiet(dir.path(), {"memory", "--port", meter.path(), "--csv", "--quiet", "--out", csv});
    ASSERT_EQ(quiet.finish(), 0) << quiet.err.constData();
    EXPECT_FALSE(quiet.err.contains("cells,")) << quiet.err.constData();
    const QList<QByteArray> lines = qvtest::fileBytes(csv).trimmed().split('\n');
    ASSERT_EQ(lines.size(), 513);
    EXPECT_TRUE(lines[0].startsWith("No.,date_time"));
    EXPECT_TRUE(lines[512].startsWith("512,"));
}

// The journal as a user would lose data: the program autosaving its simulated
// meter's measurements is killed outright, started again, and its history
// carries on from every row captured before the kill.
#include "history/Journal.h"
#include "integration/PtyHelpers.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

using namespace qv;

namespace {

const QString kProgram = QStringLiteral(QV_BINARY_DIR "/src/qv7xx");
constexpr int PatienceMs = 30000;   // generous: the machine may be busy

struct KilledRuns {
    QTemporaryDir home;
    QString journal() const { return home.filePath("data/TAMBRIX/QV-7xx/journal.qvj"); }

    void start(QProcess &p)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("XDG_DATA_HOME", home.filePath("data"));
        env.insert("QV7XX_PORT_DIR", home.filePath("ports"));
        p.setProcessEnvironment(env);
        p.start(kProgram, {"--simulate", "--autosave", "1", "--restore-journal"});
    }
    // Lets the program capture until the journal holds `rows` rows, then
    // kills it without warning; what the journal holds then.
    JournalContents captureAndKill(int rows)
    {
        QProcess p;
        start(p);
        const bool reached = qvtest::waitUntil(
            [&] { return p.state() != QProcess::Running || ReadJournal(journal()).rowCount() >= rows; },
            PatienceMs);
        EXPECT_TRUE(reached && p.state() == QProcess::Running) << p.readAllStandardError().toStdString();
        ::kill(pid_t(p.processId()), SIGKILL);
        p.waitForFinished(PatienceMs);
        return ReadJournal(journal());
    }
};

// The labels of the rows, in order.
std::vector<std::string> labels(const JournalContents &j)
{
    std::vector<std::string> out;
    for (int r = 0; r < j.rowCount(); ++r)
        out.emplace_back(j.table->cellView(j.keep[size_t(r)], 0));
    return out;
}

} // namespace

TEST(JournalProcess, AKilledAutosaveRunLosesNoRowAndTheNextRunCarriesOn)
{
    KilledRuns run;
    const JournalContents first = run.captureAndKill(3);
    ASSERT_GE(first.rowCount(), 3);
    EXPECT_FALSE(first.damaged);
    // The second run restores without asking and goes on numbering.
    const JournalContents second = run.captureAndKill(first.rowCount() + 2);
    ASSERT_GE(second.rowCount(), first.rowCount() + 2);
    std::vector<std::string> expect;
    for (int i = 1; i <= second.rowCount(); ++i)
        expect.push_back(std::to_string(i));
    EXPECT_EQ(labels(second), expect) << "every row kept, none twice, numbered on";
    for (int r = 0; r < first.rowCount(); ++r)
        EXPECT_EQ(second.row(r), first.row(r)) << "row " << r << " changed";
    // A row per second of the simulated meter's continuous series.
    EXPECT_FALSE(second.table->cellView(second.keep.back(), 4).empty());
}

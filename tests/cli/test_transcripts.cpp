// Commands that need no meter, as a user runs them. Each "$ " line of
// tests/data/cli/transcripts.txt is a command line (HISTORY stands for a
// small history file, DIR for the port folder, and what follows "<<< " is
// the input); after it come what the command printed, standard output
// first, and its exit code.
#include "CliRig.h"
#include "support/GoldenText.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString History = QStringLiteral(QV_TEST_DATA_DIR "/search/small_history.txt");

} // namespace

TEST(Transcripts, CommandsWithoutAMeterPrintAndExitAsRecorded)
{
    QTemporaryDir dir;
    // A dead entry: the link and the unlocked lock file of a publisher killed outright.
    ASSERT_TRUE(QFile::link("/dev/null", dir.filePath("ttyDead")));
    QFile lock(dir.filePath(".ttyDead.lock"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    const QByteArray recorded = qvtest::fileBytes(QV_TEST_DATA_DIR "/cli/transcripts.txt");
    QString transcript;
    for (const QString &line : QString::fromUtf8(recorded).split('\n')) {
        if (!line.startsWith("$ "))
            continue;
        const QStringList command = line.mid(2).split(" <<< ");
        QStringList args = QProcess::splitCommand(command[0]);
        args.replaceInStrings("HISTORY", History).replaceInStrings("DIR", dir.path());
        const qvtest::ProgramRun r = qvtest::runCli(args, dir.path(), command.value(1).toUtf8());
        // Bytes as they are (the Polish texts are Windows-1250), the folder by its name.
        QString printed = QString::fromLatin1(r.out + r.err);
        printed.replace(dir.path(), "DIR").replace('\r', "\\r");
        transcript += line + '\n' + printed + QStringLiteral("exit %1\n\n").arg(r.code);
    }
    qvtest::expectGoldenText("cli/transcripts.txt", transcript);
}

// Results written to a file are what standard output shows.
TEST(SearchCommand, TheResultsFileHoldsWhatStandardOutputShows)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("found.txt"));
    const QStringList args = {"search", "--where", "15", "contains", "over", History};
    const qvtest::ProgramRun toStdout = qvtest::runCli(args, dir.path());
    const qvtest::ProgramRun toFile = qvtest::runCli(args + QStringList{"--out", out}, dir.path());
    EXPECT_EQ(toFile.code, 0) << toFile.err.toStdString();
    EXPECT_EQ(toFile.err, toStdout.err);
    EXPECT_EQ(qvtest::fileBytes(out), toStdout.out);
    EXPECT_EQ(toStdout.out.count("\r\n"), 2) << "the header and one row";
}

// qv7xx-cli history and export, run as processes on the data files.
#include "FileTestSupport.h"
#include "support/RunProgram.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace filetest;

namespace {

qvtest::ProgramRun cli(const QStringList &args)
{
    return qvtest::runProgram(qvtest::CliProgram, args);
}

} // namespace

TEST(HistoryCommand, WritesEachFileAsTheProgramSavesIt)
{
    int compared = 0;
    for (const QString &f : QDir(dataDir()).entryList({"*.saved"}, QDir::Files)) {
        const QString name = f.chopped(6);
        const qvtest::ProgramRun r = cli(QStringList{"history"} + caseArgs(name).cli() + QStringList{dataDir() + '/' + name + ".txt"});
        EXPECT_EQ(r.code, 0) << name.toStdString() << r.err.toStdString();
        EXPECT_EQ(r.out, readBytes(dataDir() + '/' + f)) << name.toStdString();
        ++compared;
    }
    EXPECT_GE(compared, 3);

    QTemporaryDir dir;
    const QString out = dir.filePath("out.txt");
    const qvtest::ProgramRun r = cli(QStringList{"history", "--out", out} + caseArgs("program-written").cli() +
                         QStringList{dataDir() + "/program-written.txt"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "3 measurements\n");
    EXPECT_EQ(readBytes(out), readBytes(dataDir() + "/program-written.saved"));
}

TEST(HistoryCommand, AnUnrecognisedHeaderOrAMissingFileExitsWithTwo)
{
    const QString path = dataDir() + "/lf-header.txt";
    qvtest::ProgramRun r = cli({"history", path});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains(("Data file format not recognized:\n" + path).toUtf8())) << r.err.toStdString();
    r = cli({"history", dataDir() + "/no-such-file.txt"});
    EXPECT_EQ(r.code, 2);
    r = cli({"history", "--lang", "de", dataDir() + "/program-written.txt"});
    EXPECT_EQ(r.code, 2);
    r = cli({"history"});
    EXPECT_EQ(r.code, 2);
}

TEST(ExportCommand, WritesCsv)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("h.csv");
    qvtest::ProgramRun r = cli({"export", "--decimal-separator", ".", "--date-separator", "-", "--time-separator", ":", "--csv",
                    out, dataDir() + "/program-written.txt"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QList<QByteArray> lines = readBytes(out).split('\n');
    ASSERT_EQ(lines.size(), 5);   // header, three rows, nothing after the last CR LF
    EXPECT_EQ(lines[2], "2,2026-12-07T10:15:31,,1.235e3,12.50,1.000e3,3.600e3,01:00:00,12,480.1,520.3,499.9,"
                        "960.2e-3,922.7e-3,Z.K-700\r");
    EXPECT_EQ(lines[3], "3,2028-02-29T23:59:59,,Over,,,,25:00:00,,,,,,,Z.K-700 Over\r");

    // Comma decimals in the file, full stops in the CSV; to standard output.
    r = cli({"export", "--decimal-separator", ",", "--date-separator", ".", "--csv", "-",
             dataDir() + "/comma-separator.txt"});
    ASSERT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.endsWith("\r\n1,2026-12-07T10:15:30,,1.235e3,,500.0e-3,,,,,,,,,\r\n")) << r.out.toStdString();
    r = cli({"export", dataDir() + "/program-written.txt"});
    EXPECT_EQ(r.code, 2) << "--csv is required";
}

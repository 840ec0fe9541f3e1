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

TEST(HistoryCommand, WritesEachFileAsTheProgramSavesAndExportsIt)
{
    int compared = 0;
    for (const QString &f : QDir(dataDir()).entryList({"*.saved"}, QDir::Files)) {
        const QString name = f.chopped(6), file = dataDir() + '/' + name;
        const QStringList options = caseArgs(name).cli();
        qvtest::ProgramRun r = cli(QStringList{"history"} + options + QStringList{file + ".txt"});
        EXPECT_EQ(r.code, 0) << name.toStdString() << r.err.toStdString();
        EXPECT_EQ(r.out, readBytes(file + ".saved")) << name.toStdString();
        // The separators without the language, which a CSV file does not have.
        r = cli(QStringList{"export", "--csv", "-"} + options.mid(0, 6) + QStringList{file + ".txt"});
        EXPECT_EQ(r.code, 0) << name.toStdString() << r.err.toStdString();
        EXPECT_EQ(r.out, readBytes(file + ".csv")) << name.toStdString();
        ++compared;
    }
    EXPECT_GE(compared, 4);

    QTemporaryDir dir;
    const QString out = dir.filePath("out.txt"), csv = dir.filePath("h.csv");
    const QString path = dataDir() + "/program-written.txt";
    const QStringList options = caseArgs("program-written").cli();
    const qvtest::ProgramRun r = cli(QStringList{"history", "--out", out} + options + QStringList{path});
    EXPECT_EQ(r.err, "3 measurements\n");
    EXPECT_EQ(readBytes(out), readBytes(dataDir() + "/program-written.saved"));
    EXPECT_EQ(cli(QStringList{"export", "--csv", csv} + options.mid(0, 6) + QStringList{path}).code, 0);
    EXPECT_EQ(readBytes(csv), readBytes(dataDir() + "/program-written.csv"));
}

TEST(HistoryCommand, AnUnrecognisedHeaderOrAMissingFileExitsWithTwo)
{
    const QString path = dataDir() + "/lf-header.txt";
    qvtest::ProgramRun r = cli({"history", path});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains(("Data file format not recognized:\n" + path).toUtf8())) << r.err.constData();
    const QString written = dataDir() + "/program-written.txt";
    const QStringList wrong[] = {{"history", dataDir() + "/no-such-file.txt"},
                                 {"history", "--lang", "de", written},
                                 {"history"},
                                 {"export", written}};   // export needs --csv
    for (const QStringList &args : wrong)
        EXPECT_EQ(cli(args).code, 2) << args.join(' ').toStdString();
}

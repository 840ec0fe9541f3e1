// `qv7xx-cli search` run as a process on a small history file: criteria as
// the boxes read them, "and" and "or", the results file on standard output
// or in a file, the result text, and the one-line refusals.
#include "support/RunProgram.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString History = QStringLiteral(QV_TEST_DATA_DIR "/search/small_history.txt");

// The labels (first field) of the rows written after the header.
QStringList labels(const QByteArray &out)
{
    QStringList l;
    const QList<QByteArray> lines = out.split('\n');
    for (int i = 1; i < lines.size(); ++i)
        if (!lines[i].isEmpty())
            l << QString::fromLatin1(lines[i].left(lines[i].indexOf('\t')));
    return l;
}

qvtest::ProgramRun search(const QStringList &args)
{
    return qvtest::runProgram(qvtest::CliProgram, QStringList{"search", "--decimal-separator", ".", "--date-separator",
                                                             "-", "--time-separator", ":"} + args);
}

} // namespace

TEST(SearchCommand, CriteriaReadAsTheBoxesReadThem)
{
    const struct {
        QStringList args;
        QStringList labels;
        const char *said;
    } cases[] = {
        {{"--where", "4", ">=", "1,5", "--where", "3", "=", "LAMP 1", History}, {"1"}, "1 measure found\n"},
        {{"--or", "--where", "3", "=", "LAMP 1", "--where", "15", "contains", "a,b", History},
         {"1", "2", "4"}, "3 measures found\n"},
        // Two-digit years: 1999 comes after 2005.
        {{"--where", "1", ">", "1.2.5", History}, {"1", "3", "4"}, "3 measures found\n"},
        {{"--where", "4", "=", "over", History}, {}, "Measures not found\n"},
        {{"--where", "9", "=", "12", History}, {"2"}, "1 measure found\n"},
    };
    for (const auto &c : cases) {
        const qvtest::ProgramRun r = search(c.args);
        const std::string what = c.args.join(' ').toStdString();
        ASSERT_EQ(r.code, 0) << what << ": " << r.err.toStdString();
        EXPECT_EQ(labels(r.out), c.labels) << what;
        EXPECT_EQ(r.err, QByteArray(c.said)) << what;
        EXPECT_TRUE(r.out.startsWith("\tDate\tTime\tComment\t")) << what;
    }
}

TEST(SearchCommand, ResultsFileAndRefusals)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("found.txt"));
    const qvtest::ProgramRun toStdout = search({"--where", "15", "contains", "over", History});
    const qvtest::ProgramRun toFile = search({"--where", "15", "contains", "over", "--out", out, History});
    ASSERT_EQ(toFile.code, 0) << toFile.err.toStdString();
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray written = f.readAll();
    EXPECT_EQ(written, toStdout.out);
    EXPECT_EQ(written.count("\r\n"), 2) << "the header and one row";
    EXPECT_TRUE(written.contains("3\t15-06-2005\t07:05:04\tdesk\tOver\t")) << written.toStdString();
    EXPECT_EQ(toFile.err, QByteArray("1 measure found\n"));

    const qvtest::ProgramRun polish = search({"--lang", "pl", "--where", "4", ">", "0", History});
    EXPECT_TRUE(polish.out.startsWith("\tData\tCzas\t")) << polish.out.left(40).toStdString();

    for (const QStringList &bad : {QStringList{"--where", "4", ">", "abc", History},
                                   QStringList{"--where", "16", "=", "1", History},
                                   QStringList{"--where", "3", "<", "a", History},
                                   QStringList{"--where", "4", "contains", "1", History},
                                   QStringList{"--where", "4", ">"}}) {
        const qvtest::ProgramRun r = search(bad);
        const std::string what = bad.join(' ').toStdString();
        EXPECT_EQ(r.code, 2) << what;
        EXPECT_EQ(r.err.count('\n'), 1) << what << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith("qv7xx-cli: ")) << what;
        EXPECT_TRUE(r.out.isEmpty()) << what;
    }
}

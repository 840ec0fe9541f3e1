// History files under tests/data/files, one test per file: NAME.txt holds the
// bytes, NAME.args the separators and limits, NAME.expected what opening it
// gives (the golden text of `openedText`), and NAME.saved and NAME.csv, where
// present, the bytes saving and exporting that history write. Every file is
// also read at small block sizes and on one and two threads: the rows must not
// depend on how the file was cut.
#include "FileTestSupport.h"

#include "files/CsvExport.h"
#include "files/HistoryFileWriter.h"
#include "support/GoldenText.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qv;
using namespace filetest;

namespace {

QStringList caseNames(const char *suffix)
{
    QStringList names;
    for (const QString &f : QDir(dataDir()).entryList({"*" + QString(suffix)}, QDir::Files, QDir::Name))
        names << f.chopped(int(qstrlen(suffix)));
    return names;
}

// The names of FileReadResult::Status, in its order.
const char *const StatusNames[] = {"Opened", "NotFound", "NotRecognized", "TooManyData", "Aborted", "Failed"};

struct Opened {
    FileReadResult result;
    QString rows;   // rowsText of the history
    qint64 histCount = 0, histId = 0;
};

Opened open(const QString &name, int blockSize = 65534, int threads = 2)
{
    const CaseArgs args = caseArgs(name);
    const ScopedFormatSettings format(args.format);
    HistoryStore store(OneEach);
    if (args.maxRows > 0)
        store.MaxHistRows = args.maxRows;
    FileReadOptions options;
    options.blockSize = blockSize;
    options.threads = threads;
    Opened o;
    o.result = ReadHistoryFile(dataDir() + '/' + name + ".txt", store, options);
    o.rows = rowsText(store.hist(), store.HistRows());
    o.histCount = store.HistCount;
    o.histId = store.HistId;
    return o;
}

class DataFile : public ::testing::TestWithParam<QString> {};
class SavedFile : public ::testing::TestWithParam<QString> {};

std::string testName(const ::testing::TestParamInfo<QString> &info)
{
    return QString(info.param).replace('-', '_').toStdString();
}

} // namespace

TEST_P(DataFile, OpensToTheExpectedHistory)
{
    // "status", "message" with {path} for the path and "\n" for a line end,
    // "histcount", then the rows.
    const Opened o = open(GetParam());
    QString text = QStringLiteral("status %1\n").arg(StatusNames[o.result.status]);
    const QString path = dataDir() + '/' + GetParam() + ".txt";
    const QString message = QString(o.result.message).replace(path, "{path}").replace('\n', "\\n");
    if (!message.isEmpty())
        text += "message " + message + '\n';
    text += QStringLiteral("histcount %1\n").arg(o.histCount) + o.rows;
    qvtest::expectGoldenText("files/" + GetParam() + ".expected", text);
    EXPECT_EQ(o.histId, o.histCount);
    EXPECT_EQ(o.result.rows, o.rows.count('\n'));
}

TEST_P(DataFile, RowsDoNotDependOnTheBlockSizeOrTheThreads)
{
    const Opened whole = open(GetParam());
    for (int threads : {1, 2, 3}) {
        for (int block : {1, 2, 3, 5, 16, 61, 1000}) {
            const Opened cut = open(GetParam(), block, threads);
            EXPECT_EQ(cut.result.status, whole.result.status) << block << " " << threads;
            EXPECT_EQ(cut.rows.toStdString(), whole.rows.toStdString()) << block << " " << threads;
            EXPECT_EQ(cut.histId, whole.histId);
        }
    }
}

TEST_P(SavedFile, SavesAndExportsTheExpectedBytes)
{
    const QString name = GetParam();
    const QByteArray expected = readBytes(dataDir() + '/' + name + ".saved");
    const CaseArgs args = caseArgs(name);
    const ScopedFormatSettings format(args.format);
    HistoryStore store(OneEach);
    ASSERT_EQ(ReadHistoryFile(dataDir() + '/' + name + ".txt", store).status, FileReadResult::Opened);
    QTemporaryDir dir;
    const QString path = dir.filePath("saved.txt");
    const SaveResult saved = SaveHistoryFile(path, store.hist(), 0, store.HistRows(), args.language);
    ASSERT_EQ(saved.status, SaveResult::Saved) << saved.message.toStdString();
    EXPECT_EQ(saved.rowsWritten, store.HistRows());
    EXPECT_EQ(readBytes(path), expected);
    const QString csv = dir.filePath("saved.csv");
    ASSERT_EQ(SaveCsvFile(csv, store.hist(), 0, store.HistRows()).status, SaveResult::Saved);
    qvtest::expectGoldenText("files/" + name + ".csv", QString::fromUtf8(readBytes(csv)));
}

INSTANTIATE_TEST_SUITE_P(Files, DataFile, ::testing::ValuesIn(caseNames(".txt")), testName);
INSTANTIATE_TEST_SUITE_P(Files, SavedFile, ::testing::ValuesIn(caseNames(".saved")), testName);

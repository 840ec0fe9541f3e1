// Saving: every column through save and open, a save stopped by the user, a
// save that fails half-way (the old file stays whole), read-only and hidden
// targets, a folder in the way, the Save dialog's checks and completed name,
// memory files.
#include "FileTestSupport.h"
#include "GoldenTable.h"

#include "files/HistoryFileWriter.h"
#include "files/SaveTarget.h"
#include "search/CompactNumberText.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <random>
#include <sys/resource.h>

#include <gtest/gtest.h>

using namespace qv;
using namespace filetest;

namespace {

std::string randomText(std::mt19937 &rng, int maxLength)
{
    // Windows-1250 letters and ASCII, no TAB, CR or LF.
    static const char pool[] = "abcXYZ 09.,;'\"-_/\xb9\xe6\xea\xb3\xf1\xf3\x9c\x9f\xbf\xa5\xc6\xca";
    std::uniform_int_distribution<int> len(0, maxLength), pick(0, int(sizeof pool) - 2);
    std::string s(size_t(len(rng)), ' ');
    for (char &c : s)
        c = pool[pick(rng)];
    return s;
}

HistoryRow randomRow(std::mt19937 &rng, const FormatSettings &format)
{
    const char sep = char(format.decimalSeparator.unicode()), dateSep = char(format.dateSeparator.unicode());
    std::uniform_real_distribution<double> exponent(-20, 20);
    std::uniform_int_distribution<int> n(0, 99999), day(1, 28), month(1, 12), year(0, 99);
    std::uniform_int_distribution<int> h(0, 23), ms(0, 59);
    char buf[64];
    HistoryRow r;
    r[0] = std::to_string(n(rng));
    std::snprintf(buf, sizeof buf, "%02d%c%02d%c%02d", day(rng), dateSep, month(rng), dateSep, year(rng));
    r[1] = buf;
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h(rng), ms(rng), ms(rng));
    r[2] = buf;
    r[3] = randomText(rng, 16);
    for (int c : {4, 5, 6, 7, 10, 11, 12, 13, 14}) {
        const std::string number = CompactNumberText(std::pow(10.0, exponent(rng)), sep);
        r[c] = n(rng) % 17 == 0 ? "Over" : n(rng) % 13 == 0 ? "" : number;
    }
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", n(rng) % 150, ms(rng), ms(rng));   // a day or more too
    r[8] = buf;
    r[9] = std::to_string(n(rng));
    r[15] = randomText(rng, 255);
    return r;
}

// A scratch folder with the path of a history file in it, and a store.
class SaveFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    const QString path = dir.filePath("history.txt");
    HistoryStore store{OneEach};
};

} // namespace

TEST_F(SaveFile, EveryColumnSurvivesSaveAndOpen)
{
    for (const FormatSettings format : {FormatSettings{'.', '-', ':'}, FormatSettings{',', '.', ':'}}) {
        const ScopedFormatSettings scoped(format);
        std::mt19937 rng(format.decimalSeparator.unicode());
        std::vector<HistoryRow> rows;
        for (int i = 0; i < 300; ++i)
            rows.push_back(randomRow(rng, format));
        store.load(rows, 300, 300);
        for (uint8_t language : {0, 1}) {
            ASSERT_EQ(SaveHistoryFile(path, store.hist(), 0, 300, language).status, SaveResult::Saved);
            HistoryStore back(OneEach);
            const FileReadResult read = ReadHistoryFile(path, back);
            ASSERT_EQ(read.status, FileReadResult::Opened);
            EXPECT_EQ(read.header, language == 0 ? DataHeader::Polish : DataHeader::English);
            ASSERT_EQ(back.HistRows(), 300);
            for (int r = 0; r < 300; ++r) {
                for (int c = 0; c <= hc::Notes; ++c)
                    ASSERT_EQ(back.hist().cellView(r, c), rows[size_t(r)][size_t(c)]) << r << "," << c;
                ASSERT_EQ(back.hist().cellView(r, hc::Id), std::to_string(r + 1));
            }
            // Saved again, the bytes are the same.
            const QString again = dir.filePath("again.txt");
            SaveHistoryFile(again, back.hist(), 0, back.HistRows(), language);
            EXPECT_EQ(readBytes(again), readBytes(path));
        }
    }
}

TEST_F(SaveFile, AStoppedSaveKeepsTheHeaderAndTheRowsWritten)
{
    std::vector<HistoryRow> rows(10);
    for (int i = 0; i < 10; ++i)
        rows[size_t(i)][0] = std::to_string(i + 1);
    store.load(rows, 10, 10);
    ASSERT_TRUE(writeBytes(path, "the old file"));
    int asked = 0;
    std::vector<int> percents;
    SaveOptions options;
    options.abortRequested = [&] { return ++asked == 3; };
    options.progress = [&](int p) { percents.push_back(p); };
    const SaveResult saved = SaveHistoryFile(path, store.hist(), 0, 10, 1, options);
    EXPECT_EQ(saved.status, SaveResult::Aborted);
    EXPECT_EQ(saved.rowsWritten, 3);
    EXPECT_EQ(readBytes(path), HeaderBytes(DataHeader::English) + "1" + QByteArray(16, '\t') + "\r\n2" +
                                   QByteArray(16, '\t') + "\r\n3" + QByteArray(16, '\t') + "\r\n");
    EXPECT_EQ(percents, (std::vector<int>{0, 11, 22}));   // row x 100 / last row
    // A single row shows 100 %.
    percents.clear();
    SaveOptions one;
    one.progress = [&](int p) { percents.push_back(p); };
    SaveHistoryFile(path, store.hist(), 4, 1, 1, one);
    EXPECT_EQ(percents, std::vector<int>{100});
}

TEST_F(SaveFile, AFailedSaveLeavesTheOldFileWholeAndSaysWhy)
{
    std::vector<HistoryRow> rows(20000);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i][15] = "a note long enough to fill the file quickly " + std::to_string(i);
    store.load(rows, 20000, 20000);
    const QByteArray old = "\tDate\r\nthe old history\r\n";
    ASSERT_TRUE(writeBytes(path, old));

    // The file system refuses more than 64 KB a file (as a full disk would).
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const SaveResult result = SaveHistoryFile(path, store.hist(), 0, store.HistRows(), 1);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(result.status, SaveResult::Failed);
    EXPECT_EQ(result.rowsWritten, 0);
    EXPECT_TRUE(result.message.startsWith("Error encountered during writing to file:\n" + path + "\n'"))
        << result.message.toStdString();
    EXPECT_TRUE(result.message.contains(msg::SystemErrorText(EFBIG))) << result.message.toStdString();
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"history.txt"});
}

TEST_F(SaveFile, ReadOnlyHiddenFoldersAndMissingFilesAskOrRefuse)
{
    const QString readOnly = dir.filePath("ro.txt"), hidden = dir.filePath(".both.txt");
    for (const QString &p : {path, readOnly, hidden})
        ASSERT_TRUE(writeBytes(p, "old"));
    const QFile::Permissions ro = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    // The mode bits (the "user" flags tell what this process may do).
    const auto mode = [](const QString &p) {
        return QFile::permissions(p) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    };
    ASSERT_TRUE(QFile::setPermissions(readOnly, ro));
    ASSERT_TRUE(QFile::setPermissions(hidden, ro));
    const QString folder = dir.filePath("results.txt");
    ASSERT_TRUE(QDir().mkdir(folder));

    QStringList asked;
    bool answer = false;
    FileQuestions q;
    q.askYesNo = [&](const QString &caption, const QString &text) {
        asked << caption + '|' + text;
        return answer;
    };
    q.showInfo = [&](const QString &c, const QString &text) { asked << "info " + c + '|' + text; };
    q.shortenPath = [](const QString &p) { return QFileInfo(p).fileName(); };

    EXPECT_TRUE(CheckTargetFile(path, "T", q));
    EXPECT_TRUE(CheckTargetFile(dir.filePath("new.txt"), "T", q));
    EXPECT_TRUE(SaveDialogCanClose(dir.filePath("new.txt"), "T", q));
    EXPECT_FALSE(SaveDialogCanClose(QString(), "T", q));
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_FALSE(CheckTargetFile(readOnly, "T", q));
    EXPECT_FALSE(CheckTargetFile(hidden, "T", q));
    EXPECT_FALSE(SaveDialogCanClose(folder, "T", q));   // No to "already exists"
    answer = true;
    EXPECT_FALSE(SaveDialogCanClose(folder, "T", q));   // Yes, then the folder is reported
    EXPECT_TRUE(CheckTargetFile(readOnly, "T", q));
    qvtest::expectGoldenText("files/save-questions.expected", asked.join('\n') + '\n');

    // Saved over, it holds the new rows and is read-only again; opening
    // never changes the permissions.
    store.load({HistoryRow{}}, 1, 1);
    ASSERT_EQ(SaveHistoryFile(readOnly, store.hist(), 0, 1, 1).status, SaveResult::Saved);
    EXPECT_EQ(readBytes(readOnly), HeaderBytes(DataHeader::English) + QByteArray(16, '\t') + "\r\n");
    EXPECT_EQ(ReadHistoryFile(readOnly, store).status, FileReadResult::Opened);
    EXPECT_EQ(mode(readOnly), ro);

    // A folder or a missing file is not read, and the history stays.
    store.load({HistoryRow{{"kept"}}}, 1, 1);
    FileReadResult r = ReadHistoryFile(dir.path(), store);
    EXPECT_EQ(r.status, FileReadResult::Failed);
    EXPECT_TRUE(r.message.contains("Error code 00000015:\n'" + msg::SystemErrorText(EISDIR)))
        << r.message.toStdString();
    r = ReadHistoryFile(dir.filePath("none.txt"), store);
    EXPECT_EQ(r.status, FileReadResult::NotFound);
    EXPECT_TRUE(r.message.isEmpty());
    EXPECT_EQ(store.hist().cell(0, 0), "kept");
}

TEST(SaveTarget, CompletedNamesAndShortenedPaths)
{
    const auto chars = [](const QString &s) { return int(s.size()); };
    qvtest::expectGoldenTable("files/save-names.tsv", 3, [&](const QStringList &in) {
        if (in[0] == "name")
            return QStringList{DialogFileName(in[1], DataFileFilter(), in[2].toInt(), "/data")};
        return QStringList{ShortenPath(in[1], chars, in[2].toInt())};
    });
}

TEST_F(SaveFile, TheMemoryImageIsSavedUnchangedAndReadBackWithinItsLimits)
{
    QByteArray image;
    for (int i = 1; i <= 512; ++i)
        image += "\t" + QByteArray::number(i) + "\t07-12-26\t\t\xb9\r\n";
    ASSERT_EQ(SaveMemoryFile(path, image, 0).status, SaveResult::Saved);
    EXPECT_EQ(readBytes(path), HeaderBytes(DataHeader::Polish) + image);
    // How each reading went, the image's bytes in Windows-1250 (as Latin-1).
    QString readings;
    const auto read = [&](const QString &file) {
        const MemoryReadResult r = ReadMemoryFile(file);
        const QString tail = QString::fromLatin1(r.image.right(20)).replace('\r', "\\r").replace('\n', "\\n");
        readings += QStringLiteral("status %1 lines %2 loaded %3 message '%4'\n%5\n")
                        .arg(r.status).arg(r.lines).arg(r.loaded)
                        .arg(QString(r.message).replace(path, "{path}"), tail);
        return r.image;
    };
    EXPECT_EQ(read(path), image) << "exactly 512 lines: no message";
    // One line more: the first 512 and the message.
    SaveMemoryFile(path, image + "\tlast\r\n", 1);
    EXPECT_EQ(read(path), image);
    // The legacy header is no memory file; a history file is, up to its last
    // whole line; without a CR there is no line and nothing is loaded.
    for (const QByteArray &bytes : {HeaderBytes(DataHeader::Legacy) + "a\r\n",
                                    HeaderBytes(DataHeader::English) + "1\t2\t\r\n3\t",
                                    HeaderBytes(DataHeader::English) + "no line end"}) {
        ASSERT_TRUE(writeBytes(path, bytes));
        read(path);
    }
    read(dir.filePath("none.txt"));
    qvtest::expectGoldenText("files/memory-readings.expected", readings);
}

TEST(MemoryFile, LinesAreCountedFromTheByteAfterEachStart)
{
    qvtest::expectGoldenTable("files/memory-lines.tsv", 2, [](const QStringList &in) {
        const QByteArray data = QString(in[0]).replace("\\r", "\r").replace("\\n", "\n").toLatin1();
        const MemoryLineCount n = CountMemoryLines(data.constData(), in[1].toInt());
        return QStringList{QString::number(n.lines), QString::number(n.kept), n.more ? "more" : "no more"};
    });
}

// The memory image into the tables, the journal rebuilding the history after
// any sequence of changes and after a torn end.
#include "files/FileTestSupport.h"
#include "history/JournalStartup.h"
#include "history/MemoryTransfer.h"

#include <QTemporaryDir>

#include "support/GoldenText.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

using namespace qv;

namespace {

const QByteArray ThreeCells =
    "0\t01-02-24\t10:00:00\tlamp A\t1.5e3\t\t\t\t\t\t\t\t\t\t\tZ.K-700\t\r\n"
    "0\t01-02-24\t10:01:00\t\t2e3\t\t\t\t\t\t\t\t\t\t\tOver\textra\tfields\r\n"
    "0\t01-02-24\t10:02:00\tcr\rinside\t3e3\t\t\t\t\t\t\t\t\t\t\t\t\r\n";

} // namespace

TEST(MemoryTransfer, ImageLinesFieldsAndAnUnterminatedEnd)
{
    CellTable memo(hc::MemoryColumns, filetest::OneEach);
    PrepareMemoryTable(memo);
    EXPECT_EQ(memo.rowCount(), 512);
    EXPECT_EQ(memo.cellView(511, 0), "512");
    // A partial fourth line: its fields are not shown, its number stays; a CR
    // without LF is text. A later, shorter image replaces the earlier one.
    EXPECT_TRUE(FillMemoryTable(memo, ThreeCells + "0\t02-02-24\t11", false, {}));
    QString text = filetest::rowsText(memo, 4);
    EXPECT_TRUE(FillMemoryTable(memo, ThreeCells.left(ThreeCells.indexOf('\n') + 1), false, {}));
    qvtest::expectGoldenText("history/memory-image.expected", text + "then\n" + filetest::rowsText(memo, 4));
    EXPECT_FALSE(FillMemoryTable(memo, "0\tno line end", false, {}));

    const MemoryLines lines = SplitMemoryImage(ThreeCells + "0\t02-02-24\tlast", 100);
    EXPECT_EQ(lines.complete, 3);
    ASSERT_EQ(lines.rows.size(), 4u);
    EXPECT_EQ(lines.rows[3][1], "02-02-24");
    EXPECT_EQ(lines.rows[3][2], "") << "a field no separator ends is not read";
}

TEST(MemoryTransfer, AppendingTwiceLabelsEachTransferFromM1WithItsOwnIdentifiers)
{
    HistoryStore s(filetest::OneEach);
    int reported = 0;
    s.onChange = [&](const HistoryChange &c) { reported += c.last - c.first + 1; };
    EXPECT_EQ(CopyMemoToHistory(s, ThreeCells, s.appendPosition()), 3);
    EXPECT_EQ(CopyMemoToHistory(s, ThreeCells, s.appendPosition()), 3);
    EXPECT_EQ(s.HistCount, 0) << "transfers do not take sequence numbers";
    EXPECT_EQ(reported, 6);
    s.MaxHistRows = 7;
    EXPECT_EQ(CopyMemoToHistory(s, ThreeCells, s.appendPosition()), 1) << "up to the limit";
    EXPECT_EQ(CopyMemoToHistory(s, ThreeCells, s.appendPosition()), 0);
    // Labels M1.. in each transfer, identifiers going on.
    qvtest::expectGoldenText("history/memory-transfers.expected", filetest::rowsText(s.hist(), s.HistRows()));
}

namespace {

struct JournalRig {
    QTemporaryDir dir;
    HistoryStore store{filetest::OneEach};
    Journal journal;
    QString path = dir.filePath(QStringLiteral("j/journal.qvj"));

    JournalStart start(RestorePolicy policy = RestorePolicy::Ask, bool answer = false)
    {
        return StartJournal(store, journal, path, policy, [answer](int) { return answer; });
    }
};

// The program started again on a journal: its own store and journal.
struct Restart {
    HistoryStore store;
    Journal journal;
    JournalStart start;
    Restart(const JournalRig &rig, RestorePolicy policy, const std::function<bool(int)> &ask = {})
        : store(filetest::OneEach), start(StartJournal(store, journal, rig.path, policy, ask))
    {
    }
};

HistoryRow captured(std::mt19937 &rng)
{
    HistoryRow r;
    r[1] = "07-12-26";
    r[2] = "10:00:0" + std::to_string(rng() % 10);
    r[4] = std::to_string(rng() % 1000) + "e-3";
    r[15] = rng() % 4 ? "Z.K-700" : "back\\slash\nnew line\rcr";
    return r;
}

void expectSameHistory(const HistoryStore &a, const JournalContents &j)
{
    ASSERT_EQ(a.HistRows(), j.rowCount());
    for (int r = 0; r < a.HistRows(); ++r)
        for (int c = 0; c < hc::HistoryColumns; ++c)
            ASSERT_EQ(a.hist().cellView(r, c), j.table->cellView(j.keep[r], c)) << r << "," << c;
    EXPECT_EQ(a.HistCount, j.histCount);
    EXPECT_EQ(a.HistId, j.histId);
}

} // namespace

TEST(Journal, RebuildsTheHistoryAfterAnySequenceOfChanges)
{
    const QByteArray memory = ThreeCells;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        std::mt19937 rng(seed);
        JournalRig rig;
        ASSERT_TRUE(rig.start().open);
        for (int step = 0; step < 120; ++step) {
            const int rows = rig.store.HistRows();
            switch (rng() % 9) {
            case 0: case 1: case 2: case 3:
                rig.store.addCapturedRow(captured(rng));
                break;
            case 4:
                if (rows)
                    rig.store.HistDeleteRow(rng() % rows);
                break;
            case 5:
                if (rows)
                    rig.store.setComment(rng() % rows, QStringLiteral("c\t%1\\").arg(step));
                break;
            case 6:
                CopyMemoToHistory(rig.store, memory, rig.store.appendPosition());
                break;
            case 7:
                if (rng() % 5 == 0)
                    rig.store.HistDeleteAll();
                break;
            case 8:
                if (rng() % 4 == 0)
                    rig.journal.startFresh(&rig.store);   // the history was saved
                break;
            }
            const JournalContents j = ReadJournal(rig.path);
            ASSERT_FALSE(j.damaged);
            expectSameHistory(rig.store, j);
        }
    }
}

TEST(Journal, ATornEndRestoresEverythingBeforeIt)
{
    JournalRig rig;
    rig.start();
    std::mt19937 rng(7);
    for (int i = 0; i < 5; ++i)
        rig.store.addCapturedRow(captured(rng));
    rig.journal.close();
    const QByteArray whole = filetest::readBytes(rig.path);
    const int lastLine = whole.lastIndexOf('\n', whole.size() - 2) + 1;
    // Every cut inside the last record, and a last record with a flipped byte.
    for (int cut = lastLine; cut < whole.size(); ++cut) {
        const JournalContents j = ParseJournal(whole.left(cut));
        EXPECT_EQ(j.rowCount(), 4) << cut;
        EXPECT_TRUE(j.damaged || cut == lastLine);
        EXPECT_EQ(j.validBytes, lastLine);
    }
    QByteArray flipped = whole;
    flipped[lastLine + 5] = flipped[lastLine + 5] ^ 0x01;
    EXPECT_EQ(ParseJournal(flipped).rowCount(), 4);

    // Opening cuts the torn end off, so that new records are not lost behind it.
    ASSERT_TRUE(filetest::writeBytes(rig.path, whole.left(whole.size() - 3)));
    Restart again(rig, RestorePolicy::Restore);
    EXPECT_EQ(again.start.restored, 4);
    again.store.addCapturedRow(captured(rng));
    const JournalContents j = ReadJournal(rig.path);
    EXPECT_FALSE(j.damaged);
    expectSameHistory(again.store, j);
    EXPECT_EQ(again.store.hist().cellView(4, hc::Label), "5");
}

TEST(Journal, StartOffersUnsavedRowsAndPutsARefusedJournalAside)
{
    JournalRig rig;
    EXPECT_EQ(rig.start().restored, 0);
    std::mt19937 rng(3);
    for (int i = 0; i < 3; ++i)
        rig.store.addCapturedRow(captured(rng));
    rig.journal.startFresh(&rig.store);   // saved with three rows
    rig.store.addCapturedRow(captured(rng));
    rig.store.addCapturedRow(captured(rng));
    rig.store.setComment(0, QStringLiteral("after the save"));

    // A second program cannot take the journal.
    const Restart second(rig, RestorePolicy::Restore);
    EXPECT_FALSE(second.start.open);
    EXPECT_FALSE(second.start.error.isEmpty());
    rig.journal.close();

    int offered = -1;
    Restart restored(rig, RestorePolicy::Ask, [&](int n) { return (offered = n) > 0; });
    EXPECT_EQ(offered, 2) << "the rows added since the save";
    EXPECT_EQ(restored.start.restored, 5);
    EXPECT_EQ(restored.store.hist().cellView(0, hc::Comment), "after the save");
    restored.journal.close();

    const Restart refused(rig, RestorePolicy::Ask, [](int) { return false; });
    EXPECT_EQ(refused.start.restored, 0);
    ASSERT_FALSE(refused.start.movedTo.isEmpty());
    EXPECT_EQ(ReadJournal(refused.start.movedTo).rowCount(), 5) << "kept aside, whole";
    EXPECT_FALSE(ReadJournal(rig.path).unsaved);
}

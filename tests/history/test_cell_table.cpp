// The packed table against a plain vector-of-strings model under random
// operations, and the history store's deletion and width rules.
#include "files/FileTestSupport.h"
#include "history/HistoryStore.h"
#include "support/GoldenText.h"

#include <gtest/gtest.h>

#include <random>

using namespace qv;

namespace {

using Model = std::vector<std::vector<std::string>>;

std::string randomCell(std::mt19937 &rng)
{
    static const char alphabet[] = "0123456789.e-kMx \xb9\x9c\r";   // a few Windows-1250 letters too
    std::string s(rng() % 6, ' ');
    for (char &c : s)
        c = alphabet[rng() % (sizeof alphabet - 1)];
    return s;
}

void expectSame(const CellTable &t, const Model &m)
{
    ASSERT_EQ(t.rowCount(), int(m.size()));
    for (int r = 0; r < t.rowCount(); ++r)
        for (int c = 0; c < t.columnCount(); ++c)
            ASSERT_EQ(t.cellView(r, c), m[r][c]) << "row " << r << " column " << c;
}

} // namespace

TEST(CellTable, BehavesAsAPlainTableUnderRandomOperations)
{
    const TextWidths widths = TextWidths::fixed(3);
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 rng(seed);
        CellTable t(5, widths);
        Model m(1, std::vector<std::string>(5));
        std::vector<int> widest(5, 0);
        for (int step = 0; step < 400; ++step) {
            const int rows = int(m.size());
            switch (rng() % 6) {
            case 0:
            case 1: {
                const int r = rng() % rows, c = rng() % 5;
                const std::string v = randomCell(rng);
                t.setCellBytesAndFit(r, c, v);
                m[r][c] = v;
                if (!v.empty())
                    widest[c] = std::max(widest[c], 3 * int(v.size()) + 5);
                break;
            }
            case 2: {
                const int n = 1 + rng() % 3;
                t.appendRows(n);
                m.resize(m.size() + n, std::vector<std::string>(5));
                break;
            }
            case 3: {
                const int r = rng() % rows;
                t.removeRow(r);
                if (m.size() == 1)
                    m[0].assign(5, "");
                else
                    m.erase(m.begin() + r);
                break;
            }
            case 4: {
                const int from = rng() % rows;
                const bool all = rng() % 2;
                t.clearRows(from, all);
                for (int r = from; r < rows; ++r)
                    for (int c = all ? 0 : 1; c < 5; ++c)
                        m[r][c].clear();
                break;
            }
            case 5: {
                std::string row;
                std::vector<std::string> cells(5);
                for (int c = 0; c < 5; ++c) {
                    cells[c] = randomCell(rng);
                    row += cells[c] + (c < 4 ? "\t" : "");
                }
                row += "\textra";   // cells past the last column are dropped
                const int r = rng() % rows;
                t.setRowBytes(r, row, false);
                m[r] = cells;
                break;
            }
            }
            expectSame(t, m);
        }
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(t.columnWidth(c), widest[c]) << "seed " << seed;
    }
}

TEST(CellTable, RewritesReuseMemoryAndTabsBecomeSpaces)
{
    CellTable t(17, filetest::OneEach);
    t.appendRows(999);
    for (int r = 0; r < 1000; ++r)
        t.setCellBytes(r, 15, "Over Integ.");
    // Rewriting every row hundreds of times leaves less than the waste limit behind.
    for (int pass = 0; pass < 300; ++pass)
        for (int r = 0; r < 1000; ++r)
            t.setCellBytes(r, 3, pass % 2 ? "comment text of a row" : "another one");
    EXPECT_LT(t.bytesHeld(), size_t(48) << 20);
    EXPECT_EQ(t.cellView(999, 15), "Over Integ.");
    EXPECT_EQ(t.cellView(999, 3), "comment text of a row");

    t.setCell(0, 3, QStringLiteral("a\tb \u0141\u4e2d"));
    EXPECT_EQ(t.cellView(0, 3), "a b \xa3?");
    EXPECT_EQ(t.cell(0, 3), QStringLiteral("a b \u0141?"));
}

TEST(CellTable, EventsTellViewsWhatChanged)
{
    CellTable t(3, filetest::OneEach);
    std::vector<std::string> seen;
    const auto note = [&](const char *what, int a, char between, int b) {
        seen.push_back(what + std::to_string(a) + between + std::to_string(b));
    };
    t.onRowsInserted = [&](int a, int b) { note("ins ", a, '-', b); };
    t.onRowsRemoved = [&](int a, int b) { note("rem ", a, '-', b); };
    t.onCellChanged = [&](int r, int c) { note("cell ", r, ',', c); };
    t.onReset = [&] { seen.push_back("reset"); };
    t.appendRows(2);
    t.setCellBytes(1, 2, "x");
    t.removeRows(1, 2);
    {
        CellTable::BulkChange bulk(t);
        t.appendRows(5);
        t.setCellBytes(3, 1, "y");
    }
    t.removeRows(0, t.rowCount());
    EXPECT_EQ(seen, (std::vector<std::string>{"ins 1-2", "cell 1,2", "rem 1-2", "reset", "reset"}));
    EXPECT_EQ(t.rowCount(), 1);
}

namespace {
HistoryRow rowWith(const std::string &comment)
{
    HistoryRow r;
    r[hc::Value] = "1.5e3";
    r[hc::Comment] = comment;
    return r;
}
} // namespace

TEST(HistoryStore, DeletionKeepsLabelsLinksResultsAndResetsWhenEmpty)
{
    const TextWidths widths = TextWidths::fixed(2);
    HistoryStore s(widths);
    s.DefaultColWidths.assign(16, 10);
    std::vector<HistoryChange::Kind> changes;
    s.onChange = [&](const HistoryChange &c) { changes.push_back(c.kind); };
    EXPECT_FALSE(s.HistOK());
    EXPECT_EQ(s.HistRows(), 0);
    for (const char *c : {"a", "b", "c"})
        s.addCapturedRow(rowWith(c));
    EXPECT_EQ(s.HistRows(), 3);
    // Results hold rows 2 and 3 (identifiers 2 and 3).
    s.reply().setCellBytes(0, hc::Id, "2");
    s.reply().appendRows(1);
    s.reply().setCellBytes(1, hc::Id, "3");
    s.MarkedRow = 2;

    s.HistDeleteRow(1);   // label 2, identifier 2
    EXPECT_EQ(s.MarkedRow, 1) << "the marked row moved up with its row";
    EXPECT_EQ(s.addCapturedRow(rowWith("d")), 2);
    // The results lose the row too; labels are not renumbered.
    const QString results = filetest::rowsText(s.reply(), s.reply().rowCount());
    qvtest::expectGoldenText("history/after-deletion.expected", filetest::rowsText(s.hist(), 3) + results);
    EXPECT_EQ(s.findHistRowById("4"), 2);
    EXPECT_EQ(s.findHistRowById("2"), -1);

    s.AskDelete = false;
    s.hist().setColumnWidth(3, 99);
    for (int i = 0; i < 3; ++i)
        s.HistDeleteRow(0);
    EXPECT_FALSE(s.HistOK());
    EXPECT_EQ(s.HistCount, 0);
    EXPECT_EQ(s.HistId, 0);
    EXPECT_TRUE(s.AskDelete);
    EXPECT_EQ(s.hist().columnWidth(3), 10) << "default widths come back";
    EXPECT_EQ(s.addCapturedRow(rowWith("e")), 0);
    EXPECT_EQ(s.hist().cellView(0, hc::Label), "1");
    EXPECT_EQ(changes.size(), 9u);

    s.HistDeleteAll();
    EXPECT_FALSE(s.HistOK());
    EXPECT_FALSE(s.ReplyOK());
    EXPECT_EQ(changes.back(), HistoryChange::Cleared);
}

TEST(HistoryStore, FullHistoryTakesNoMoreRowsAndWidthsFollowTheWidestCell)
{
    const TextWidths widths = TextWidths::fixed(2);
    HistoryStore s(widths);
    s.MaxHistRows = 3;
    s.DefaultColWidths.assign(16, 10);
    s.searchBoxWidth = [](int column) { return column == 4 ? 40 : 0; };
    for (int i = 0; i < 5; ++i)
        s.addCapturedRow(rowWith(std::string(i + 1, 'x')));
    EXPECT_EQ(s.HistRows(), 3);
    EXPECT_TRUE(s.full());
    EXPECT_EQ(s.hist().columnWidth(3), 3 * 2 + 5);
    EXPECT_EQ(s.reply().columnWidth(3), 3 * 2 + 5) << "results follow the history's widths";
    s.hist().setColumnWidth(3, 200);
    s.SetHistColWidths(3);
    EXPECT_EQ(s.hist().columnWidth(3), 11);
    s.SetHistColWidths(4);
    EXPECT_EQ(s.hist().columnWidth(4), 40) << "the search box needs more than the cells";
    s.setComment(0, QStringLiteral("a comment longer than sixteen"));
    EXPECT_EQ(s.hist().cellView(0, hc::Comment), "a comment longer");
}

TEST(CellTable, SplittingARowGivesTheCellsOneByOne)
{
    // Rows of every length around the sixteen-byte blocks the splitting
    // reads, with TABs anywhere, asked for any number of cells.
    CellTable t(17, filetest::OneEach);
    std::mt19937 rng(3);
    for (int i = 0; i < 3000; ++i) {
        std::string row;
        const int length = int(rng() % 90);
        for (int k = 0; k < length; ++k)
            row += rng() % 4 == 0 ? '\t' : char('a' + rng() % 26);
        t.setRowBytes(0, row, false);
        const int count = int(rng() % 18);
        std::string_view cells[17];
        t.splitRow(0, cells, count);
        for (int c = 0; c < count; ++c)
            ASSERT_EQ(cells[c], t.cellView(0, c)) << "row '" << row << "' cell " << c;
    }
}

// The printed table on a recording device: widths, alignment, rules, heading,
// paging and margins.
#include "RecordingTarget.h"

#include "history/CellTable.h"
#include "history/HistoryColumns.h"
#include "print/PrintLayout.h"
#include "print/QVPrint.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace qv;

qv::DialogAnswer UnexpectedDialogs::ask(const qv::DialogRequest &request)
{
    ADD_FAILURE() << "unexpected question: " << request.text.toStdString();
    return qv::DialogAnswer(qv::BtnCodeCancel);
}

namespace {
// No test here expects a question.
UnexpectedDialogs g_unexpected;
const bool g_installed = (qv::setDialogHandler(&g_unexpected), true);

const TextWidths &Widths()
{
    static const TextWidths widths = TextWidths::fixed(1);
    return widths;
}

// A table with `rows` rows: label, date, comment, value, count, notes.
std::unique_ptr<CellTable> Table(int rows, const std::string &comment = "lamp")
{
    auto t = std::make_unique<CellTable>(hc::HistoryColumns, Widths());
    t->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        const std::string label = std::to_string(r + 1);
        t->setRowBytes(r, label + "\t07-12-2026\t10:15:30\t" + comment + "\t1.235e3\t\t\t\t\t" +
                              std::to_string(12 + r) + "\t480.1\t\t\t\t\tZ.K-700\t" + label, false);
    }
    return t;
}

int Advance(RecordingTarget &target, const QString &text)
{
    return QFontMetrics(PrintFont(), target.device()).horizontalAdvance(text);
}

std::vector<DrawnText> TextsOn(const RecordingTarget &t, int page)
{
    std::vector<DrawnText> out;
    for (const DrawnText &d : t.texts())
        if (d.page == page)
            out.push_back(d);
    return out;
}

const DrawnText *Find(const RecordingTarget &t, const QString &text, int page = 1)
{
    for (const DrawnText &d : t.texts())
        if (d.page == page && d.text == text)
            return &d;
    return nullptr;
}

// The left edge of the cell of column c (the x a row's cells are placed from).
int CellX(const TableLayout &l, int left, int c)
{
    int x = left + 1;
    for (int i = 0; i < c; ++i)
        x += l.width[i] + 1;
    return x;
}

} // namespace

TEST(PrintLayout, WidthsComeFromTitlesGroupTitlesAndEveryPrintedCell)
{
    auto t = Table(3, "a comment wider than its title");
    t->setCellBytes(1, 9, "123456789");
    RecordingTarget target;
    const QFontMetrics fm(PrintFont(), target.device());
    const TableLayout l = MeasureTable(PrintRows{*t, PrintKind::History, 3}, fm);
    const int pad = 2 * fm.horizontalAdvance(QLatin1Char(' '));
    EXPECT_EQ(l.width[1], std::max(fm.horizontalAdvance("Date"), fm.horizontalAdvance("07-12-2026")) + pad);
    EXPECT_EQ(l.width[3], fm.horizontalAdvance("a comment wider than its title") + pad);
    EXPECT_EQ(l.width[9], fm.horizontalAdvance("123456789") + pad);
    EXPECT_EQ(l.width[4], std::max(fm.horizontalAdvance("Value"), fm.horizontalAdvance("1.235e3")) + pad);
    EXPECT_EQ(l.width[7], (fm.horizontalAdvance("Integration") + pad) / 2);
    EXPECT_EQ(l.width[8], l.width[7]);
    EXPECT_EQ(l.width[6], fm.horizontalAdvance("Reference") + pad);   // an empty column keeps its title's width
    int total = 1;
    for (int w : l.width)
        total += w + 1;
    EXPECT_EQ(l.total, total);
    EXPECT_EQ(l.groupWidth(5), l.width[9] + l.width[10] + l.width[11] + l.width[12] + l.width[13] + l.width[14] + 5);

    // Skipped memory rows are not measured.
    t->setCellBytes(2, 1, "");
    t->setCellBytes(2, 3, "an even longer comment that is never printed");
    const TableLayout m = MeasureTable(PrintRows{*t, PrintKind::Memory, 3}, fm);
    EXPECT_EQ(m.width[3], l.width[3]);
}

TEST(PrintLayout, TitlesCentredNumbersRightDataLeftAndRuleColours)
{
    auto t = Table(2);
    RecordingTarget target;
    ASSERT_EQ(PrintTable(PrintRows{*t, PrintKind::History, 2}, target, nullptr, nullptr), PrintResult::Printed);
    const QFontMetrics fm(PrintFont(), target.device());
    const TableLayout l = MeasureTable(PrintRows{*t, PrintKind::History, 2}, fm);
    const QMargins m = AppliedMargins(false, {}, 600, 600);
    const int h = l.rowHeight, left = m.left();
    // Rows start after the group row and the title row, each h + 2 high.
    const int titleTop = m.top() + (h + 2) + 1;
    const int firstRowTop = m.top() + 2 * (h + 2) + 1;
    const int ascent = fm.ascent();

    const DrawnText *date = Find(target, "Date");
    ASSERT_TRUE(date);
    EXPECT_EQ(date->at.x(), CellX(l, left, 1) + (l.width[1] - Advance(target, "Date")) / 2 + 1);
    EXPECT_EQ(date->at.y(), titleTop + 2 + ascent);

    struct { QString text; int column; bool right; } cells[] = {
        {"1", 0, true}, {"12", 9, true}, {"lamp", 3, false}, {"480.1", 10, false}, {"Z.K-700", 15, false}};
    for (const auto &c : cells) {
        const DrawnText *d = Find(target, c.text);
        ASSERT_TRUE(d) << c.text.toStdString();
        const int x = CellX(l, left, c.column);
        const int expected = c.right ? x + l.width[c.column] - Advance(target, c.text) - l.blank : x + l.blank;
        EXPECT_EQ(d->at.x(), expected) << c.text.toStdString();
        EXPECT_EQ(d->at.y(), firstRowTop + 2 + ascent) << c.text.toStdString();
    }
    // The group titles are centred over their groups.
    const DrawnText *stats = Find(target, "Statistics");
    ASSERT_TRUE(stats);
    EXPECT_EQ(stats->at.x(), CellX(l, left, 9) + (l.groupWidth(5) - Advance(target, "Statistics")) / 2 + 1);

    // The vertical rules of the first data row: grey inside a group, black at its edges.
    const QColor grey(0xC0, 0xC0, 0xC0);
    for (int c = 0; c < PrintColumns; ++c) {
        const int x = CellX(l, left, c) + l.width[c] + 1;
        auto rule = std::find_if(target.lines().begin(), target.lines().end(), [&](const DrawnLine &d) {
            return d.line.x1() == x && d.line.x2() == x && d.line.y1() == firstRowTop;
        });
        ASSERT_NE(rule, target.lines().end()) << c;
        const bool isGrey = c == 1 || c == 2 || c == 5 || c == 7 || (c >= 9 && c <= 13);
        EXPECT_EQ(rule->color, isGrey ? grey : QColor(Qt::black)) << c;
        EXPECT_EQ(rule->line.y2(), firstRowTop + h);
    }
    for (const DrawnLine &d : target.lines())
        if (d.line.y1() == d.line.y2())
            EXPECT_EQ(d.color, QColor(Qt::black));
    EXPECT_EQ(CellX(l, left, 15) + l.width[15] + 1, left + l.total);   // the last rule closes the table
    EXPECT_EQ(target.jobTitle, "QV-7xx");
    EXPECT_TRUE(target.ended);
}

TEST(PrintLayout, LaterPagesStartWithARuleAndTheTitlesWithoutTheGroupRow)
{
    auto t = Table(60);
    RecordingTarget target;
    target.dev.height = 3000;
    ASSERT_EQ(PrintTable(PrintRows{*t, PrintKind::History, 60}, target, nullptr, nullptr), PrintResult::Printed);
    const QMargins m = AppliedMargins(false, {}, 600, 600);
    const TableLayout l = MeasureTable(PrintRows{*t, PrintKind::History, 60}, QFontMetrics(PrintFont(), target.device()));
    const int p = l.rowHeight + 2, a = target.dev.height - m.top() - m.bottom();
    // Capacity: the first page loses two heading rows, later ones one title row.
    const int first = a / p - 2, later = a / p - 1;
    const int pages = 1 + (60 - first + later - 1) / later;
    ASSERT_GE(pages, 2);
    EXPECT_EQ(target.pages(), pages);
    ASSERT_EQ(int(target.pageTitles.size()), pages);
    for (int i = 0; i < pages; ++i)
        EXPECT_TRUE(target.pageTitles[i].startsWith(QStringLiteral("QV-7xx page%1/").arg(i + 1)));

    for (int page = 2; page <= pages; ++page) {
        auto firstLine = std::find_if(target.lines().begin(), target.lines().end(),
                                      [&](const DrawnLine &d) { return d.page == page; });
        ASSERT_NE(firstLine, target.lines().end());
        EXPECT_EQ(firstLine->line, QLineF(m.left(), m.top(), m.left() + l.total, m.top())) << page;
        EXPECT_FALSE(Find(target, "Statistics", page));
        EXPECT_FALSE(Find(target, "Measure", page));
        EXPECT_TRUE(Find(target, "Date", page));
    }
    // Every row printed once, on the pages in order.
    auto dates = [&](int page) {
        const auto texts = TextsOn(target, page);
        return std::count_if(texts.begin(), texts.end(), [](const DrawnText &d) { return d.text == "07-12-2026"; });
    };
    EXPECT_EQ(dates(1), first);
    EXPECT_EQ(dates(2), pages > 2 ? later : 60 - first);
    EXPECT_TRUE(Find(target, "Statistics", 1));
    EXPECT_TRUE(Find(target, QString::number(first), 1));
    EXPECT_TRUE(Find(target, QString::number(first + 1), 2));
    EXPECT_TRUE(Find(target, "60", pages));
}

TEST(PrintLayout, EmptyHistoryAndBlankMemoryPrintTheHeadingOnly)
{
    for (PrintKind kind : {PrintKind::History, PrintKind::Memory}) {
        CellTable empty(hc::HistoryColumns, Widths());
        empty.setRowCount(kind == PrintKind::Memory ? 512 : 1);
        RecordingTarget target;
        const int count = kind == PrintKind::Memory ? 512 : 0;
        ASSERT_EQ(PrintTable(PrintRows{empty, kind, count}, target, nullptr, nullptr), PrintResult::Printed);
        EXPECT_EQ(target.pages(), 1);
        EXPECT_EQ(target.texts().size(), 5u + 15u);   // five group titles, fifteen column titles
    }
}

TEST(PrintLayout, MemoryRowsWithAnEmptyColumnOneAreLeftOut)
{
    auto t = Table(4);
    t->setCellBytes(1, 1, "");
    t->setCellBytes(3, 1, "");
    RecordingTarget target;
    ASSERT_EQ(PrintTable(PrintRows{*t, PrintKind::Memory, 4}, target, nullptr, nullptr), PrintResult::Printed);
    EXPECT_TRUE(Find(target, "1"));
    EXPECT_FALSE(Find(target, "2"));
    EXPECT_TRUE(Find(target, "3"));
    EXPECT_FALSE(Find(target, "4"));
    EXPECT_TRUE(Find(target, "Measure"));
}

struct MarginCase {
    const char *name;
    bool landscape;
    PaperBorders borders;
    QMargins expected;   // at 600 dpi: 5 mm = 118, 10 = 236, 15 = 354, 20 = 472
};

class Margins : public ::testing::TestWithParam<MarginCase> {};

TEST_P(Margins, WantedLessTheUnprintableBorder)
{
    const MarginCase &c = GetParam();
    EXPECT_EQ(AppliedMargins(c.landscape, c.borders, 600, 600), c.expected);

    // The table starts at the applied margins on the page.
    auto t = Table(1);
    RecordingTarget target;
    target.dev.landscape = c.landscape;
    target.borders = c.borders;
    ASSERT_EQ(PrintTable(PrintRows{*t, PrintKind::History, 1}, target, nullptr, nullptr), PrintResult::Printed);
    ASSERT_FALSE(target.lines().empty());
    EXPECT_EQ(target.lines().front().line.p1(), QPointF(c.expected.left(), c.expected.top()));
}

INSTANTIATE_TEST_SUITE_P(
    PrintLayout, Margins,
    ::testing::Values(MarginCase{"PortraitNoOffset", false, {}, QMargins(354, 236, 118, 236)},
                      MarginCase{"PortraitOffset", false, {100, 50, 80, 60}, QMargins(372, 304, 156, 294)},
                      MarginCase{"LandscapeNoOffset", true, {}, QMargins(236, 354, 236, 118)},
                      MarginCase{"LandscapeOffsetRotated", true, {100, 50, 80, 60}, QMargins(304, 372, 294, 156)},
                      MarginCase{"BorderWiderThanMargin", false, {500, 0, 0, 0}, QMargins(0, 236, 236, 236)},
                      MarginCase{"OnlyVerticalOffset", true, {0, 40, 0, 40}, QMargins(196, 472, 196, 236)}),
    [](const ::testing::TestParamInfo<MarginCase> &info) { return std::string(info.param.name); });

TEST(PrintLayout, PagingEstimateNeverBelowThePagesPrinted)
{
    for (int rows : {0, 1, 5, 39, 40, 41, 200, 1000}) {
        auto t = Table(std::max(rows, 1));
        RecordingTarget target;
        target.dev.height = 3000;
        struct Count : PrintProgress {
            int pages = 0, maxPage = 0, lines = 0, maxLine = 0;
            void start(int p, int l) override { pages = p, lines = l; }
            void setPage(int p) override { maxPage = std::max(maxPage, p); }
            void setLine(int l) override { maxLine = std::max(maxLine, l); }
            bool cancelled() override { return false; }
            void finish() override {}
        } count;
        ASSERT_EQ(PrintTable(PrintRows{*t, PrintKind::History, rows}, target, &count, nullptr), PrintResult::Printed);
        EXPECT_LE(count.maxPage, count.pages) << rows;
        EXPECT_LE(count.maxLine, count.lines) << rows;
        EXPECT_GE(count.pages, 1);
        EXPECT_GE(count.pages + 1, target.pages()) << rows;   // an estimate, off by one page at most
    }
}

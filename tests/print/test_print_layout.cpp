// The printed table on a recording device: what it draws against a golden
// listing, the margins, the paging estimate.
#include "RecordingTarget.h"
#include "support/GoldenText.h"

#include "print/PrintLayout.h"
#include "print/QVPrint.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace qv;

namespace {
// No test here expects a question.
UnexpectedDialogs g_unexpected;
const bool g_installed = (qv::setDialogHandler(&g_unexpected), true);

// Everything a printout drew, page by page: the page titles, then each line
// (with its colour unless black) and each text at its baseline.
QString Listing(const RecordingTarget &t)
{
    QString out = QStringLiteral("job %1, %2 page(s)\n").arg(t.jobTitle).arg(t.pages());
    for (int page = 1; page <= t.pages(); ++page) {
        out += QStringLiteral("== page %1: %2\n").arg(page).arg(size_t(page) <= t.pageTitles.size() ? t.pageTitles[size_t(page - 1)] : QString());
        for (const DrawnLine &d : t.lines())
            if (d.page == page)
                out += QStringLiteral("line %1,%2 %3,%4%5\n")
                           .arg(d.line.x1()).arg(d.line.y1()).arg(d.line.x2()).arg(d.line.y2())
                           .arg(d.color == Qt::black ? QString() : QLatin1Char(' ') + d.color.name());
        for (const DrawnText &d : t.texts())
            if (d.page == page)
                out += QStringLiteral("text %1,%2 %3\n").arg(d.at.x()).arg(d.at.y()).arg(d.text);
    }
    return out;
}

} // namespace

// Widths from the titles, the group titles and every printed cell; titles
// centred, numbers right, data left; grey rules inside a group, black at its
// edges; later pages start with a rule and the titles without the group row;
// memory rows with an empty column one left out; an empty table prints its
// heading only; the margins. One golden listing of what each case drew.
TEST(PrintLayout, PrintedTablesMatchTheGoldenListing)
{
    auto wide = Table(3, "a comment wider than its title");
    wide->setCellBytes(1, 9, "123456789");
    auto memory = Table(4);
    memory->setCellBytes(1, 1, "");
    memory->setCellBytes(3, 3, "an even longer comment that is never printed");
    memory->setCellBytes(3, 1, "");
    auto paged = Table(30);
    CellTable emptyHistory(hc::HistoryColumns, Widths());
    emptyHistory.setRowCount(1);
    CellTable blankMemory(hc::HistoryColumns, Widths());
    blankMemory.setRowCount(512);
    const struct {
        const char *name;
        PrintRows rows;
        int pageHeight;
    } cases[] = {
        {"history with wide cells", PrintRows{*wide, PrintKind::History, 3}, 16000},
        {"memory with rows left out", PrintRows{*memory, PrintKind::Memory, 4}, 16000},
        {"history over pages", PrintRows{*paged, PrintKind::History, 30}, 2000},
        {"empty history", PrintRows{emptyHistory, PrintKind::History, 0}, 16000},
        {"blank memory", PrintRows{blankMemory, PrintKind::Memory, 512}, 16000},
    };
    QString listing;
    for (const auto &c : cases) {
        RecordingTarget target;
        target.dev.height = c.pageHeight;
        EXPECT_EQ(PrintTable(c.rows, target, nullptr, nullptr), PrintResult::Printed) << c.name;
        EXPECT_TRUE(target.ended) << c.name;
        listing += QStringLiteral("#### %1\n").arg(QLatin1String(c.name)) + Listing(target);
    }
    // The margins wanted less the unprintable border (given for portrait,
    // turned with the page), and the table starting at them.
    const struct {
        const char *name;
        bool landscape;
        PaperBorders borders;
    } margins[] = {
        {"portrait", false, {}}, {"portrait with a border", false, {100, 50, 80, 60}},
        {"landscape", true, {}}, {"landscape with a border", true, {100, 50, 80, 60}},
        {"border wider than the margin", false, {500, 0, 0, 0}}, {"vertical border", true, {0, 40, 0, 40}},
    };
    auto one = Table(1);
    for (const auto &m : margins) {
        const QMargins applied = AppliedMargins(m.landscape, m.borders, 600, 600);
        RecordingTarget target;
        target.dev.landscape = m.landscape;
        target.borders = m.borders;
        ASSERT_EQ(PrintTable(PrintRows{*one, PrintKind::History, 1}, target, nullptr, nullptr),
                  PrintResult::Printed);
        const QLineF first = target.lines().at(0).line;
        listing += QStringLiteral("#### margins, %1: %2 %3 %4 %5, first line at %6,%7\n")
                       .arg(QLatin1String(m.name)).arg(applied.left()).arg(applied.top()).arg(applied.right())
                       .arg(applied.bottom()).arg(first.x1()).arg(first.y1());
    }
    qvtest::expectGoldenText(QStringLiteral("print/tables.txt"), listing);
}

TEST(PrintLayout, PagingEstimateNeverBelowThePagesPrinted)
{
    for (int rows : {0, 1, 5, 39, 40, 41, 200, 1000}) {
        auto t = Table(std::max(rows, 1));
        RecordingTarget target;
        target.dev.height = 3000;
        ProgressProbe count;
        ASSERT_EQ(PrintTable(PrintRows{*t, PrintKind::History, rows}, target, &count, nullptr), PrintResult::Printed);
        EXPECT_LE(count.maxPage, count.pages) << rows;
        EXPECT_LE(count.maxLine, count.lines) << rows;
        EXPECT_GE(count.pages, 1);
        EXPECT_GE(count.pages + 1, target.pages()) << rows;   // an estimate, off by one page at most
    }
}

// The chart's reduction of samples to pixel columns (cases and a property over
// random series with breaks), and the series cache over a history table: rows
// read as they are appended, re-read only from a change, kept in time order,
// with the unit the rows agree on.
#include "chart/ChartReduction.h"
#include "chart/ChartSeries.h"
#include "protocol/Probes.h"
#include "history/HistoryStore.h"
#include "protocol/FormatSettings.h"
#include "support/GoldenText.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace qv;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

std::vector<ChartSample> samplesOf(std::initializer_list<std::pair<double, double>> tv)
{
    std::vector<ChartSample> out;
    for (auto [t, v] : tv)
        out.push_back({t, v, int(out.size())});
    return out;
}

} // namespace

// One line a column: x, first and last value, min and max with their rows,
// "J" when a line comes from the column before.
TEST(ChartReduction, CasesOfColumnsGapsAndBreaksMatchTheGoldenListing)
{
    const ReductionRange ten{0, 10, 10, 0, false}, gap5{0, 10, 10, 5, false};
    const struct {
        const char *name;
        std::vector<ChartSample> samples;
        ReductionRange range;
    } cases[] = {
        {"nothing", {}, ten},
        {"one column keeps first, last, min and max", samplesOf({{0, 5}, {0.2, 9}, {0.5, 1}, {0.9, 4}}), ten},
        {"neighbours are joined", samplesOf({{0, 1}, {1, 2}, {2, 3}}), ten},
        {"a pause longer than the gap breaks the line", samplesOf({{0, 1}, {1, 2}, {7, 3}}), gap5},
        {"a pause of exactly the gap does not", samplesOf({{0, 1}, {5, 2}}), gap5},
        {"a value that does not read breaks the line", samplesOf({{0, 1}, {1, NaN}, {2, 3}}), ten},
        {"a logarithmic axis breaks at zero and below", samplesOf({{0, 1}, {1, 0}, {2, -3}, {3, 3}, {4, 4}}),
         {0, 10, 10, 0, true}},
        {"a break inside one column leaves it one column", samplesOf({{0, 1}, {0.3, NaN}, {0.6, 7}}), ten},
        {"rows left of the range are skipped but continue the line", samplesOf({{-5, 1}, {-1, 2}, {3, 3}}), ten},
        {"the pause from a row left of the range still counts", samplesOf({{-9, 2}, {3, 3}}), gap5},
        {"the end of the range is in the last column; after it nothing", samplesOf({{10, 6}, {11, 8}}),
         {0, 10, 5, 0, false}},
        {"columns are pixels, not time units", samplesOf({{0, 1}, {250, 2}, {999, 3}}), {0, 1000, 4, 0, false}},
        {"an empty range gives nothing", samplesOf({{0, 1}}), {5, 5, 10, 0, false}},
    };
    QString listing;
    for (const auto &c : cases) {
        listing += QStringLiteral("== %1\n").arg(QLatin1String(c.name));
        for (const PixelColumn &col : ReduceToColumns(c.samples.data(), c.samples.size(), c.range))
            listing += QStringLiteral("%1: %2 %3 min %4 (row %5) max %6 (row %7)%8\n")
                           .arg(col.x).arg(col.first).arg(col.last).arg(col.min).arg(col.minRow)
                           .arg(col.max).arg(col.maxRow).arg(col.joined ? " J" : "");
    }
    qvtest::expectGoldenText(QStringLiteral("chart/reduction.txt"), listing);
}

TEST(ChartReduction, EverySampleInSightLiesInItsColumnAndBreaksAreWhereTheDataBreaks)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        // A series with runs, pauses and unreadable values.
        std::vector<ChartSample> s;
        double t = 0;
        const int n = 1 + int(rng() % 3000);
        for (int i = 0; i < n; ++i) {
            t += rng() % 50 == 0 ? 1000 + rng() % 5000 : 1 + rng() % 20;
            s.push_back({t, rng() % 40 == 0 ? NaN : double(int(rng() % 2001) - 500), i});
        }
        ReductionRange r;
        r.t0 = double(rng() % size_t(t + 1)) - 100;
        r.t1 = r.t0 + 1 + rng() % size_t(t + 200);
        r.width = 1 + int(rng() % 900);
        r.gap = rng() % 2 ? 500 : 0;
        r.positiveOnly = rng() % 2;
        const auto cols = ReduceToColumns(s.data(), s.size(), r);

        // Each drawable sample in sight lies in its column; the first of a
        // column gives its first value, joined when the sample before it can
        // be drawn and is near enough.
        const auto ok = [&r](double v) { return !std::isnan(v) && (!r.positiveOnly || v > 0); };
        const double scale = r.width / (r.t1 - r.t0);
        std::vector<int> columns;   // the columns with a sample, in order
        int prev = -1;              // the sample before, when it can be drawn
        for (size_t i = 0; i < s.size() && s[i].t <= r.t1; ++i) {
            if (ok(s[i].v) && s[i].t >= r.t0) {
                const int x = std::min(r.width - 1, int((s[i].t - r.t0) * scale));
                const bool firstInColumn = columns.empty() || columns.back() != x;
                if (firstInColumn)
                    columns.push_back(x);
                ASSERT_LE(columns.size(), cols.size());
                const PixelColumn &c = cols[columns.size() - 1];
                EXPECT_LE(c.min, s[i].v);
                EXPECT_GE(c.max, s[i].v);
                if (firstInColumn) {
                    EXPECT_EQ(c.first, s[i].v);
                    const bool joined = prev >= 0 && (r.gap <= 0 || s[i].t - s[size_t(prev)].t <= r.gap);
                    EXPECT_EQ(c.joined, joined) << "round " << round << " sample " << i;
                }
            }
            prev = ok(s[i].v) ? int(i) : -1;
        }
        std::vector<int> got;
        for (const PixelColumn &c : cols)
            got.push_back(c.x);
        ASSERT_EQ(got, columns) << "round " << round;
    }
}

namespace {

class ChartSeriesTest : public ::testing::Test {
protected:
    ChartSeriesTest() : settings({'.', '-', ':'}), store(widths) {}

    // A captured row: date, time, value and the probe in the notes.
    void add(const char *date, const char *time, const char *value, const char *notes = "Z.K-700")
    {
        HistoryRow r;
        r[hc::Date] = date;
        r[hc::Time] = time;
        r[hc::Value] = value;
        r[hc::Notes] = notes;
        store.addCapturedRow(r);
    }
    static double at(int d, int mo, int y, int h, int mi, int s)
    {
        return double(QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::LocalTime).toMSecsSinceEpoch());
    }
    std::vector<int> rowsInOrder() const
    {
        std::vector<int> rows;
        for (const ChartSample &s : series.samples())
            rows.push_back(s.row);
        return rows;
    }

    ScopedFormatSettings settings;
    TextWidths widths = TextWidths::fixed(6);
    HistoryStore store;
    ChartSeries series;
};

} // namespace

TEST_F(ChartSeriesTest, ReadsDateTimeAndValueOfEachRowAndSkipsRowsWithoutATime)
{
    add("07-12-26", "10:00:00", "1.234e3");
    add("07-12-26", "10:00:01", "Over");
    add("", "", "5");
    add("31-12-26", "23:59:59", "500.0e-3");
    series.follow(store.hist(), store.HistRows());
    ASSERT_EQ(series.samples().size(), 3u);
    EXPECT_EQ(series.samples()[0].t, at(7, 12, 2026, 10, 0, 0));
    EXPECT_DOUBLE_EQ(series.samples()[0].v, 1234);
    EXPECT_TRUE(std::isnan(series.samples()[1].v));   // a break, not a row left out
    EXPECT_EQ(series.samples()[2].t, at(31, 12, 2026, 23, 59, 59));
    EXPECT_DOUBLE_EQ(series.samples()[2].v, 0.5);
    EXPECT_EQ(series.samples()[2].row, 3);

    double ms = 0;
    EXPECT_TRUE(ReadRowTime("01.02.27", "03.04.05", ms)) << "any separators";
    EXPECT_EQ(ms, at(1, 2, 2027, 3, 4, 5));
    for (auto [d, t] : {std::pair{"32-01-26", "00:00:00"}, {"01-13-26", "00:00:00"}, {"01-01-26", "24:00:00"},
                        {"1-1-26", "00:00:00"}, {"01-01-26", "00:60:00"}, {"01-01-2", "00:00:00"}})
        EXPECT_FALSE(ReadRowTime(d, t, ms)) << d << ' ' << t;
}

TEST_F(ChartSeriesTest, FollowsAppendsWithoutReadingEarlierRowsAgain)
{
    add("07-12-26", "10:00:00", "1");
    add("07-12-26", "10:00:02", "2");
    series.follow(store.hist(), store.HistRows());
    // A row already read is not looked at again unless the series is told.
    store.hist().setCellBytes(0, hc::Value, "9");
    add("07-12-26", "10:00:03", "3");
    series.follow(store.hist(), store.HistRows());
    EXPECT_EQ(series.rowsRead(), 3);
    ASSERT_EQ(series.samples().size(), 3u);
    EXPECT_EQ(series.samples()[0].v, 1);
    EXPECT_EQ(series.samples()[2].v, 3);

    series.invalidateFrom(0);
    series.follow(store.hist(), store.HistRows());
    EXPECT_EQ(series.samples()[0].v, 9);

    // A deletion: rows from it are read again, with their new numbers.
    store.HistDeleteRow(1);
    series.invalidateFrom(1);
    series.follow(store.hist(), store.HistRows());
    EXPECT_EQ(rowsInOrder(), (std::vector<int>{0, 1}));
    EXPECT_EQ(series.samples()[1].v, 3);
}

TEST_F(ChartSeriesTest, RowsOutOfTimeOrderAreMergedByTime)
{
    add("07-12-26", "10:00:00", "1");
    add("07-12-26", "12:00:00", "2");
    series.follow(store.hist(), store.HistRows());
    // A memory transfer brings older cells after newer rows.
    add("06-12-26", "09:00:00", "3");
    add("07-12-26", "11:00:00", "4");
    add("07-12-26", "13:00:00", "5");
    series.follow(store.hist(), store.HistRows());
    EXPECT_EQ(rowsInOrder(), (std::vector<int>{2, 0, 3, 1, 4}));
}

TEST_F(ChartSeriesTest, TheUnitIsShownOnlyWhileEveryRowAgrees)
{
    add("07-12-26", "10:00:00", "1", "Z.K-700");
    add("07-12-26", "10:00:01", "1", "Z.K-700, Over");
    series.follow(store.hist(), store.HistRows());
    EXPECT_EQ(series.unit(), QStringLiteral("lx"));
    add("07-12-26", "10:00:02", "1", "Z.K-700, Lum.10\xb0");
    series.follow(store.hist(), store.HistRows());
    EXPECT_EQ(series.unit(), QString()) << "illuminance and luminance do not agree";
    series.invalidateFrom(2);
    EXPECT_EQ(series.unit(), QStringLiteral("lx"));

    const std::pair<const char *, const char *> probes[] = {
        {"Z.BLH-700", "W/m²"}, {"Z.UVA-700, Lum.", "W/(m²·sr)"}, {"Ammeter 700f", "A"},
        {"Amperomierz 7p", "A"}, {"Z.PAR-700", "E/(m²·s)"}, {"Z.K-700, Lum.1\xb0", "cd/m²"},
        {"Z.?(250)", ""}, {"No probe", ""}, {"", ""}};
    for (auto [notes, unit] : probes)
        EXPECT_EQ(ProbeUnitOfNotes(notes), QString::fromUtf8(unit)) << notes;
}

TEST_F(ChartSeriesTest, TheGapIsTenTypicalStepsAndAtLeastAMinute)
{
    for (int i = 0; i < 50; ++i)
        add("07-12-26", qPrintable(QTime(10, 0).addSecs(i).toString(QStringLiteral("hh:mm:ss"))), "1");
    series.follow(store.hist(), store.HistRows());
    EXPECT_EQ(series.gap(), 60000);
    series.clear();
    store.HistDeleteAll();
    for (int i = 0; i < 50; ++i)
        add("07-12-26", qPrintable(QTime(10, 0).addSecs(i * 120).toString(QStringLiteral("hh:mm:ss"))), "1");
    series.follow(store.hist(), store.HistRows());
    EXPECT_EQ(series.gap(), 1200000);
}

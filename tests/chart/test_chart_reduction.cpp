// The chart's reduction of samples to pixel columns (cases and a property over
// random series with breaks), and the series cache over a history table: rows
// read as they are appended, re-read only from a change, kept in time order,
// with the unit the rows agree on.
#include "chart/ChartReduction.h"
#include "chart/ChartSeries.h"
#include "protocol/Probes.h"
#include "history/HistoryStore.h"
#include "protocol/FormatSettings.h"

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

struct Col {
    int x;
    double first, last, min, max;
    bool joined;
};

struct ReductionCase {
    const char *name;
    std::vector<ChartSample> samples;
    ReductionRange range;
    std::vector<Col> expected;
};

} // namespace

TEST(ChartReduction, CasesOfColumnsGapsAndBreaks)
{
    const ReductionCase cases[] = {
        {"nothing", {}, {0, 10, 10, 0, false}, {}},
        {"one column keeps first, last, min and max",
         samplesOf({{0, 5}, {0.2, 9}, {0.5, 1}, {0.9, 4}}), {0, 10, 10, 0, false}, {{0, 5, 4, 1, 9, false}}},
        {"neighbours are joined", samplesOf({{0, 1}, {1, 2}, {2, 3}}), {0, 10, 10, 0, false},
         {{0, 1, 1, 1, 1, false}, {1, 2, 2, 2, 2, true}, {2, 3, 3, 3, 3, true}}},
        {"a pause longer than the gap breaks the line", samplesOf({{0, 1}, {1, 2}, {7, 3}}), {0, 10, 10, 5, false},
         {{0, 1, 1, 1, 1, false}, {1, 2, 2, 2, 2, true}, {7, 3, 3, 3, 3, false}}},
        {"a pause of exactly the gap does not", samplesOf({{0, 1}, {5, 2}}), {0, 10, 10, 5, false},
         {{0, 1, 1, 1, 1, false}, {5, 2, 2, 2, 2, true}}},
        {"a value that does not read breaks the line", samplesOf({{0, 1}, {1, NaN}, {2, 3}}), {0, 10, 10, 0, false},
         {{0, 1, 1, 1, 1, false}, {2, 3, 3, 3, 3, false}}},
        {"a logarithmic axis breaks at zero and below", samplesOf({{0, 1}, {1, 0}, {2, -3}, {3, 3}, {4, 4}}),
         {0, 10, 10, 0, true}, {{0, 1, 1, 1, 1, false}, {3, 3, 3, 3, 3, false}, {4, 4, 4, 4, 4, true}}},
        {"a break inside one column leaves it one column", samplesOf({{0, 1}, {0.3, NaN}, {0.6, 7}}),
         {0, 10, 10, 0, false}, {{0, 1, 7, 1, 7, false}}},
        {"rows left of the range are skipped but continue the line", samplesOf({{-5, 1}, {-1, 2}, {3, 3}}),
         {0, 10, 10, 0, false}, {{3, 3, 3, 3, 3, true}}},
        {"the pause from a row left of the range still counts", samplesOf({{-9, 2}, {3, 3}}),
         {0, 10, 10, 5, false}, {{3, 3, 3, 3, 3, false}}},
        {"the end of the range is in the last column; after it nothing",
         samplesOf({{10, 6}, {11, 8}}), {0, 10, 5, 0, false}, {{4, 6, 6, 6, 6, false}}},
        {"columns are pixels, not time units", samplesOf({{0, 1}, {250, 2}, {999, 3}}), {0, 1000, 4, 0, false},
         {{0, 1, 1, 1, 1, false}, {1, 2, 2, 2, 2, true}, {3, 3, 3, 3, 3, true}}},
        {"an empty range gives nothing", samplesOf({{0, 1}}), {5, 5, 10, 0, false}, {}},
    };
    for (const ReductionCase &c : cases) {
        SCOPED_TRACE(c.name);
        const auto got = ReduceToColumns(c.samples.data(), c.samples.size(), c.range);
        ASSERT_EQ(got.size(), c.expected.size());
        for (size_t i = 0; i < got.size(); ++i) {
            const Col &e = c.expected[i];
            EXPECT_EQ(got[i].x, e.x) << i;
            EXPECT_EQ(got[i].first, e.first) << i;
            EXPECT_EQ(got[i].last, e.last) << i;
            EXPECT_EQ(got[i].min, e.min) << i;
            EXPECT_EQ(got[i].max, e.max) << i;
            EXPECT_EQ(got[i].joined, e.joined) << i;
            EXPECT_EQ(c.samples[size_t(got[i].minRow)].v, e.min) << i;
            EXPECT_EQ(c.samples[size_t(got[i].maxRow)].v, e.max) << i;
        }
    }
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
            const double v = rng() % 40 == 0 ? NaN : double(int(rng() % 2001) - 500);
            s.push_back({t, v, i});
        }
        ReductionRange r;
        r.t0 = double(rng() % size_t(t + 1)) - 100;
        r.t1 = r.t0 + 1 + rng() % size_t(t + 200);
        r.width = 1 + int(rng() % 900);
        r.gap = rng() % 2 ? 500 : 0;
        r.positiveOnly = rng() % 2;
        const auto cols = ReduceToColumns(s.data(), s.size(), r);
        ASSERT_LE(cols.size(), size_t(r.width));

        const auto ok = [&r](double v) { return !std::isnan(v) && (!r.positiveOnly || v > 0); };
        const double scale = r.width / (r.t1 - r.t0);
        size_t k = 0;          // the column of the sample at hand
        int prev = -1;         // the sample before, when it can be drawn
        int prevX = -1;        // the column of the last sample drawn
        for (size_t i = 0; i < s.size() && s[i].t <= r.t1; ++i) {
            const bool drawn = ok(s[i].v) && s[i].t >= r.t0;
            if (drawn) {
                const int x = std::min(r.width - 1, int((s[i].t - r.t0) * scale));
                while (k < cols.size() && cols[k].x < x)
                    ++k;
                ASSERT_LT(k, cols.size());
                ASSERT_EQ(cols[k].x, x);
                EXPECT_LE(cols[k].min, s[i].v);
                EXPECT_GE(cols[k].max, s[i].v);
                if (x != prevX) {   // the first sample of its column
                    EXPECT_EQ(cols[k].first, s[i].v);
                    const bool joined = prev >= 0 && (r.gap <= 0 || s[i].t - s[size_t(prev)].t <= r.gap);
                    EXPECT_EQ(cols[k].joined, joined) << "round " << round << " sample " << i;
                }
                prevX = x;
            }
            prev = ok(s[i].v) ? int(i) : -1;
        }
        // No column without a sample in it.
        size_t drawnColumns = 0;
        std::vector<bool> seen(size_t(r.width), false);
        for (const ChartSample &x : s)
            if (ok(x.v) && x.t >= r.t0 && x.t <= r.t1) {
                const size_t c = size_t(std::min(r.width - 1, int((x.t - r.t0) * scale)));
                drawnColumns += !seen[c];
                seen[c] = true;
            }
        EXPECT_EQ(cols.size(), drawnColumns);
        for (size_t c = 1; c < cols.size(); ++c)
            ASSERT_LT(cols[c - 1].x, cols[c].x);
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

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
using qvtest::expectGoldenText;

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
        {"rows left of the range are skipped; the line goes on", samplesOf({{-5, 1}, {-1, 2}, {3, 3}}), ten},
        {"the pause from a row left of the range still counts", samplesOf({{-9, 2}, {3, 3}}), gap5},
        {"the end of the range is in the last column; after it nothing", samplesOf({{10, 6}, {11, 8}}),
         {0, 10, 5, 0, false}},
        {"columns are pixels, not time", samplesOf({{0, 1}, {250, 2}, {999, 3}}), {0, 1000, 4, 0, false}},
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
    expectGoldenText(QStringLiteral("chart/reduction.txt"), listing);
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

    // Runs steps on the store and the series and, after each "follow" and
    // "invalidate", lists the samples (row: time = value), the rows read,
    // the unit and the gap. "add:date|time|value[|notes]" captures a row
    // (notes "Z.K-700" unless given), "every:n|seconds" captures n rows from
    // 10:00:00, "set:row|value" changes a value, "delete:row" deletes a row
    // and "clear" empties the store and the series.
    QString trace(const QStringList &steps)
    {
        QString listing;
        for (const QString &step : steps) {
            const QString what = step.section(':', 0, 0);
            const QStringList args = step.section(':', 1).split('|');
            if (what == "add")
                add(args[0], args[1], args[2], args.value(3, QStringLiteral("Z.K-700")));
            for (int i = 0; what == "every" && i < args[0].toInt(); ++i)
                add("07-12-26", QTime(10, 0).addSecs(i * args[1].toInt()).toString(), "1", "Z.K-700");
            if (what == "set")
                store.hist().setCellBytes(args[0].toInt(), hc::Value, args[1].toStdString());
            if (what == "delete")
                store.HistDeleteRow(args[0].toInt());
            if (what == "clear")
                store.HistDeleteAll();
            if (what == "invalidate" || what == "clear")
                series.invalidateFrom(args[0].toInt());
            if (what == "follow")
                series.follow(store.hist(), store.HistRows());
            if (what != "follow" && what != "invalidate")
                continue;
            listing += step + " ->";
            for (const ChartSample &c : series.samples())
                listing += QStringLiteral(" %1: %2 = %3").arg(c.row)
                               .arg(QDateTime::fromMSecsSinceEpoch(qint64(c.t)).toString(Qt::ISODateWithMs))
                               .arg(c.v);
            listing += QStringLiteral("; read %1, unit \"%2\", gap %3\n")
                           .arg(series.rowsRead()).arg(series.unit()).arg(series.gap());
        }
        return listing;
    }
    void add(const QString &date, const QString &time, const QString &value, const QString &notes)
    {
        HistoryRow r;
        r[hc::Date] = date.toLatin1().toStdString();
        r[hc::Time] = time.toLatin1().toStdString();
        r[hc::Value] = value.toLatin1().toStdString();
        r[hc::Notes] = notes.toLatin1().toStdString();
        store.addCapturedRow(r);
    }

    ScopedFormatSettings settings;
    TextWidths widths = TextWidths::fixed(6);
    HistoryStore store;
    ChartSeries series;
};

} // namespace

TEST_F(ChartSeriesTest, StepsMatchTheGoldenTrace)
{
    const QStringList steps = {
        // Date, time and value of each row; a value that does not read is a
        // break, not a row left out; rows without a time are left out.
        "add:07-12-26|10:00:00|1.234e3", "add:07-12-26|10:00:01|Over", "add:||5",
        "add:31-12-26|23:59:59|500.0e-3", "follow", "clear",
        // Appended rows are read without reading earlier ones again, unless
        // the series is told; after a deletion, with their new numbers.
        "add:07-12-26|10:00:00|1", "add:07-12-26|10:00:02|2", "follow", "set:0|9", "add:07-12-26|10:00:03|3",
        "follow", "invalidate:0", "follow", "delete:1", "invalidate:1", "follow", "clear",
        // Rows out of time order (a memory transfer brings older cells after
        // newer rows) are merged by time.
        "add:07-12-26|10:00:00|1", "add:07-12-26|12:00:00|2", "follow", "add:06-12-26|09:00:00|3",
        "add:07-12-26|11:00:00|4", "add:07-12-26|13:00:00|5", "follow", "clear",
        // The unit is shown only while every row agrees: illuminance and luminance do not.
        "add:07-12-26|10:00:00|1|Z.K-700", "add:07-12-26|10:00:01|1|Z.K-700, Over", "follow",
        "add:07-12-26|10:00:02|1|Z.K-700, Lum.10\u00b0", "follow", "invalidate:2", "clear",
        // The gap is ten typical steps and at least a minute.
        "every:50|1", "follow", "clear", "every:50|120", "follow",
    };
    expectGoldenText(QStringLiteral("chart/series-trace.txt"), trace(steps));
}

TEST(ChartSeries, RowTimesReadWithAnySeparatorsAndOnlyWhenValid)
{
    double ms = 0;
    EXPECT_TRUE(ReadRowTime("01.02.27", "03.04.05", ms));
    EXPECT_EQ(ms, double(QDateTime(QDate(2027, 2, 1), QTime(3, 4, 5)).toMSecsSinceEpoch()));
    for (auto [d, t] : {std::pair{"32-01-26", "00:00:00"}, {"01-13-26", "00:00:00"}, {"01-01-26", "24:00:00"},
                        {"1-1-26", "00:00:00"}, {"01-01-26", "00:60:00"}, {"01-01-2", "00:00:00"}})
        EXPECT_FALSE(ReadRowTime(d, t, ms)) << d << ' ' << t;
}

TEST(ChartSeries, UnitOfTheProbeNamedInTheNotes)
{
    const std::pair<const char *, const char *> probes[] = {
        {"Z.BLH-700", "W/m²"}, {"Z.UVA-700, Lum.", "W/(m²·sr)"}, {"Ammeter 700f", "A"},
        {"Amperomierz 7p", "A"}, {"Z.PAR-700", "E/(m²·s)"}, {"Z.K-700, Lum.1\xb0", "cd/m²"},
        {"Z.?(250)", ""}, {"No probe", ""}, {"", ""}};
    for (auto [notes, unit] : probes)
        EXPECT_EQ(ProbeUnitOfNotes(notes), QString::fromUtf8(unit)) << notes;
}

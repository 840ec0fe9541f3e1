#include "chart/ChartSeries.h"

#include "history/CellTable.h"
#include "history/HistoryColumns.h"
#include "protocol/Cp1250.h"
#include "protocol/FormatSettings.h"
#include "protocol/Probes.h"
#include "search/HistorySearch.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <limits>

namespace qv {

namespace {

bool twoDigits(std::string_view s, size_t at, int &out)
{
    if (s.size() < at + 2 || s[at] < '0' || s[at] > '9' || s[at + 1] < '0' || s[at + 1] > '9')
        return false;
    out = (s[at] - '0') * 10 + (s[at + 1] - '0');
    return true;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
int64_t daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// The local zone's offset in one hour of the wall clock. Rows come in runs of
// the same hour, so one remembered hour saves nearly every look-up.
int64_t localOffsetSeconds(int64_t hourKey, int y, int m, int d, int h)
{
    thread_local int64_t lastKey = std::numeric_limits<int64_t>::min();
    thread_local int64_t lastOffset = 0;
    if (hourKey != lastKey) {
        lastKey = hourKey;
        lastOffset = QDateTime(QDate(y, m, d), QTime(h, 0), Qt::LocalTime).offsetFromUtc();
    }
    return lastOffset;
}

bool byTime(const ChartSample &a, const ChartSample &b)
{
    return a.t < b.t || (a.t == b.t && a.row < b.row);
}

} // namespace

bool ReadRowTime(std::string_view date, std::string_view time, double &ms)
{
    int d, mo, y, h, mi, s;
    if (!twoDigits(date, 0, d) || !twoDigits(date, 3, mo) || !twoDigits(date, 6, y) || !twoDigits(time, 0, h) ||
        !twoDigits(time, 3, mi) || !twoDigits(time, 6, s))
        return false;
    if (d < 1 || d > 31 || mo < 1 || mo > 12 || h > 23 || mi > 59 || s > 59)
        return false;
    y += 2000;   // the meter's clock keeps the year in the century
    const int64_t days = daysFromCivil(y, mo, d);
    const int64_t wall = days * 86400 + h * 3600 + mi * 60 + s;
    ms = double(wall - localOffsetSeconds(days * 24 + h, y, mo, d, h)) * 1000.0;
    return true;
}

void ChartSeries::follow(const CellTable &table, int rows)
{
    rows = std::min(rows, table.rowCount());
    if (rows <= m_rowsRead)
        return;
    const char decimal = ToCp1250(QString(formatSettings().decimalSeparator)).at(0);
    const size_t before = m_samples.size();
    m_rowUnits.reserve(size_t(rows));
    std::string_view cells[hc::Notes + 1];
    for (int r = m_rowsRead; r < rows; ++r) {
        table.splitRow(r, cells, hc::Notes + 1);
        const uint16_t unit = unitIndex(cells[hc::Notes]);
        m_rowUnits.push_back(unit);
        double t;
        if (!ReadRowTime(cells[hc::Date], cells[hc::Time], t)) {
            m_rowUnits.back() = UINT16_MAX;   // not plotted: takes no part in the unit
            continue;
        }
        ++m_unitCounts[unit];
        double v;
        if (!ReadSearchNumber(cells[hc::Value], decimal, v))
            v = std::numeric_limits<double>::quiet_NaN();
        m_samples.push_back({t, v, r});
    }
    m_rowsRead = rows;
    // Rows normally come in time order; a memory transfer or a file may not.
    const auto middle = m_samples.begin() + std::ptrdiff_t(before);
    if (!std::is_sorted(middle, m_samples.end(), byTime))
        std::sort(middle, m_samples.end(), byTime);
    if (before > 0 && middle != m_samples.end() && byTime(*middle, *(middle - 1)))
        std::inplace_merge(m_samples.begin(), middle, m_samples.end(), byTime);
    m_gap = -1;
}

void ChartSeries::invalidateFrom(int row)
{
    row = std::max(row, 0);
    if (row >= m_rowsRead)
        return;
    for (size_t r = size_t(row); r < m_rowUnits.size(); ++r)
        if (m_rowUnits[r] != UINT16_MAX)
            --m_unitCounts[m_rowUnits[r]];
    m_rowUnits.resize(size_t(row));
    m_samples.erase(std::remove_if(m_samples.begin(), m_samples.end(),
                                   [row](const ChartSample &s) { return s.row >= row; }),
                    m_samples.end());
    m_rowsRead = row;
    m_gap = -1;
}

uint16_t ChartSeries::unitIndex(std::string_view notes)
{
    // Most rows repeat the notes of the row before.
    if (!m_units.empty() && notes == m_lastNotes)
        return m_lastUnit;
    if (m_units.empty()) {
        m_units.emplace_back();
        m_unitCounts.push_back(0);
    }
    const QString unit = ProbeUnitOfNotes(notes);
    auto at = std::find(m_units.begin(), m_units.end(), unit);
    if (at == m_units.end()) {
        m_units.push_back(unit);
        m_unitCounts.push_back(0);
        at = m_units.end() - 1;
    }
    m_lastNotes.assign(notes);
    m_lastUnit = uint16_t(at - m_units.begin());
    return m_lastUnit;
}

QString ChartSeries::unit() const
{
    int found = -1;
    for (size_t i = 0; i < m_unitCounts.size(); ++i) {
        if (m_unitCounts[i] == 0)
            continue;
        if (found >= 0 || i == 0)
            return {};
        found = int(i);
    }
    return found > 0 ? m_units[size_t(found)] : QString();
}

double ChartSeries::gap() const
{
    if (m_gap >= 0)
        return m_gap;
    // The median step of up to a thousand evenly spread pairs of neighbours.
    std::vector<double> steps;
    const size_t n = m_samples.size();
    if (n >= 2) {
        const size_t stride = std::max<size_t>(1, (n - 1) / 1000);
        for (size_t i = 1; i < n; i += stride)
            steps.push_back(m_samples[i].t - m_samples[i - 1].t);
    }
    double median = 0;
    if (!steps.empty()) {
        std::nth_element(steps.begin(), steps.begin() + std::ptrdiff_t(steps.size() / 2), steps.end());
        median = steps[steps.size() / 2];
    }
    m_gap = std::max(60000.0, 10 * median);
    return m_gap;
}

} // namespace qv

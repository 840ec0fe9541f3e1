// The history as the chart plots it: each row's date and time (columns 1 and
// 2, as the program writes them) and its measured value (column 4), kept as
// samples sorted by time. Rows added at the end are read as they come; only a
// change to rows already read (a deletion, a new file) makes the series read
// again, and then from the first row changed. The probe named in each row's
// notes gives the unit, shown when all rows agree.
#pragma once

#include "chart/ChartReduction.h"

#include <QString>

#include <cstdint>
#include <string_view>
#include <vector>

namespace qv {

class CellTable;

// A row's date ("dd-mm-yy") and time ("hh:nn:ss"), with any separators, as
// milliseconds since the epoch in local time. False when they do not read.
bool ReadRowTime(std::string_view date, std::string_view time, double &ms);

class ChartSeries {
public:
    // Reads the rows [rowsRead(), rows) of the table; rows without a date and
    // time are left out, values that do not read are breaks in the line.
    void follow(const CellTable &table, int rows);
    // Rows from `row` on changed or went: they are read again by follow.
    void invalidateFrom(int row);
    void clear() { invalidateFrom(0); }

    int rowsRead() const { return m_rowsRead; }
    const std::vector<ChartSample> &samples() const { return m_samples; }
    bool empty() const { return m_samples.empty(); }
    // The unit every row agrees on, else empty.
    QString unit() const;
    // A pause longer than this (ms) is the meter off: ten typical steps
    // between rows, and at least a minute.
    double gap() const;

private:
    uint16_t unitIndex(std::string_view notes);

    std::vector<ChartSample> m_samples;
    std::vector<uint16_t> m_rowUnits;      // the unit of each row read
    std::vector<QString> m_units;          // index 0: no unit known
    std::vector<int> m_unitCounts;
    std::string m_lastNotes;
    uint16_t m_lastUnit = 0;
    int m_rowsRead = 0;
    mutable double m_gap = -1;
};

} // namespace qv

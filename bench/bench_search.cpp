// The history search on a million rows held in the store: two number
// criteria joined by "and", and a text criterion on the notes. The floor is
// one pass that reads the value column of every row as a number.
#include "protocol/FormatSettings.h"
#include "search/HistorySearch.h"

#include "QtBenchmarkMain.h"

using namespace qv;

namespace {

void runSearch(benchmark::State &state, const std::vector<Criterion> &criteria)
{
    formatSettings().decimalSeparator = '.';
    HistoryStore &s = qvbench::millionRowStore().store;
    const HistorySearch search(criteria, false);
    size_t found = 0;
    for (auto _ : state) {
        const std::vector<int> rows = search.run(s.hist(), s.HistRows());
        found = rows.size();
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetItemsProcessed(int64_t(qvbench::MillionRows) * state.iterations());
    state.counters["found"] = double(found);
}

// The floor: every value cell read as a number once.
void floorReadEveryValue(benchmark::State &state)
{
    HistoryStore &s = qvbench::millionRowStore().store;
    for (auto _ : state) {
        double sum = 0, v = 0;
        for (int r = 0; r < s.HistRows(); ++r)
            if (ReadSearchNumber(s.hist().cellView(r, 4), '.', v))
                sum += v;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(qvbench::MillionRows) * state.iterations());
}

// Registered in this order, under the names their figures are quoted by.
const bool registered = [] {
    using C = std::vector<Criterion>;
    const C twoNumbers{{4, OpGreaterEqual, "500.0e-3"}, {10, OpLess, "490.0"}};
    const C notes{{15, OpContains, "over"}};
    for (auto *b : {benchmark::RegisterBenchmark("BM_SearchTwoNumbersAnd", runSearch, twoNumbers),
                    benchmark::RegisterBenchmark("BM_SearchNotesText", runSearch, notes),
                    benchmark::RegisterBenchmark("BM_FloorReadEveryValue", floorReadEveryValue)})
        b->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace

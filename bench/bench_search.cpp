// The history search on a million rows held in the store: two number
// criteria joined by "and", and a text criterion on the notes. The floor is
// one pass that reads the value column of every row as a number.
#include "HistoryRows.h"
#include "protocol/FormatSettings.h"
#include "search/HistorySearch.h"

using namespace qv;

namespace {

constexpr int Rows = 1000000;

HistoryStore &history()
{
    static const TextWidths widths = TextWidths::fixed(6);
    static HistoryStore store(widths);
    if (store.HistRows() == 0)
        qvbench::fill(store, qvbench::sourceRows(1), Rows);
    return store;
}

void runSearch(benchmark::State &state, const std::vector<Criterion> &criteria, bool orMode)
{
    formatSettings().decimalSeparator = '.';
    HistoryStore &s = history();
    const HistorySearch search(criteria, orMode);
    size_t found = 0;
    for (auto _ : state) {
        const std::vector<int> rows = search.run(s.hist(), s.HistRows());
        found = rows.size();
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetItemsProcessed(int64_t(Rows) * state.iterations());
    state.counters["found"] = double(found);
}

void BM_SearchTwoNumbersAnd(benchmark::State &state)
{
    runSearch(state, {{4, OpGreaterEqual, "500.0e-3"}, {10, OpLess, "490.0"}}, false);
}

void BM_SearchNotesText(benchmark::State &state)
{
    runSearch(state, {{15, OpContains, "over"}}, false);
}

// The floor: every value cell read as a number once.
void BM_FloorReadEveryValue(benchmark::State &state)
{
    HistoryStore &s = history();
    for (auto _ : state) {
        double sum = 0, v = 0;
        for (int r = 0; r < s.HistRows(); ++r)
            if (ReadSearchNumber(s.hist().cellView(r, 4), '.', v))
                sum += v;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(Rows) * state.iterations());
}

} // namespace

BENCHMARK(BM_SearchTwoNumbersAnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchNotesText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorReadEveryValue)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return qvbench::benchMain(argc, argv);
}

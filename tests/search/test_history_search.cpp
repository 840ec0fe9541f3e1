// The search's tests by column kind, "and" against "or", and the result text.
#include "files/FileTestSupport.h"
#include "files/GoldenTable.h"
#include "history/HistoryStore.h"
#include "protocol/Cp1250.h"
#include "protocol/FormatSettings.h"
#include "search/HistorySearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <random>

using namespace qv;

namespace {

struct Histories {
    HistoryStore store{filetest::OneEach};

    void add(std::initializer_list<std::pair<int, const char *>> cells)
    {
        HistoryRow r;
        for (const auto &c : cells)
            r[c.first] = c.second;
        store.addCapturedRow(r);
    }
    // Labels (column 0) of the rows found.
    std::vector<std::string> find(std::vector<Criterion> criteria, bool orMode = false)
    {
        std::vector<std::string> labels;
        for (int r : HistorySearch(criteria, orMode).run(store.hist(), store.HistRows()))
            labels.emplace_back(store.hist().cellView(r, 0));
        return labels;
    }
};

using Labels = std::vector<std::string>;

} // namespace

TEST(HistorySearch, EachKindOfColumn)
{
    const ScopedFormatSettings scoped(FormatSettings{'.', '-', ':'});
    Histories h;
    h.add({{1, "01-02-99"}, {2, "07:05:03"}, {3, "lamp 1  "}, {4, "1.5e3"}, {15, "a b"}});
    h.add({{1, "01-02-05"}, {2, "17:00:00"}, {3, "Lamp 10"}, {4, "Over"}, {15, "Z.K-700 Over"}});
    h.add({{1, "15-06-05"}, {2, "07:05:04"}, {3, "\xb3\xf3" "d\x9f"}, {4, "500.0e-3"}, {15, "under"}});
    h.add({{4, ""}});
    qvtest::expectGoldenTable("search/criteria-by-column.tsv", 3, [&](const QStringList &in) {
        QStringList labels;
        for (const std::string &label : h.find({{in[0].toInt(), in[1].toInt(), in[2]}}))
            labels << QString::fromStdString(label);
        return QStringList{labels.join(' ')};
    });
}

TEST(HistorySearch, AndNeedsEveryBoxOrTakesARowOnce)
{
    const ScopedFormatSettings scoped(FormatSettings{',', '-', ':'});
    Histories h;
    h.add({{3, "x"}, {4, "1,5"}, {10, "2"}});
    h.add({{3, "x"}, {4, "3"}, {10, "2"}});
    h.add({{3, "y"}, {4, "1.5"}, {10, "9"}});   // a full stop under a decimal comma is no number
    const std::vector<Criterion> both = {{4, OpLess, "2,0"}, {3, OpTextEqual, "X"}};
    EXPECT_EQ(h.find(both), (Labels{"1"}));
    EXPECT_EQ(h.find(both, true), (Labels{"1", "2"})) << "row 1 matches both boxes and comes once";
    // A box switched off counts for nothing.
    EXPECT_EQ(h.find({{10, OpEqual, "2"}, {4, OpOff, "1"}}), (Labels{"1", "2"}));
    EXPECT_EQ(h.find({}, true), Labels{});
}

TEST(HistorySearch, NumbersReadWithoutAllocationAndResultsCopyWholeRows)
{
    double v = 0;
    EXPECT_TRUE(ReadSearchNumber(" +12.5e3 ", '.', v));   // blanks and a plus, beyond the parser below
    EXPECT_DOUBLE_EQ(v, 12500);
    for (const char *bad : {"12 346", "inf", "nan", "0x10"})
        EXPECT_FALSE(ReadSearchNumber(bad, '.', v)) << bad;

    Histories h;
    h.add({{3, "a"}, {15, "n"}});
    h.add({{3, "b"}});
    CopyResults(h.store.hist(), {1}, h.store.reply());
    EXPECT_EQ(h.store.reply().rowView(0), h.store.hist().rowView(1));
    EXPECT_TRUE(h.store.ReplyOK());
    CopyResults(h.store.hist(), {}, h.store.reply());
    EXPECT_FALSE(h.store.ReplyOK());
}

TEST(HistorySearch, ShortNumbersReadExactlyAsTheFullParser)
{
    // Texts of every shape the fast reading takes, and some it leaves to the
    // full parser: the value must be the same double, bit for bit.
    std::mt19937 rng(7);
    const auto randomText = [&rng] {
        std::string s;
        if (rng() % 4 == 0)
            s += '-';
        const int whole = int(rng() % 8), fraction = int(rng() % 8);
        for (int i = 0; i < whole; ++i)
            s += char('0' + rng() % 10);
        if (fraction > 0 || rng() % 3 == 0)
            s += '.';
        for (int i = 0; i < fraction; ++i)
            s += char('0' + rng() % 10);
        if (rng() % 2) {
            s += rng() % 2 ? 'e' : 'E';
            const int sign = int(rng() % 3);
            if (sign)
                s += sign == 1 ? '-' : '+';
            s += std::to_string(rng() % 40);
        }
        if (rng() % 20 == 0)
            s += std::string(25, '7');   // more digits than the fast reading holds
        return s;
    };
    for (int i = 0; i < 20000; ++i) {
        const std::string text = randomText();
        double expected = 0;
        const auto r = std::from_chars(text.data(), text.data() + text.size(), expected);
        const bool parses = r.ec == std::errc() && r.ptr == text.data() + text.size();
        for (const char separator : {'.', ','}) {
            std::string typed = text;
            std::replace(typed.begin(), typed.end(), '.', separator);
            double got = 0;
            ASSERT_EQ(ReadSearchNumber(typed, separator, got), parses) << typed;
            if (parses) {
                ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << typed << " " << got;
            }
        }
    }
}

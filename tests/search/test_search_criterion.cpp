// Typed criteria as a box normalises them, per style and separators; the
// cases and what they give are in tests/data/search/typed-criteria.tsv.
#include "files/GoldenTable.h"
#include "protocol/FormatSettings.h"
#include "search/SearchCriterion.h"

#include <gtest/gtest.h>

using namespace qv;

TEST(ValidateText, TypedValuesPerStyleAndSeparators)
{
    const QDateTime now(QDate(2025, 6, 15), QTime(12, 34, 56));
    const QStringList styles = {"date", "time", "text", "real", "longint"};   // in BoxStyle's order
    qvtest::expectGoldenTable("search/typed-criteria.tsv", 5, [&](const QStringList &in) {
        FormatSettings f;
        f.decimalSeparator = in[0][0];
        f.dateSeparator = in[1][0];
        f.timeSeparator = in[2][0];
        const ScopedFormatSettings scoped(f);
        EXPECT_GE(styles.indexOf(in[3]), 0) << qPrintable(in[3]);
        // Fields a style does not fill, or a refused value, keep what they had.
        TResult r{"before", "before", "before", 99, 99};
        const Validated v = ValidateText(TSearchStyle(styles.indexOf(in[3])), in[4], r, now);
        return QStringList{v.ok ? "ok" : "refused", v.text, r.Text, r.DateText, r.TimeText,
                           QString::number(r.IntValue), QString::number(r.RealValue, 'g', 10)};
    });
}

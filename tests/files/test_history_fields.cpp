// The field rules of history files beyond the cases of the data files, with
// the separators of the system; the cases and the cells they give are in
// tests/data/files/field-rules.tsv.
#include "files/HistoryFields.h"
#include "GoldenTable.h"

#include "protocol/FormatSettings.h"

#include <gtest/gtest.h>

using namespace qv;

TEST(HistoryFields, RulesWithTheSystemSeparators)
{
    const ScopedFormatSettings settings(FormatSettings{',', '/', '.'});
    const FieldFormat f = FieldFormat::current();
    EXPECT_EQ(f.decimal, ',');
    // In FieldRule's order, then the readings of cells.
    const QStringList rules = {"Unchanged", "Date", "Time", "Elapsed", "Comment", "Number", "Integer"};
    qvtest::expectGoldenTable("files/field-rules.tsv", 2, [&](const QStringList &in) {
        const std::string field = in[1].toStdString();
        int a = 0, b = 0, c = 0;
        if (in[0] == "CellDate" || in[0] == "CellTime") {
            const ScopedFormatSettings plain(FormatSettings{'.', '-', ':'});
            const bool ok = in[0] == "CellDate" ? ReadCellDate(field, FieldFormat(), a, b, c)
                                                : ReadCellTime(field, FieldFormat(), a, b, c);
            return QStringList{ok ? QString::number(a * 10000 + b * 100 + c) : "refused"};
        }
        EXPECT_GE(rules.indexOf(in[0]), 0) << qPrintable(in[0]);
        std::string cell;
        AppendFieldCell(cell, field, FieldRule(rules.indexOf(in[0])), f);
        return QStringList{QString::fromStdString(cell)};
    });
}

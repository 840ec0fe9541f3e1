#include "cli/SearchCommand.h"

#include "cli/FileCommands.h"
#include "cli/Options.h"
#include "files/HistoryFileWriter.h"
#include "history/HistoryStore.h"
#include "search/HistorySearch.h"
#include "search/SearchCriterion.h"

#include <cstdio>

namespace qv::cli {

namespace {
struct Where {
    QString column, op, value;
};

// The operator index a box of `style` gives OP, or 0 when it has none such.
int operatorIndex(TSearchStyle style, const QString &op)
{
    static const char *const numbers[] = {"!=", "<", "<=", "=", ">=", ">"};
    static const char *const texts[] = {"contains", "=", "!contains", "!="};
    const bool text = style == ssText;
    const int count = text ? 4 : 6;
    for (int i = 0; i < count; ++i)
        if (op == QLatin1String(text ? texts[i] : numbers[i]))
            return i + 1;
    return 0;
}

// Takes every "--where COL OP VALUE" out of the arguments.
bool takeWheres(QStringList &args, std::vector<Where> &wheres)
{
    for (int i = 0; i < args.size();) {
        if (args[i] == QLatin1String("--"))
            break;
        if (args[i] != QLatin1String("--where")) {
            ++i;
            continue;
        }
        if (i + 3 >= args.size())
            return false;
        wheres.push_back({args[i + 1], args[i + 2], args[i + 3]});
        args.remove(i, 4);
    }
    return true;
}

// The criterion of one --where, normalised as the column's box does it;
// false with the message shown.
bool makeCriterion(const Where &w, Criterion &criterion)
{
    bool ok = false;
    const int column = w.column.toInt(&ok);
    if (!ok || column < 1 || column > hc::Notes) {
        failWith(QStringLiteral("--where: no column '%1' (columns are 1 to 15)").arg(w.column));
        return false;
    }
    const TSearchStyle style = ColumnStyle(column);
    const int op = operatorIndex(style, w.op);
    if (op == 0) {
        failWith(QStringLiteral("--where: column %1 has no operator '%2'").arg(column).arg(w.op));
        return false;
    }
    TResult result;
    if (!ValidateText(style, w.value, result).ok) {
        failWith(QStringLiteral("--where: '%1' is no number").arg(w.value));
        return false;
    }
    criterion = MakeCriterion(column, op, style, result);
    return true;
}
} // namespace

CommandInfo searchInfo()
{
    std::vector<OptionInfo> options = separatorOptions();
    options.push_back(languageOption());
    options.push_back({"--or", "", "keep rows that match any criterion (default: all of them)"});
    options.push_back({"--where", "COL OP VALUE", "a criterion on column COL (1-15); give one --where per column"});
    options.push_back({"--out", "FILE", "write the search results here (default: standard output)"});
    return commandInfo(
        QStringLiteral("search"), QStringLiteral("FILE"),
        QStringLiteral("Opens a history file as the program opens it, keeps the rows that match the criteria\n"
                       "and writes them as a search-results file; the result text goes to standard error."),
        options,
        QStringLiteral("OP for dates, times and numbers: != < <= = >= >; for columns 3 and 15: contains = !contains !=.\n"
                       "VALUE is read as the column's criterion box reads it.\n"
                       "Exit status: 0 when written, 2 on bad arguments or a file that cannot be read or written."));
}

int runSearch(const QStringList &arguments)
{
    QStringList args = arguments;
    std::vector<Where> wheres;
    if (!takeWheres(args, wheres))
        return failWith(QStringLiteral("--where needs a column, an operator and a value"));
    ArgumentReader o(searchInfo(), args);
    if (o.askedForInfo())
        return o.printInfo();
    const uint8_t language = readLanguage(o);
    takeSeparators(o);
    const bool orMode = o.flag(QStringLiteral("--or"));
    QString out, path;
    if (!takeFileArguments(o, QStringLiteral("--out"), false, out, path))
        return o.fail();
    // The values read with the separators given.
    std::vector<Criterion> criteria(wheres.size());
    for (size_t i = 0; i < wheres.size(); ++i)
        if (!makeCriterion(wheres[i], criteria[i]))
            return 2;

    const TextWidths widths = TextWidths::fixed(1);
    HistoryStore store(widths);
    if (const int failed = openHistory(path, store))
        return failed;
    const std::vector<int> found = HistorySearch(criteria, orMode).run(store.hist(), store.HistRows());
    CopyResults(store.hist(), found, store.reply());
    const int rows = int(found.size());
    if (out.isEmpty() || out == QLatin1String("-")) {
        const std::string bytes = HistoryFileBytes(store.reply(), 0, rows, language);
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
        if (std::fflush(stdout) != 0)
            return failWith(QStringLiteral("cannot write to standard output"));
    } else {
        const SaveResult saved = SaveHistoryFile(out, store.reply(), 0, rows, language);
        if (saved.status == SaveResult::Failed)
            return failWith(saved.message);
    }
    std::fprintf(stderr, "%s\n", qPrintable(ResultText(rows)));
    return 0;
}

} // namespace qv::cli

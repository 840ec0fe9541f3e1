#include "cli/FileCommands.h"

#include "cli/Options.h"
#include "files/CsvExport.h"
#include "files/DataFileReader.h"
#include "files/HistoryFileWriter.h"
#include "protocol/FormatSettings.h"

#include <cstdio>
#include <functional>

namespace qv::cli {

std::vector<OptionInfo> separatorOptions()
{
    return {
        {"--decimal-separator", "C", "decimal separator of the numbers (default: the system's)"},
        {"--date-separator", "C", "date separator (default: the system's)"},
        {"--time-separator", "C", "time separator (default: the system's)"},
    };
}

CommandInfo historyInfo()
{
    std::vector<OptionInfo> options = separatorOptions();
    options.insert(options.begin(), languageOption());
    options.push_back({"--out", "FILE", "write the history here (default: standard output)"});
    return commandInfo(QStringLiteral("history"), QStringLiteral("FILE"),
                       QStringLiteral("Opens a history or search-results file as the program opens it (Polish, English\n"
                                      "or legacy header, Windows-1250) and writes it as the program saves a history."),
                       options,
                       QStringLiteral("Exit status: 0 when written, 2 on bad arguments, a file that cannot be read\n"
                                      "(an unrecognised header included) or written."));
}

CommandInfo exportInfo()
{
    std::vector<OptionInfo> options = separatorOptions();
    options.push_back({"--csv", "OUT", "write CSV here (- for standard output); required"});
    return commandInfo(QStringLiteral("export"), QStringLiteral("FILE"),
                       QStringLiteral("Opens a history file as the program opens it and writes CSV for spreadsheets:\n"
                                      "UTF-8, RFC 4180 quoting, English column titles, an ISO-8601 date_time column,\n"
                                      "numbers with a full stop."),
                       options,
                       QStringLiteral("Exit status: 0 when written, 2 on bad arguments or a file that cannot be read\n"
                                      "or written."));
}

void takeSeparators(ArgumentReader &o)
{
    FormatSettings &f = formatSettings();
    f.decimalSeparator = o.character(QStringLiteral("--decimal-separator"), f.decimalSeparator);
    f.dateSeparator = o.character(QStringLiteral("--date-separator"), f.dateSeparator);
    f.timeSeparator = o.character(QStringLiteral("--time-separator"), f.timeSeparator);
}

bool takeFileArguments(ArgumentReader &o, const QString &outOption, bool outRequired, QString &out,
                       QString &path)
{
    out = o.text(outOption);
    path = o.singlePositional();
    if (o.ok() && outRequired && out.isEmpty())
        o.setError(QStringLiteral("%1 OUT is required").arg(outOption));
    if (o.ok() && path.isEmpty())
        o.setError(QStringLiteral("no history file given"));
    return o.ok();
}

int openHistory(const QString &path, HistoryStore &store)
{
    const FileReadResult read = ReadHistoryFile(path, store);
    switch (read.status) {
    case FileReadResult::Opened:
        return 0;
    case FileReadResult::NotFound:
        return failWith(QStringLiteral("%1: no such file").arg(path));
    case FileReadResult::TooManyData:
        std::fprintf(stderr, "qv7xx-cli: %s\n", qPrintable(read.message));
        return 0;
    default:
        return failWith(read.message);
    }
}

namespace {

bool toStdout(const QString &out)
{
    return out.isEmpty() || out == QLatin1String("-");
}

int finish(const SaveResult &saved, int rows)
{
    if (saved.status == SaveResult::Failed)
        return failWith(saved.message);
    std::fprintf(stderr, "%d measurements\n", rows);
    return 0;
}

int writeStdout(const std::string &bytes, int rows)
{
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    if (std::fflush(stdout) != 0)
        return failWith(QStringLiteral("cannot write to standard output"));
    std::fprintf(stderr, "%d measurements\n", rows);
    return 0;
}
// Opens a history file and writes its rows to `out` (standard output when
// empty or "-") in the form `bytes` / `save` give.
int convert(const QString &path, const QString &out,
            const std::function<std::string(const CellTable &, int rows)> &bytes,
            const std::function<SaveResult(const QString &, const CellTable &, int rows)> &save)
{
    const TextWidths widths = TextWidths::fixed(1);
    HistoryStore store(widths);
    if (const int failed = openHistory(path, store))
        return failed;
    const int rows = store.HistRows();
    if (toStdout(out))
        return writeStdout(bytes(store.hist(), rows), rows);
    return finish(save(out, store.hist(), rows), rows);
}
} // namespace

int runHistory(const QStringList &args)
{
    ArgumentReader o(historyInfo(), args);
    if (o.askedForInfo())
        return o.printInfo();
    const uint8_t language = readLanguage(o);
    takeSeparators(o);
    QString out, path;
    if (!takeFileArguments(o, QStringLiteral("--out"), false, out, path))
        return o.fail();

    return convert(path, out, [language](const CellTable &t, int rows) { return HistoryFileBytes(t, 0, rows, language); },
                   [language](const QString &to, const CellTable &t, int rows) {
                       return SaveHistoryFile(to, t, 0, rows, language);
                   });
}

int runExport(const QStringList &args)
{
    ArgumentReader o(exportInfo(), args);
    if (o.askedForInfo())
        return o.printInfo();
    takeSeparators(o);
    QString out, path;
    if (!takeFileArguments(o, QStringLiteral("--csv"), true, out, path))
        return o.fail();

    return convert(path, out, [](const CellTable &t, int rows) { return CsvBytes(t, 0, rows); },
                   [](const QString &to, const CellTable &t, int rows) { return SaveCsvFile(to, t, 0, rows); });
}

} // namespace qv::cli

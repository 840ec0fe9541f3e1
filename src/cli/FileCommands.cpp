#include "cli/FileCommands.h"

#include "cli/Options.h"
#include "files/CsvExport.h"
#include "files/DataFileReader.h"
#include "files/HistoryFileWriter.h"
#include "protocol/FormatSettings.h"

#include <cstdio>

namespace qv::cli {

namespace {
std::vector<OptionSpec> separatorOptions()
{
    return {
        {"--decimal-separator", "C", "decimal separator of the numbers (default: the system's)"},
        {"--date-separator", "C", "date separator (default: the system's)"},
        {"--time-separator", "C", "time separator (default: the system's)"},
    };
}

const QString kOpenNotes = QStringLiteral(
    "FILE is read as the program opens a history or search-results file (Polish, English or legacy\n"
    "header, Windows-1250). Exit status: 0 when the file was read and written, 2 on bad arguments,\n"
    "a file that cannot be read or whose header is not recognised (with the program's message),\n"
    "or an output that cannot be written.");

void takeSeparators(ArgumentReader &o)
{
    FormatSettings &f = formatSettings();
    f.decimalSeparator = o.character(QStringLiteral("--decimal-separator"), f.decimalSeparator);
    f.dateSeparator = o.character(QStringLiteral("--date-separator"), f.dateSeparator);
    f.timeSeparator = o.character(QStringLiteral("--time-separator"), f.timeSeparator);
}

// Opens FILE as File > Open does; exit status 0, or 2 with the message shown.
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
} // namespace

CommandSpec historySpec()
{
    std::vector<OptionSpec> options{languageOption()};
    for (const OptionSpec &o : separatorOptions())
        options.push_back(o);
    options.push_back({"--out", "FILE", "write the history file here (default: standard output)"});
    return commandSpec(QStringLiteral("history"), QStringLiteral("FILE"),
                       QStringLiteral("Opens a history file as the program does and writes it as the program saves\n"
                                      "a history (the header of --lang, dates with a four-digit year)."),
                       options, kOpenNotes);
}

CommandSpec exportSpec()
{
    std::vector<OptionSpec> options = separatorOptions();
    options.push_back({"--csv", "OUT", "write CSV here ('-': standard output); required"});
    return commandSpec(QStringLiteral("export"), QStringLiteral("FILE"),
                       QStringLiteral("Opens a history file as the program does and writes it as CSV: UTF-8, RFC 4180\n"
                                      "quoting, English titles, one ISO-8601 date_time column, numbers with a full stop."),
                       options, kOpenNotes);
}

int runHistory(const QStringList &args)
{
    ArgumentReader o(historySpec(), args);
    if (o.askedForInfo())
        return o.printInfo();
    const uint8_t language = readLanguage(o);
    takeSeparators(o);
    const QString out = o.text(QStringLiteral("--out"));
    const QString path = o.singlePositional();
    if (o.ok() && path.isEmpty())
        o.setError(QStringLiteral("no history file given"));
    if (!o.ok())
        return o.fail();

    const TextWidths widths = TextWidths::fixed(1);
    HistoryStore store(widths);
    if (const int failed = openHistory(path, store))
        return failed;
    const int rows = store.HistRows();
    if (toStdout(out))
        return writeStdout(HistoryFileBytes(store.hist(), 0, rows, language), rows);
    return finish(SaveHistoryFile(out, store.hist(), 0, rows, language), rows);
}

int runExport(const QStringList &args)
{
    ArgumentReader o(exportSpec(), args);
    if (o.askedForInfo())
        return o.printInfo();
    takeSeparators(o);
    const QString out = o.text(QStringLiteral("--csv"));
    const QString path = o.singlePositional();
    if (o.ok() && out.isEmpty())
        o.setError(QStringLiteral("--csv OUT is required"));
    if (o.ok() && path.isEmpty())
        o.setError(QStringLiteral("no history file given"));
    if (!o.ok())
        return o.fail();

    const TextWidths widths = TextWidths::fixed(1);
    HistoryStore store(widths);
    if (const int failed = openHistory(path, store))
        return failed;
    const int rows = store.HistRows();
    if (toStdout(out))
        return writeStdout(CsvBytes(store.hist(), 0, rows), rows);
    return finish(SaveCsvFile(out, store.hist(), 0, rows), rows);
}

} // namespace qv::cli

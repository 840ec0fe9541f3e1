#include "cli/FileCommands.h"

#include "cli/Options.h"
#include "files/CsvExport.h"
#include "files/DataFileReader.h"
#include "files/HistoryFileWriter.h"
#include "protocol/FormatSettings.h"

#include <cstdio>

namespace qv::cli {

namespace {
const char kHistoryUsage[] = "usage: qv7xx-cli history [--lang en|pl] [--decimal-separator C] [--date-separator C] "
                             "[--time-separator C] [--out FILE] FILE";
const char kExportUsage[] = "usage: qv7xx-cli export [--decimal-separator C] [--date-separator C] "
                            "[--time-separator C] --csv OUT FILE";

} // namespace

void takeSeparators(Options &o)
{
    FormatSettings &f = formatSettings();
    f.decimalSeparator = o.character(QStringLiteral("--decimal-separator"), f.decimalSeparator);
    f.dateSeparator = o.character(QStringLiteral("--date-separator"), f.dateSeparator);
    f.timeSeparator = o.character(QStringLiteral("--time-separator"), f.timeSeparator);
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
} // namespace

int runHistory(const QStringList &args)
{
    Options o(args, kHistoryUsage);
    const uint8_t language = o.language(QStringLiteral("--lang"));
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
    Options o(args, kExportUsage);
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

int runFileCommand(const QString &command, const QStringList &args)
{
    if (command == QLatin1String("history"))
        return runHistory(args);
    if (command == QLatin1String("export"))
        return runExport(args);
    return -1;
}

} // namespace qv::cli

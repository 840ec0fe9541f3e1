// `qv7xx-cli journal`: the history the program's journal holds that was never
// saved, written as the program saves a history file (after a crash, or to
// look at an autosave run from a script).
#include "cli/Commands.h"
#include "cli/Options.h"
#include "files/HistoryFileWriter.h"
#include "history/Journal.h"
#include "protocol/FormatSettings.h"

#include <QCoreApplication>
#include <QSaveFile>

#include <cstdio>

namespace qv::cli {

CommandInfo journalInfo()
{
    return commandInfo(
        QStringLiteral("journal"), QString(),
        QStringLiteral("Writes the history that the program's journal holds unsaved (the measurements of a\n"
                       "run that was not closed properly) as the program saves a history file."),
        {
            {"--journal", "PATH", "the journal to read (default: the program's, in its data folder)"},
            languageOption(),
            {"--date-separator", "C", "date separator of the file (default: the system's)"},
            {"--out", "FILE", "write the file here (default: standard output)"},
        },
        QStringLiteral("Exit status: 0 when rows were written, 3 when the journal holds nothing unsaved,\n"
                       "2 on bad arguments or a file that cannot be written."));
}

int runJournal(const QStringList &args)
{
    ArgumentReader o(journalInfo(), args);
    if (o.askedForInfo())
        return o.printInfo();
    QCoreApplication::setOrganizationName(QStringLiteral("TAMBRIX"));
    QCoreApplication::setApplicationName(QStringLiteral("QV-7xx"));
    const QString path = o.text(QStringLiteral("--journal"), Journal::defaultPath());
    const uint8_t language = readLanguage(o);
    formatSettings().dateSeparator = o.character(QStringLiteral("--date-separator"), formatSettings().dateSeparator);
    const QString out = o.text(QStringLiteral("--out"));
    o.noPositionals();
    if (!o.ok())
        return o.fail();

    const JournalContents held = ReadJournal(path);
    if (!held.unsaved || held.rowCount() == 0) {
        std::fprintf(stderr, "qv7xx-cli: the journal %s holds no unsaved measurements\n", qPrintable(path));
        return 3;
    }
    const TextWidths widths = TextWidths::fixed(1);
    HistoryStore store(widths);
    store.load(size_t(held.rowCount()), [&](size_t i) { return held.row(int(i)); }, held.histCount, held.histId);
    const std::string bytes = HistoryFileBytes(store.hist(), 0, store.HistRows(), language);
    if (out.isEmpty() || out == QLatin1String("-")) {
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
        std::fflush(stdout);
    } else {
        QSaveFile file(out);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) ||
            !file.commit())
            return failWith(QStringLiteral("cannot write %1: %2").arg(out, file.errorString()));
    }
    if (held.damaged)
        std::fprintf(stderr, "qv7xx-cli: the journal's damaged end was left out\n");
    std::fprintf(stderr, "%d measurements\n", store.HistRows());
    return 0;
}

} // namespace qv::cli

// `qv7xx-cli print`: a history file opened as the program opens it and printed
// as the program prints its history, into a PDF file.
#include "cli/GuiCommands.h"

#include "cli/FileCommands.h"
#include "cli/Options.h"
#include "dialogs/ScriptedDialogs.h"
#include "history/HistoryStore.h"
#include "print/PrinterTarget.h"

#include <QPageSize>
#include <QPrinter>

#include <cstdio>

namespace qv::cli {

CommandInfo printInfo()
{
    std::vector<OptionInfo> options = separatorOptions();
    options.push_back({"--landscape", "", "print in landscape (default: portrait)"});
    options.push_back({"--paper", "SIZE", "A4 (default) or Letter"});
    options.push_back({"--pdf", "OUT", "write the printout here as PDF; required"});
    return commandInfo(QStringLiteral("print"), QStringLiteral("FILE"),
                       QStringLiteral("Opens a history file as the program opens it and prints the history as the\n"
                                      "program prints it (ruled table, two-level heading, pages) into a PDF file.\n"
                                      "A table too wide for portrait paper is printed in landscape."),
                       options,
                       QStringLiteral("Exit status: 0 when written, 2 on bad arguments or a file that cannot be read\n"
                                      "or written."));
}

int runPrint(const QStringList &args)
{
    ArgumentReader o(printInfo(), args);
    if (o.askedForInfo())
        return o.printInfo();
    takeSeparators(o);
    const bool landscape = o.flag(QStringLiteral("--landscape"));
    const int paper = o.choice(QStringLiteral("--paper"), {QStringLiteral("A4"), QStringLiteral("Letter")}, 0);
    QString out, path;
    if (!takeFileArguments(o, QStringLiteral("--pdf"), true, out, path))
        return o.fail();

    const TextWidths widths = TextWidths::fixed(1);
    HistoryStore store(widths);
    if (const int failed = openHistory(path, store))
        return failed;

    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(paper == 1 ? QPageSize::Letter : QPageSize::A4));
    printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    PrinterTarget target(printer);
    if (!target.toPdf(out))
        return failWith(target.error());
    // The width question is answered "landscape" without a window.
    ScriptedDialogHandler answers{DialogAnswer(BtnCodeYes)};
    ScopedDialogHandler scoped(answers);
    const PrintRows rows{store.hist(), PrintKind::History, store.HistRows()};
    if (PrintTable(rows, target, nullptr, nullptr) != PrintResult::Printed)
        return failWith(target.error().isEmpty() ? QStringLiteral("%1: not written").arg(out) : target.error());
    std::fprintf(stderr, "%d measurements\n", rows.count);
    return 0;
}

} // namespace qv::cli

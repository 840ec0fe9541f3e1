// The commands of qv7xx-cli in one table: the program's dispatch and its
// --help both come from it.
#include "cli/Commands.h"
#include "cli/FileCommands.h"
#include "cli/Options.h"
#include "cli/SearchCommand.h"

#ifdef QV_CLI_WITH_GUI
#include "cli/GuiCommands.h"
#endif

namespace qv::cli {

const std::vector<Command> &commands()
{
    static const std::vector<Command> table = {
        {decodeInfo, runDecode, false, "decode a capture of the meter's bytes into events (JSON lines)"},
        {portsInfo, runPorts, false, "list the serial ports, one device path a line"},
        {monitorInfo, runMonitor, false, "open a port, operate the meter and print its events live (JSON lines)"},
        {findInfo, runFind, false, "find the meters on every serial port at every rate"},
        {logInfo, runLog, false, "log a meter's measurements into a file that every row reaches at once"},
        {memoryInfo, runMemory, false, "download the meter's memory into a memory file (or CSV)"},
        {journalInfo, runJournal, false, "write the unsaved history of the program's journal as a history file"},
        {historyInfo, runHistory, false, "open a history file as the program does and write it as it saves one"},
        {exportInfo, runExport, false, "write a history file as CSV for spreadsheets"},
        {searchInfo, runSearch, false, "keep the rows of a history file that match criteria (a search-results file)"},
#ifdef QV_CLI_WITH_GUI
        {renderInfo, runRender, true, "draw the meter's LCD from a capture into a PNG picture"},
        {printInfo, runPrint, true, "print a history file into a PDF file as the program prints it"},
#endif
    };
    return table;
}

CommandInfo programInfo()
{
    QString list = QStringLiteral("commands:\n");
    for (const Command &c : commands()) {
        list += QStringLiteral("  %1%2\n").arg(c.about().command.leftJustified(9), QLatin1String(c.brief));
    }
    list += QStringLiteral("\n'qv7xx-cli COMMAND --help' explains a command and its options.");
    return CommandInfo{QStringLiteral("qv7xx-cli"), QString(), QStringLiteral("COMMAND [ARGUMENTS]"),
                       QStringLiteral("The command-line side of the QV-7xx light meter companion."), {}, list};
}

} // namespace qv::cli

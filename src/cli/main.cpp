// qv7xx-cli: the command-line side of the QV-7xx companion.
#include "cli/Commands.h"
#include "cli/Options.h"

#include <QCoreApplication>

#include <cstdio>

#ifdef QV_CLI_WITH_GUI
#include "cli/GuiCommands.h"
#include <QGuiApplication>
#endif

namespace {

const char kUsage[] =
    "usage: qv7xx-cli COMMAND [options]\n"
    "commands:\n"
    "  decode   decode a capture of the meter's bytes into events (JSON lines)\n"
    "  ports    list the serial ports, one device path a line\n"
    "  monitor  open a port, operate the meter and print its events live (JSON lines)\n"
    "  journal  write the unsaved history held in the program's journal as a history file\n"
#ifdef QV_CLI_WITH_GUI
    "  render   draw the meter's LCD from a capture into a PNG picture\n"
#endif
    ;

} // namespace

int main(int argc, char **argv)
{
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
#ifdef QV_CLI_WITH_GUI
    if (command == QLatin1String("render")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        return qv::cli::runRender(app.arguments().mid(2));
    }
#endif
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(2);
    if (command == QLatin1String("decode"))
        return qv::cli::runDecode(args);
    if (command == QLatin1String("ports"))
        return qv::cli::runPorts(args);
    if (command == QLatin1String("monitor"))
        return qv::cli::runMonitor(args);
    if (command == QLatin1String("journal"))
        return qv::cli::runJournal(args);
    if (const int status = qv::cli::runFileCommand(command, args); status >= 0) return status;
    if (command == QLatin1String("search")) return qv::cli::runSearch(args);
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    std::fprintf(stderr, "qv7xx-cli: %s\n%s",
                 command.isEmpty() ? "no command given"
                                   : qPrintable(QStringLiteral("unknown command '%1'").arg(command)),
                 kUsage);
    return 2;
}

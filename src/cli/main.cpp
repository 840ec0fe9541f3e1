// qv7xx-cli: the command-line side of the QV-7xx companion.
#include "cli/Commands.h"
#include "cli/Options.h"

#include <QCoreApplication>

#include <memory>

#ifdef QV_CLI_WITH_GUI
#include <QGuiApplication>
#endif

using namespace qv::cli;

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const QString name = args.value(0);
    for (const Command &command : commands()) {
        if (command.about().command != name)
            continue;
        // Help and version need no application object.
        const qv::ArgumentReader early(command.about(), args.mid(1));
        if (early.askedForInfo())
            return early.printInfo();
        std::unique_ptr<QCoreApplication> app;
#ifdef QV_CLI_WITH_GUI
        // Drawing needs a GUI application, never a display.
        if (command.draws) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            app = std::make_unique<QGuiApplication>(argc, argv);
        }
#endif
        if (!app)
            app = std::make_unique<QCoreApplication>(argc, argv);
        return command.run(QCoreApplication::arguments().mid(2));
    }

    qv::ArgumentReader opts(programInfo(), args);
    if (opts.askedForInfo())
        return opts.printInfo();
    opts.setError(name.isEmpty() ? QStringLiteral("no command given")
                                 : QStringLiteral("unknown command '%1'").arg(name));
    return opts.fail();
}

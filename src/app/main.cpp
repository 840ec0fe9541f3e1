// qv7xx: the QV-7xx meter companion. Without a port (given or stored) it runs
// with a simulated meter, so that it can be tried without one.
#include "app/AppOptions.h"
#include "app/QuitSignals.h"
#include "app/QvApplication.h"
#include "app/Screenshot.h"
#include "app/Settings.h"
#include "app/SimulatorLauncher.h"
#include "app/TFormQV.h"
#include "dialogs/DialogSeam.h"

#include <QDirIterator>
#include <QIcon>

#include <cstdio>
#include <exception>
#include <memory>

using namespace qv;

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const int status = answerBeforeStart(arguments); status >= 0)
        return status;
    QvApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("TAMBRIX"));
    QCoreApplication::setApplicationName(QStringLiteral("QV-7xx"));
    QCoreApplication::setApplicationVersion(programVersion());
    // The desktop matches the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(QV_APP_ID));
    QIcon icon;
    for (QDirIterator it(QStringLiteral(":/icons"), {QStringLiteral("*.png")}, QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        icon.addFile(it.next());
    QGuiApplication::setWindowIcon(icon);

    // The arguments without Qt's own (-platform and the like).
    AppOptions options;
    QString error;
    if (!parseAppOptions(QCoreApplication::arguments(), options, error))
        return printFailure(appCommandInfo(), error);

    // Ctrl+C, kill and a closed terminal end the program as Quit does, so
    // that the simulated meter's port goes with it.
    const QuitSignals quitSignals([](int) { QCoreApplication::quit(); });

    IniSettingsStore settings;
    LinkSettings stored;
    const bool storedRead = readLinkSettings(settings, 1, stored);
    TFormQV::StartLink start{options.port, options.baud};
    SimulatorLauncher simulator;
    // Autosave on the simulated meter needs measurements: it starts a series.
    simulator.startSeries = options.autosaveSeconds > 0;
    if (shouldSimulate(options, stored, storedRead, portDeviceExists)) {
        if (simulator.start(error)) {
            start.port = simulator.portName();
            start.baud = br009600;
        } else {
            std::fprintf(stderr, "qv7xx: cannot start the simulated meter: %s\n", qPrintable(error));
        }
    }

    int result = 0;
    {
        std::unique_ptr<TFormQV> form;
        try {
            JournalSetup journal;
            if (options.restoreJournal)
                journal.policy = RestorePolicy::Restore;
            form = std::make_unique<TFormQV>(settings, start, SerialPlatform::system(), nullptr, journal);
            if (options.autosaveSeconds > 0)
                form->chooseAutosave(uint32_t(options.autosaveSeconds));
            form->selectView(options.view);
        } catch (const std::exception &e) {
            std::fprintf(stderr, "qv7xx: %s\n", e.what());
            ShowInfoBox(nullptr, QString::fromLocal8Bit(e.what()), QStringLiteral("QV-7xx"), IconWarning);
            return 1;
        }
        app.onError = [&form](const QString &what) { form->showException(what); };
        form->show();
        form->activateWindow();
        if (!options.screenshot.isEmpty())
            grabWhenMeasuring(*form, options.screenshot, options.afterMs, options.timeoutMs);
        app.startedUp();
        result = QCoreApplication::exec();
        app.onError = nullptr;
    }
    simulator.stop();
    return result;
}

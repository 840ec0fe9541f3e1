// `qv7xx-cli ports`: the serial ports the program sees, one device path a
// line, in the order the port menus show them.
#include "cli/Commands.h"
#include "cli/Options.h"
#include "serial/TComm32VN.h"

#include <QCoreApplication>

#include <cstdio>
#include <memory>

namespace qv::cli {

CommandInfo portsInfo()
{
    return commandInfo(QStringLiteral("ports"), QString(),
                       QStringLiteral("Lists the serial ports the program sees, one device path a line, in the order\n"
                                      "of the program's port list: the system's serial devices, then the live ports\n"
                                      "of simulated meters in the virtual-port folder."),
                       {});
}

int runPorts(const QStringList &args)
{
    ArgumentReader opts(portsInfo(), args);
    if (opts.askedForInfo())
        return opts.printInfo();
    opts.noPositionals();
    if (!opts.ok())
        return opts.fail();
    // The port list watches the device folders, which needs an application object.
    std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "qv7xx-cli";
        static char *argv[] = {name, nullptr};
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    const TComm32VN component(1);
    const QStringList &ports = component.PortList();
    for (int i = 1; i < ports.size(); ++i)
        std::printf("%s\n", ports.at(i).toLocal8Bit().constData());
    std::fflush(stdout);
    return 0;
}

} // namespace qv::cli

// The program's own simulated meter: served on a pseudo-terminal by its
// thread, published where the port list finds it, and the main window
// running on it in real time.
#include "integration/PtyHelpers.h"

#include "app/Settings.h"
#include "app/SimulatorLauncher.h"
#include "app/TFormQV.h"
#include "instrument/QVMeter32.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qv;

using qvtest::waitUntil;

TEST(SimulatedProgram, TheMainWindowRunsOnTheSimulatedMeter)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    qputenv("QV7XX_PORT_DIR", QFile::encodeName(folder.path()));
    SimulatorLauncher simulator;
    QString error;
    ASSERT_TRUE(simulator.start(error)) << qPrintable(error);
    const QString port = simulator.portName();
    EXPECT_EQ(QFileInfo(port).absolutePath(), folder.path());
    EXPECT_TRUE(QFileInfo(port).isSymLink());

    MemorySettingsStore settings;
    TComm32QV::ResetSharedState();
    {
        TFormQV form(settings, {port, br009600}, SerialPlatform::system(), nullptr, JournalSetup{QString()});
        TQVMeter32 &meter = *form.QVMeter();
        EXPECT_EQ(meter.Port(), port);
        // Shown by its name, opened and told by its whole path.
        EXPECT_EQ(meter.portBox()->currentText(), "ttyQVdemo");
        EXPECT_EQ(meter.portBox()->currentData().toString(), port);
        EXPECT_EQ(meter.portBox()->toolTip(), port);
        ASSERT_TRUE(waitUntil([&] { return meter.core().records().identReceived; }, 10000));
        EXPECT_TRUE(waitUntil([&] { return form.MenuMeterInfo->isEnabled() && form.MeterOn; }, 2000));
        // A key goes through the pseudo-terminal and the meter answers.
        meter.PressKey(MeterKey::Memo);
        EXPECT_TRUE(waitUntil([&] { return meter.core().records().screen() == 10; }, 5000));
        meter.PressKey(MeterKey::Esc);
        EXPECT_TRUE(waitUntil([&] { return meter.core().records().screen() == 0; }, 5000));
    }
    // Shutdown stored the simulator's port; stopping it takes the port away.
    EXPECT_EQ(settings.values.value("Port").toString(), port);
    simulator.stop();
    EXPECT_FALSE(QFileInfo::exists(port));
    EXPECT_FALSE(QFileInfo(port).isSymLink());
}

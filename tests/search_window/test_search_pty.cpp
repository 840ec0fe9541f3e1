// The meter search window in real time over pseudo-terminals: simulated
// meters at 2400 and 9600 bit/s served on their own ptys, and a third pty that
// another program holds locked. The first phase is shortened to keep the test
// short.
#include "integration/PtyHelpers.h"

#include "engine/engine.h"
#include "engine/pty.h"
#include "meter/MeterSearch.h"
#include "instrument/TFormAutoCOM.h"

#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

using namespace qv;
using namespace qvtest;

namespace {

// A simulated meter answering on a pty of its own, served by a thread.
struct ServedMeter {
    static qvsim::MeterConfig at(uint8_t baudIndex)
    {
        qvsim::MeterConfig c;
        c.baudIndex = baudIndex;
        return c;
    }
    explicit ServedMeter(uint8_t baudIndex) : meter(at(baudIndex)), server(meter, qvsim::ServeOptions{true})
    {
        std::string error;
        if ((ok = server.openPty(error)))
            thread = std::thread([this] { server.run(); });
    }
    ~ServedMeter()
    {
        server.stop();
        if (thread.joinable())
            thread.join();
    }
    QString path() const { return QString::fromStdString(server.slavePath()); }

    qvsim::MeterEngine meter;
    qvsim::PortServer server;
    bool ok = false;
    std::thread thread;
};

// A pty whose slave another open file holds with an exclusive lock, as a
// terminal program would.
struct HeldPort {
    HeldPort() : fd(pty.valid() ? ::open(qPrintable(pty.slavePath()), O_RDWR | O_NOCTTY) : -1) {}
    ~HeldPort()
    {
        if (fd >= 0)
            ::close(fd);
    }
    bool lock() const { return fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0; }

    PseudoTerminal pty;
    const int fd;
};

} // namespace

TEST(MeterSearchOverPty, FindsMetersAtTwoRatesAndAHeldPortFailsAtOnce)
{
    ServedMeter slow(3), fast(qvsim::Baud9600);   // 2400 and 9600 bit/s
    HeldPort held;
    ASSERT_TRUE(slow.ok && fast.ok);
    ASSERT_TRUE(held.lock());
    ListedPorts ports({held.pty.slavePath(), slow.path(), fast.path()});
    TComm32QV::ResetSharedState();
    SearchTiming shortPhase;
    shortPhase.phaseMs = 1000;
    TFormAutoCOM form(nullptr, 1, br009600, QStringList{"none"} + ports.names, realTimePlatform(ports),
                      shortPhase);
    MeterSearch &search = form.Search();
    form.show();  // the search starts once the window is up
    ASSERT_TRUE(waitUntil([&] { return search.Started(); }));
    EXPECT_EQ(search.Failed(), 1) << "the held port fails as it is opened";
    EXPECT_EQ(search.PortState(0), br009600 + 6);

    ASSERT_TRUE(waitUntil([&] { return form.ResultPanelShown(); }, 15000));
    EXPECT_EQ(search.Found(), 2);
    EXPECT_EQ(search.PortState(1), br002400 + 6);
    EXPECT_EQ(search.PortState(2), br009600 + 6);
    for (int i = 0; i < search.PortCount(); ++i)
        EXPECT_FALSE(search.Probe(i).IsOpen()) << i;

    const int slowRow = search.SelectedPort(0) == slow.path() ? 0 : 1;
    form.ListBoxCOM->setCurrentRow(slowRow);
    form.BtnOK->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.SelectedPort(), slow.path());
    EXPECT_EQ(form.SelectedBaudName(), "2400bps");
}

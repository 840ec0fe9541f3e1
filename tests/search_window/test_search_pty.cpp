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
class ServedMeter {
public:
    explicit ServedMeter(uint8_t baudIndex) : m_meter(config(baudIndex)), m_server(m_meter, fast())
    {
        std::string error;
        m_ok = m_server.openPty(error);
        if (m_ok)
            m_thread = std::thread([this] { m_server.run(); });
    }
    ~ServedMeter()
    {
        m_server.stop();
        if (m_thread.joinable())
            m_thread.join();
    }
    bool ok() const { return m_ok; }
    QString path() const { return QString::fromStdString(m_server.slavePath()); }

private:
    static qvsim::MeterConfig config(uint8_t baudIndex)
    {
        qvsim::MeterConfig c;
        c.baudIndex = baudIndex;
        return c;
    }
    static qvsim::ServeOptions fast()
    {
        qvsim::ServeOptions o;
        o.fast = true;
        return o;
    }

    qvsim::MeterEngine m_meter;
    qvsim::PortServer m_server;
    bool m_ok = false;
    std::thread m_thread;
};

// A pty whose slave another open file holds with an exclusive lock, as a
// terminal program would.
class HeldPort {
public:
    HeldPort()
    {
        if (m_pty.valid())
            m_fd = ::open(m_pty.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        m_locked = m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) == 0;
    }
    ~HeldPort()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool locked() const { return m_locked; }
    const QString &path() const { return m_pty.slavePath(); }

private:
    PseudoTerminal m_pty;
    int m_fd = -1;
    bool m_locked = false;
};

constexpr uint8_t Baud2400 = 3;
constexpr uint8_t Baud9600 = 5;


} // namespace

TEST(MeterSearchOverPty, FindsMetersAtTwoRatesAndAHeldPortFailsAtOnce)
{
    ServedMeter slow(Baud2400), fast(Baud9600);
    HeldPort held;
    ASSERT_TRUE(slow.ok() && fast.ok());
    ASSERT_TRUE(held.locked());
    ListedPorts ports({held.path(), slow.path(), fast.path()});
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

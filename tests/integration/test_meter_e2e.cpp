// The program's protocol component against the meter simulator running as
// its own process on a pseudo-terminal, in real time.
#include "SimProcess.h"

#include "protocol/KeyTyper.h"
#include "protocol/TComm32QV.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace qv;
using namespace qvtest;

namespace {

// A protocol component on the simulator's port, with a typer for its keys.
struct Link {
    explicit Link(const QString &path, TBaudRate rate = br009600)
        : ports({path}), comm(1, realTimePlatform(ports)), typer(comm, qtTimers(), systemClock())
    {
        TComm32QV::ResetSharedState();
        comm.OnReceiveInfo = [this](const TDataInfoQV &i) { screen = i.MenuCode; ++infos; };
        comm.setBaudRate(rate);
        comm.setCOMPort(path);
    }
    // Presses keys one after another and waits until the meter answered all.
    bool keys(std::initializer_list<int> list, int timeoutMs = 8000)
    {
        for (int k : list)
            typer.pressKey(k);
        const bool sent = waitUntil([&] { return typer.idle(); }, timeoutMs);
        runEventLoopFor(300); // the answer to the last key
        return sent;
    }
    // Waits out the welcome screen and asks the meter where it is.
    bool onMeasurementScreen()
    {
        runEventLoopFor(1700);
        keys({kcI});
        // Measurements are not complete while an information request is
        // pending: let its deadline pass.
        runEventLoopFor(500);
        return screen == 0;
    }

    ListedPorts ports;
    TComm32QV comm;
    KeyTyper typer;
    uint16_t screen = 0xFFFF;
    int infos = 0;
};

} // namespace

TEST(MeterEndToEnd, ContinuousSeriesStartsCompletesAndStops)
{
    SimProcess sim({"--fast"});
    ASSERT_FALSE(sim.path().isEmpty());
    Link link(sim.path());
    ASSERT_TRUE(link.onMeasurementScreen());
    // MODE, DOWN to "continuous", ENTER, then ESC back to the measurement screen.
    link.keys({kcD, kcJ, kcK});
    for (int i = 0; i < 3 && link.screen != 0; ++i)
        link.keys({kcQ});
    ASSERT_EQ(link.screen, 0);

    QStringList log;
    link.comm.OnStartMeas = [&] { log << "start"; };
    link.comm.OnStopMeas = [&] { log << "stop"; };
    link.comm.OnReceiveMeas = [&](const TDataMeasQV &m) { if (m.Complete) log << "meas"; };
    link.keys({kcS});
    ASSERT_TRUE(waitUntil([&] { return log.count("meas") >= 3; }, 5000));
    link.keys({kcS});
    ASSERT_TRUE(waitUntil([&] { return log.contains("stop"); }, 3000));
    EXPECT_EQ(log.first(), "start");
    EXPECT_EQ(log.last(), "stop");
}

TEST(MeterEndToEnd, CellsSavedThroughTheKeysComeBackInAFullDownload)
{
    // 510 cells already stored: two saved through the keys fill the memory.
    SimProcess sim({"--fast", "--cells", "510"});
    ASSERT_FALSE(sim.path().isEmpty());
    Link link(sim.path());
    ASSERT_TRUE(link.onMeasurementScreen());

    struct Saved {
        QString value, description, comment;
    };
    QList<Saved> saved;
    TDataMeasQV last;
    link.comm.OnReceiveMeas = [&](const TDataMeasQV &m) { if (m.Complete) last = m; };
    for (const char *comment : {"NORTH 1", "SOUTH 2"}) {
        link.keys({kcS});                       // a single measurement
        ASSERT_TRUE(waitUntil([&] { return !last.ValueText.isEmpty(); }, 3000));
        saved << Saved{last.ValueText, last.Description, QString::fromLatin1(comment)};
        link.keys({kcT, kcK});                  // MEMO, ENTER: save with a comment
        ASSERT_EQ(link.screen, 100);
        for (QChar ch : QString::fromLatin1(comment))
            link.typer.typeChar(ch);
        link.keys({kcK}, 20000);                // store it
        for (int i = 0; i < 4 && link.screen != 0; ++i)
            link.keys({kcQ});
        last = TDataMeasQV();
    }

    QList<int> cells;
    int total = 0;
    QByteArray table;
    link.comm.OnProgressMemo = [&](int32_t t, int32_t cell, int32_t) { total = t; cells << cell; };
    link.comm.OnReceiveMemo = [&](const uint8_t *buf, uint32_t n) {
        table = QByteArray(reinterpret_cast<const char *>(buf), qsizetype(n));
    };
    link.keys({kcT, kcR, kcK});                 // MEMO, UP to "send to PC", ENTER
    ASSERT_EQ(link.screen, 150);
    link.keys({kcK});
    ASSERT_TRUE(waitUntil([&] { return !table.isEmpty(); }, 20000));

    EXPECT_EQ(total, 512);
    ASSERT_FALSE(cells.isEmpty());
    EXPECT_EQ(cells.last(), 512);
    const QList<QByteArray> lines = table.split('\n');
    ASSERT_GE(lines.size(), 512);
    // The two saved cells, field by field: number, comment, value, description.
    for (int i = 0; i < 2; ++i) {
        const QList<QByteArray> fields = lines[510 + i].trimmed().split('\t');
        ASSERT_GE(fields.size(), 16);
        EXPECT_EQ(fields[0], QByteArray::number(511 + i));
        EXPECT_EQ(QString::fromLatin1(fields[3]), saved[i].comment);
        // The value in exponent form: the display text's mantissa, and its
        // prefix as a power of ten.
        const QString shown = saved[i].value;
        static const QString prefixes = QStringLiteral("afpnum kMGTP");
        const int exponent = (int(prefixes.indexOf(shown.back())) - 6) * 3;
        const QString expected = shown.left(shown.size() - 2).trimmed() +
                                 (exponent ? QStringLiteral("e%1").arg(exponent) : QString());
        EXPECT_EQ(QString::fromLatin1(fields[4]), expected);
        EXPECT_EQ(QString::fromLatin1(fields[15]), saved[i].description);
    }
}

TEST(MeterEndToEnd, AtTheWrongRateTheConnectionIsLost)
{
    SimProcess sim({"--fast", "--baud", "4800"});
    ASSERT_FALSE(sim.path().isEmpty());
    Link link(sim.path(), br009600);
    link.comm.setFixedRespTime(800);
    QStringList statuses;
    link.comm.OnCOMStatus = [&](int code, const QString &text) {
        statuses << QStringLiteral("%1 %2").arg(code).arg(text);
    };
    link.comm.SendKey(kcI);
    ASSERT_TRUE(waitUntil([&] { return statuses.contains("2 Communication lost"); }, 5000));
    EXPECT_EQ(link.infos, 0);

    // The same meter answers once the program's line matches its rate.
    link.comm.setBaudRate(br004800);
    link.comm.SendKey(kcI);
    EXPECT_TRUE(waitUntil([&] { return link.infos > 0; }, 5000));
}

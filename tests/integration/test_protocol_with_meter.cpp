// The program's protocol component against the simulated meter, in-process:
// identification, measurement series, typing and the memory download.
#include "support/SimulatedMeter.h"

#include "protocol/KeyTyper.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace qv;
using qvtest::SimulatedMeter;

namespace {

// The meter on its measurement screen after switching on.
qvsim::MeterConfig meterConfig(bool english = true)
{
    qvsim::MeterConfig c;
    c.englishTable = english;
    return c;
}

void goTo(SimulatedMeter &s, KeyTyper &typer, std::initializer_list<int> keys)
{
    for (int k : keys)
        typer.pressKey(k);
    s.run(3000);
    ASSERT_TRUE(typer.idle());
}

} // namespace

TEST(ProtocolWithMeter, RefreshGivesStatusAndIdentification)
{
    SimulatedMeter s(meterConfig());
    s.run(2000);
    int infos = 0, idents = 0;
    TInfoMeterQV ident;
    s.comm->OnReceiveInfo = [&](const TDataInfoQV &) { ++infos; };
    s.comm->OnReceiveInfoMeter = [&](const TInfoMeterQV &i) { ++idents; ident = i; };
    KeyTyper typer(*s.comm, s.timers, s.clock);
    typer.pressKey(kcI);
    typer.pressKey(kcB);
    s.run(1500);
    EXPECT_GE(infos, 1);
    EXPECT_EQ(idents, 1);
    EXPECT_EQ(ident.ProbeCode, s.meter.status().probeCode);
    EXPECT_FALSE(s.comm->InMemoryTransfer()); // "B" announces no memory block
}

TEST(ProtocolWithMeter, ContinuousSeriesStartsCompletesAndStops)
{
    SimulatedMeter s(meterConfig());
    s.run(2000);
    QStringList log;
    s.comm->OnStartMeas = [&] { log << "start"; };
    s.comm->OnStopMeas = [&] { log << "stop"; };
    s.comm->OnReceiveMeas = [&](const TDataMeasQV &m) { if (m.Complete) log << "meas"; };
    KeyTyper typer(*s.comm, s.timers, s.clock);
    goTo(s, typer, {kcS}); // a single measurement first
    ASSERT_TRUE(log.contains("meas"));
    log.clear();
    // MODE menu, down to "continuous", ENTER; back to the measurement screen.
    goTo(s, typer, {kcD, kcJ, kcK});
    for (int i = 0; i < 3 && s.meter.screen() != 0; ++i)
        goTo(s, typer, {kcQ});
    ASSERT_EQ(s.meter.screen(), 0);
    ASSERT_TRUE(s.meter.continuousMode());
    log.clear();
    typer.pressKey(kcS);
    s.run(3000);
    typer.pressKey(kcS);
    s.run(1000);
    ASSERT_FALSE(log.isEmpty());
    EXPECT_EQ(log.first(), "start");
    EXPECT_GE(log.count("meas"), 3);
    EXPECT_EQ(log.last(), "stop");
}

TEST(ProtocolWithMeter, TypedTextArrivesWhole)
{
    for (bool english : {true, false}) {
        SimulatedMeter s(meterConfig(english));
        s.run(2000);
        KeyTyper typer(*s.comm, s.timers, s.clock);
        // MEMO, ENTER: the comment of a measurement to be saved (screen 100).
        goTo(s, typer, {kcT, kcK});
        ASSERT_EQ(s.meter.screen(), 100);
        const QString text = english ? QStringLiteral("LAMP 7-B/2") : QStringLiteral("ŁÓDŹ 12-A");
        for (QChar ch : text)
            ASSERT_TRUE(typer.typeChar(ch));
        s.run(20000);
        EXPECT_TRUE(typer.idle());
        const QString expected = text.leftJustified(16, ' ');
        EXPECT_EQ(s.comm->DataText().Text, expected) << (english ? "English" : "Polish");
    }
}

TEST(ProtocolWithMeter, SavedCellsComeBackInTheDownload)
{
    SimulatedMeter s(meterConfig());
    s.run(2000);
    KeyTyper typer(*s.comm, s.timers, s.clock);
    // Save two measurements with comments: MEMO, ENTER, the text, ENTER.
    for (const char *comment : {"FIRST", "SECOND"}) {
        goTo(s, typer, {kcS});
        goTo(s, typer, {kcT, kcK});
        for (QChar ch : QString::fromLatin1(comment))
            typer.typeChar(ch);
        typer.pressKey(kcK);
        s.run(8000);
        while (s.meter.screen() != 0) {
            typer.pressKey(kcQ);
            s.run(500);
        }
    }
    ASSERT_EQ(s.meter.memory().count(), 2u);

    QStringList progress;
    QByteArray table;
    s.comm->OnProgressMemo = [&](int32_t total, int32_t cell, int32_t per) {
        progress << QStringLiteral("%1/%2/%3").arg(total).arg(cell).arg(per);
    };
    s.comm->OnReceiveMemo = [&](const uint8_t *buf, uint32_t n) {
        table = QByteArray(reinterpret_cast<const char *>(buf), qsizetype(n));
    };
    // MEMO, UP to "send to PC", ENTER, ENTER.
    goTo(s, typer, {kcT, kcR, kcK, kcK});
    s.run(3000);
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last(), "2/2/1000");
    const QList<QByteArray> lines = table.split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("1\t"));
    EXPECT_EQ(lines[0].split('\t').value(3), "FIRST");
    EXPECT_EQ(lines[1].split('\t').value(3), "SECOND");
}

TEST(ProtocolWithMeter, DownloadSharingAReadWithTheNextFrameIsKept)
{
    qvsim::MeterConfig config = meterConfig();
    config.cells = 20;
    config.statusAfterMemory = true;
    SimulatedMeter s(config);
    s.run(2000);
    KeyTyper typer(*s.comm, s.timers, s.clock);
    goTo(s, typer, {kcT, kcR, kcK}); // MEMO, UP to "send to PC", ENTER
    ASSERT_EQ(s.meter.screen(), qvsim::ScrSendToPc);

    QStringList log;
    s.comm->OnReceiveMemo = [&](const uint8_t *buf, uint32_t n) {
        log << QStringLiteral("memo %1").arg(QByteArray(reinterpret_cast<const char *>(buf), qsizetype(n)).count("\r\n"));
    };
    s.comm->OnReceiveInfo = [&](const TDataInfoQV &i) { log << QStringLiteral("info %1").arg(i.MenuCode); };

    // ENTER: the announcement, the block and the status frame, all in one read.
    s.comm->SendKey(kcK);
    s.run(20);
    EXPECT_EQ(log, (QStringList{"memo 20", "info 150"}));
    EXPECT_FALSE(s.comm->InMemoryTransfer());

    // Again, but ESC breaks the transfer off: the meter answers, no table.
    s.run(200);
    log.clear();
    s.comm->SendKey(kcK);
    s.meter.advance(20);
    const qvsim::Bytes part = s.meter.takeOutput(106 + 500);
    s.comm->DeliverBlock(part.data(), uint32_t(part.size()));
    ASSERT_TRUE(s.comm->InMemoryTransfer());
    s.comm->SendKey(kcQ);
    s.timers.advance(100); // the key leaves once the pacing allows, the rest stays unsent
    s.run(100);
    EXPECT_FALSE(s.comm->InMemoryTransfer());
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log.first().startsWith("info")) << qPrintable(log.join(','));
}

// The program's protocol component against the simulated meter, in-process,
// where the manual clock lets a test place every byte: typing in both
// character tables, and a download that shares a read with the next frame.
// Identification, series and downloads in real time are in test_meter_e2e.
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

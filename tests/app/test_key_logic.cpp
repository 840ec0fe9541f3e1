// The meter's keys as pure logic: which meter key a PC key stands for, the
// entry screens and the characters each takes, the hint cells; menu
// selection with the mouse: which key a click presses, how a walk goes on
// with each status record, double clicks and the 100 ms hold.
#include "instrument/MenuSelection.h"
#include "instrument/PcKeys.h"
#include "protocol/TComm32QV.h"
#include "support/GoldenText.h"

#include <QFile>
#include <QKeySequence>
#include <QRegularExpression>


using namespace qv;

namespace {

constexpr uint32_t T0 = 5000;

QString keyName(std::optional<MeterKey> key)
{
    static const QStringList names =
        QStringLiteral("Mode Set Memo Esc Refresh Power Up Down Meas Enter").split(QLatin1Char(' '));
    return key ? names[int(*key)] : QStringLiteral("-");
}

// The lines of a file of tests/data/app, without comments.
QStringList dataLines(const char *name)
{
    QFile f(QStringLiteral(QV_TEST_DATA_DIR "/app/") + QLatin1String(name));
    QStringList lines;
    if (f.open(QIODevice::ReadOnly | QIODevice::Text))
        while (!f.atEnd()) {
            const QString line = QString::fromUtf8(f.readLine()).trimmed();
            if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
                lines << line;
        }
    return lines;
}

} // namespace

// The key map, Left and the characters taken on each screen, as a sheet:
// tests/data/app/pc_keys.txt.
TEST(PcKeys, KeyMapEntryScreensAndHintCells)
{
    QString sheet;
    for (int key : {Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_Escape, Qt::Key_Up, Qt::Key_Down,
                    Qt::Key_Right, Qt::Key_Return, Qt::Key_Enter, Qt::Key_A, Qt::Key_Space, Qt::Key_Tab,
                    Qt::Key_PageDown}) {
        const QString name = QKeySequence(key).toString(QKeySequence::PortableText);
        sheet += name + ": " + keyName(pcKeyToMeterKey(key, 0, ftStatus)) + QLatin1Char('\n');
    }
    const QString probe = QStringLiteral("07a.,- Q\u0141\r\t");
    for (int s : {0, 1, 10, 100, 110, 111, 220, 320, 1400, 2500, 2501, 2510, 2520, 25000, 25100, 60000}) {
        const EntryPermissions allowed = EntryPermissions::forScreen(s);
        sheet += QStringLiteral("screen %1: entry %2, Left ").arg(s).arg(allowed.active);
        sheet += keyName(pcKeyToMeterKey(Qt::Key_Left, s, ftStatus)) + ", takes ";
        for (QChar ch : probe) {
            const std::optional<QChar> taken = acceptedChar(ch, allowed);
            sheet += !taken ? QChar('_') : taken->isPrint() ? *taken : QChar('^');
        }
        sheet += QLatin1Char('\n');
    }
    const std::optional<MeterKey> left = pcKeyToMeterKey(Qt::Key_Left, 100, ftMemoryPreview);
    sheet += "screen 100 showing a memory preview: Left " + keyName(left);
    sheet += "\nhint cells:";
    for (int k = 0; k <= int(MeterKey::Enter); ++k)
        sheet += QStringLiteral(" %1 %2").arg(keyName(MeterKey(k))).arg(hintCell(MeterKey(k)));
    qvtest::expectGoldenText(QStringLiteral("app/pc_keys.txt"), sheet + QLatin1Char('\n'));
}

// One click a line of tests/data/app/menu_clicks.txt.
TEST(MenuSelection, WhatAClickPressesAndWhereItWalks)
{
    const QStringList clicks = dataLines("menu_clicks.txt");
    EXPECT_EQ(clicks.size(), 21);
    for (const QString &line : clicks) {
        const QStringList w = line.split(QLatin1Char(' '));
        MenuSelection s;
        const std::optional<MeterKey> key = s.click(w[0].toInt(), w[1].toDouble(), w[2].toDouble(), T0);
        EXPECT_EQ(keyName(key), w[3]) << qPrintable(line);
        EXPECT_EQ(s.target(), w[4].toInt()) << qPrintable(line);
        EXPECT_EQ(s.pending(), w[4].toInt() >= 0) << qPrintable(line);
    }
}

// One walk a line of tests/data/app/menu_walks.txt.
TEST(MenuSelection, EachStatusRecordTakesTheWalkOneStepOn)
{
    const QStringList walks = dataLines("menu_walks.txt");
    EXPECT_EQ(walks.size(), 6);
    for (const QString &line : walks) {
        const QStringList w = line.split(QLatin1Char(' '));
        MenuSelection s;
        ASSERT_EQ(s.click(w[0].toInt(), 60, w[1].toDouble(), T0), MeterKey::Down) << qPrintable(line);
        if (w[2] == QLatin1String("double")) {
            EXPECT_FALSE(s.doubleClick(w[0].toInt())) << qPrintable(line);
            EXPECT_TRUE(s.enterRequested()) << qPrintable(line);
        }
        for (const QString &record : w.mid(3, w.size() - 4)) {
            const QStringList r = record.split(QRegularExpression(QStringLiteral("[@=]")));
            EXPECT_EQ(keyName(s.continueOn(r[0].toInt(), T0 + r[1].toUInt())), r[2]) << qPrintable(record);
        }
        if (w.last() != QLatin1String("pending=?"))
            EXPECT_EQ(s.pending(), w.last() == QLatin1String("pending=1")) << qPrintable(line);
    }
}

TEST(MenuSelection, AReachedTargetWaitsForADoubleClickWithin100Ms)
{
    MenuSelection s;
    ASSERT_EQ(s.click(20, 60, 16, T0), MeterKey::Down);
    EXPECT_FALSE(s.continueOn(21, T0 + 50));
    ASSERT_TRUE(s.pending());
    // Clicks are ignored while it waits...
    EXPECT_FALSE(s.click(21, 60, 40, T0 + 60));
    // ...and a double click confirms the reached line.
    EXPECT_EQ(s.doubleClick(21), MeterKey::Enter);
    EXPECT_FALSE(s.pending());
    // With no further record a stale reached target does not block a later click.
    ASSERT_EQ(s.click(20, 60, 16, T0), MeterKey::Down);
    EXPECT_FALSE(s.continueOn(21, T0 + 40));
    EXPECT_EQ(s.click(21, 60, 40, T0 + 500), MeterKey::Down);
    EXPECT_EQ(s.target(), 24);
}

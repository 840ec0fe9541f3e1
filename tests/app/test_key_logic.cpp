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

#include <tuple>
#include <vector>

using namespace qv;

namespace {

constexpr uint32_t T0 = 5000;
constexpr std::nullopt_t None = std::nullopt;

QString keyName(std::optional<MeterKey> key)
{
    static const QStringList names =
        QStringLiteral("Mode Set Memo Esc Refresh Power Up Down Meas Enter").split(QLatin1Char(' '));
    return key ? names[int(*key)] : QStringLiteral("-");
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
    QFile cases(QStringLiteral(QV_TEST_DATA_DIR "/app/menu_clicks.txt"));
    ASSERT_TRUE(cases.open(QIODevice::ReadOnly | QIODevice::Text));
    int clicks = 0;
    while (!cases.atEnd()) {
        const QString line = QString::fromUtf8(cases.readLine()).trimmed();
        const QStringList w = line.split(QLatin1Char(' '));
        if (line.startsWith(QLatin1Char('#')) || w.size() < 5)
            continue;
        MenuSelection s;
        const std::optional<MeterKey> key = s.click(w[0].toInt(), w[1].toDouble(), w[2].toDouble(), T0);
        EXPECT_EQ(keyName(key), w[3]) << qPrintable(line);
        EXPECT_EQ(s.target(), w[4].toInt()) << qPrintable(line);
        EXPECT_EQ(s.pending(), w[4].toInt() >= 0) << qPrintable(line);
        ++clicks;
    }
    EXPECT_EQ(clicks, 21);
}

// A walk: the click, then status records (screen, time after the click)
// with the key each one presses.
struct Walk {
    const char *what;
    int screen;
    double y;
    bool doubleClick;
    std::vector<std::tuple<int, uint32_t, std::optional<MeterKey>>> records;
    std::optional<bool> pendingAtEnd;   // none: not asked
};

TEST(MenuSelection, EachStatusRecordTakesTheWalkOneStepOn)
{
    const Walk walks[] = {
        // Reached more than 100 ms after the click: done, no ENTER.
        {"down to item 4", 10, 40, false,
         {{11, 60, MeterKey::Down}, {12, 120, MeterKey::Down}, {13, 180, MeterKey::Down}, {14, 240, None}}, false},
        // A double click on the way presses ENTER on arrival.
        {"double click on the way", 30, 40, true,
         {{31, 40, MeterKey::Down}, {32, 80, MeterKey::Down}, {33, 120, MeterKey::Down}, {34, 160, MeterKey::Enter}},
         false},
        // ENTER once even if the meter stays on the line (a setting toggled in place).
        {"enter once", 20, 16, true, {{21, 30, MeterKey::Enter}, {21, 60, None}}, None},
        // Another menu drops the target after 100 ms.
        {"another menu", 10, 40, false, {{150, 50, None}}, true},
        {"another menu, later", 10, 40, false, {{150, 50, None}, {150, 101, None}}, false},
        {"the meter overshoots", 10, 16, false, {{12, 40, MeterKey::Up}}, true},
    };
    for (const Walk &w : walks) {
        MenuSelection s;
        ASSERT_EQ(s.click(w.screen, 60, w.y, T0), MeterKey::Down) << w.what;
        if (w.doubleClick) {
            EXPECT_FALSE(s.doubleClick(w.screen)) << w.what;
            EXPECT_TRUE(s.enterRequested()) << w.what;
        }
        for (const auto &[screen, after, key] : w.records)
            EXPECT_EQ(s.continueOn(screen, T0 + after), key) << w.what << ": record of screen " << screen;
        if (w.pendingAtEnd) {
            EXPECT_EQ(s.pending(), *w.pendingAtEnd) << w.what;
        }
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

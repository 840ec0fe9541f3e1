// The PC keyboard as the meter's keypad: the key map with its exceptions,
// the entry screens and the characters each takes, the hint cells.
#include "instrument/PcKeys.h"
#include "protocol/TComm32QV.h"

#include <gtest/gtest.h>

using namespace qv;

TEST(PcKeys, FunctionEscArrowAndEnterKeysAndLeftOnTheEntryScreens)
{
    const std::pair<int, MeterKey> map[] = {
        {Qt::Key_F1, MeterKey::Mode},  {Qt::Key_F2, MeterKey::Set},    {Qt::Key_F3, MeterKey::Memo},
        {Qt::Key_Escape, MeterKey::Esc}, {Qt::Key_Up, MeterKey::Up},   {Qt::Key_Down, MeterKey::Down},
        {Qt::Key_Right, MeterKey::Meas}, {Qt::Key_Return, MeterKey::Enter}, {Qt::Key_Enter, MeterKey::Enter},
    };
    for (const auto &[key, meterKey] : map)
        EXPECT_EQ(pcKeyToMeterKey(key, 0, ftStatus), meterKey) << key;
    for (int other : {Qt::Key_F4, Qt::Key_A, Qt::Key_Space, Qt::Key_Tab, Qt::Key_PageDown})
        EXPECT_FALSE(pcKeyToMeterKey(other, 0, ftStatus)) << other;
    // Left is Down only on the entry screens that move with it.
    for (int screen : {1400, 25100, 2500, 2510, 25000, 100})
        EXPECT_EQ(pcKeyToMeterKey(Qt::Key_Left, screen, ftStatus), MeterKey::Down) << screen;
    // Screen 100 showing a memory preview, the measurement screen, menus.
    EXPECT_FALSE(pcKeyToMeterKey(Qt::Key_Left, 100, ftMemoryPreview));
    for (int screen : {0, 1, 10, 110, 220, 320, 2520})
        EXPECT_FALSE(pcKeyToMeterKey(Qt::Key_Left, screen, ftStatus)) << screen;
}

TEST(PcKeys, EntryScreensAndTheCharactersTheyTake)
{
    for (int s : {110, 2500, 2510, 25000, 220, 320, 100, 1400, 25100})
        EXPECT_TRUE(EntryPermissions::forScreen(s).active) << s;
    for (int s : {0, 1, 10, 111, 2501, 60000})
        EXPECT_FALSE(EntryPermissions::forScreen(s).active) << s;

    struct Case { int screen; QString takes, refuses; };
    const Case cases[] = {
        {110, "7", ".a"},                                    // digits
        {220, "0.", "-a"}, {320, "5.", "a"},                 // decimal
        {100, QString("Q ") + QChar(0x0141), "\r\t"},        // any character of the text font
        {25100, "Q", "\r"},
        {0, "", "1"},                                        // no entry field
    };
    for (const Case &c : cases) {
        const auto allowed = EntryPermissions::forScreen(c.screen);
        for (QChar ch : c.takes)
            EXPECT_EQ(acceptedChar(ch, allowed), ch) << c.screen << " " << ch.unicode();
        for (QChar ch : c.refuses)
            EXPECT_FALSE(acceptedChar(ch, allowed)) << c.screen << " " << ch.unicode();
    }
    EXPECT_EQ(acceptedChar(',', EntryPermissions::forScreen(220)), QChar('.'));
}

TEST(PcKeys, HintCellsFollowTheKeysOrderAndSkipRefreshAndPower)
{
    const MeterKey order[] = {MeterKey::Mode, MeterKey::Set,  MeterKey::Memo, MeterKey::Esc,
                              MeterKey::Up,   MeterKey::Down, MeterKey::Meas, MeterKey::Enter};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(hintCell(order[i]), i);
    EXPECT_EQ(hintCell(MeterKey::Refresh), -1);
    EXPECT_EQ(hintCell(MeterKey::Power), -1);
}


// The PC keyboard as the meter's keypad: the key map with its exceptions,
// the characters each entry screen takes, the hint cells.
#include "instrument/PcKeys.h"
#include "protocol/TComm32QV.h"

#include <gtest/gtest.h>

using namespace qv;

TEST(PcKeys, FunctionEscArrowAndEnterKeys)
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
}

TEST(PcKeys, LeftIsDownOnlyOnTheEntryScreensThatMoveWithIt)
{
    for (int screen : {1400, 25100, 2500, 2510, 25000, 100})
        EXPECT_EQ(pcKeyToMeterKey(Qt::Key_Left, screen, ftStatus), MeterKey::Down) << screen;
    // Screen 100 showing a memory preview, the measurement screen, menus.
    EXPECT_FALSE(pcKeyToMeterKey(Qt::Key_Left, 100, ftMemoryPreview));
    for (int screen : {0, 1, 10, 110, 220, 320, 2520})
        EXPECT_FALSE(pcKeyToMeterKey(Qt::Key_Left, screen, ftStatus)) << screen;
}

TEST(PcKeys, CharactersByTheScreensPermissions)
{
    const auto digits = EntryPermissions::forScreen(110);
    const auto decimal = EntryPermissions::forScreen(220);
    const auto any = EntryPermissions::forScreen(100);
    const auto none = EntryPermissions::forScreen(0);

    EXPECT_EQ(acceptedChar('7', digits), QChar('7'));
    EXPECT_FALSE(acceptedChar('.', digits));
    EXPECT_FALSE(acceptedChar('a', digits));

    EXPECT_EQ(acceptedChar('0', decimal), QChar('0'));
    EXPECT_EQ(acceptedChar('.', decimal), QChar('.'));
    EXPECT_EQ(acceptedChar(',', decimal), QChar('.'));
    EXPECT_FALSE(acceptedChar('-', decimal));

    EXPECT_EQ(acceptedChar('Q', any), QChar('Q'));
    EXPECT_EQ(acceptedChar(' ', any), QChar(' '));
    EXPECT_EQ(acceptedChar(QChar(0x0141), any), QChar(0x0141));   // Ł
    EXPECT_FALSE(acceptedChar('\r', any));
    EXPECT_FALSE(acceptedChar('\t', any));

    EXPECT_FALSE(acceptedChar('1', none));
}

TEST(PcKeys, HintCellsFollowTheKeysOrderAndSkipRefreshAndPower)
{
    EXPECT_EQ(hintCell(MeterKey::Mode), 0);
    EXPECT_EQ(hintCell(MeterKey::Esc), 3);
    EXPECT_EQ(hintCell(MeterKey::Up), 4);
    EXPECT_EQ(hintCell(MeterKey::Enter), 7);
    EXPECT_EQ(hintCell(MeterKey::Refresh), -1);
    EXPECT_EQ(hintCell(MeterKey::Power), -1);
}

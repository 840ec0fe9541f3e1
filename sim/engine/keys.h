// The command letters the meter understands: its ten keys, the information
// and identification requests, and the letters of character entry.
#pragma once

#include <cstdint>

namespace qvsim {

enum KeyLetter : uint8_t {
    KeyMode = 'D',
    KeySet = 'L',
    KeyMemo = 'T',
    KeyEsc = 'Q',
    KeyPower = 'Z',
    KeyUp = 'R',
    KeyDown = 'J',
    KeyMeas = 'S',
    KeyEnter = 'K',
    KeyAux = 'A',        // a code without a key on the keypad
    CmdInfo = 'I',       // answer with the status block
    CmdIdentify = 'B',   // answer with the identification frame
};

// Codes the meter puts in frame byte 3 for what it does on its own.
constexpr uint8_t CodeStop = 's';   // a measurement run ends

// MODE, SET and MEMO select character groups 1, 2 and 3; 0 for other keys.
inline int groupOfKey(uint8_t key)
{
    return key == KeyMode ? 1 : key == KeySet ? 2 : key == KeyMemo ? 3 : 0;
}

// The place (0 ... 11) within a group that a letter E-H, M-P or U-X picks;
// -1 for any other byte.
inline int positionOfLetter(uint8_t key)
{
    if (key >= 'E' && key <= 'H')
        return key - 'E';
    if (key >= 'M' && key <= 'P')
        return 4 + key - 'M';
    if (key >= 'U' && key <= 'X')
        return 8 + key - 'U';
    return -1;
}

} // namespace qvsim

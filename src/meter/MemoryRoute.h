// The way from whatever screen the meter shows to its "send memory to PC"
// command, read one screen at a time from the screen number it reports after
// each key. A menu screen's number is its menu's number (ending in 0) plus
// the highlighted item, so the number alone says where the meter is: the
// memory menu is 10 to 15 (item 5 sends to the PC, and opens screen 150,
// whose ENTER starts the transfer), the measurement screen is 0, the welcome
// screen 1, dialogs are 60000 and above; ESC leads back from everything else.
#pragma once

namespace qv {

// The key command (a KeyCommand index) that brings the meter one step closer
// to sending its memory from `screen`; -1 when the meter must be left alone
// for a while (its welcome screen). `editing`: its text editor is open.
int NextKeyToSendMemory(int screen, bool editing);

// The screen whose ENTER starts the transfer.
constexpr int SendMemoryScreen = 150;

} // namespace qv

// The PC keyboard as the meter's keypad: which meter key a PC key stands for
// on a given screen, and which typed characters the meter's text editor
// accepts there.
#pragma once

#include "instrument/LcdScreen.h"
#include "instrument/MeterCore.h"

#include <QChar>

#include <optional>

namespace qv {

// The meter key of a PC key pressed with no Shift, Ctrl or Alt (`key` is a
// Qt::Key). Left stands for DOWN only on the entry screens that move their
// cursor with it (and on screen 100 unless its last frame was a memory preview).
std::optional<MeterKey> pcKeyToMeterKey(int key, int screen, uint8_t lastFrameType);

// The character to type for `ch` under `entry`, "," already turned into ".";
// nothing when the current screen does not take it.
std::optional<QChar> acceptedChar(QChar ch, const EntryPermissions &entry);

// The cell of QVHINTBITMAP showing a meter key's PC key (-1: none).
int hintCell(MeterKey key);

} // namespace qv

// The meter's ten keys on screen, laid out like the meter's keypad: MODE,
// SET, MEMO and ESC down the left, REFRESH and POWER below them, the four
// arrow keys in a block under the LCD.
#pragma once

#include "dialogs/TSpecBitBtn.h"
#include "instrument/MeterCore.h"

#include <array>
#include <cstdint>
#include <functional>

namespace qv {

// A key button that tells when the mouse comes and goes (for the key hints).
using TQVBitBtn = TSpecBitBtn;

class QVKeypad {
public:
    static constexpr int KeyCount = 10;

    // Creates the keys as children of `parent`.
    QVKeypad(QWidget *parent, uint8_t language);

    // Places the keys; the arrow block is centred between the LCD frame's
    // left edge and `frameLeft`, the transmission frame's left edge.
    void layOut(int frameLeft);

    TQVBitBtn *button(MeterKey key) const { return m_keys[size_t(key)]; }

    // Raised for a click on a key, and as the mouse enters or leaves one.
    std::function<void(MeterKey)> onPress;
    std::function<void(MeterKey, bool entered)> onHover;

private:
    std::array<TQVBitBtn *, KeyCount> m_keys{};
};

} // namespace qv

// Text widths for the grids without asking the font engine per cell: the
// advance of each Windows-1250 byte in the grid font, measured once. A cell's
// width is the sum of its characters' advances (the grid font has no kerning
// worth a pixel at this size).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

class QFontMetrics;

namespace qv {

struct TextWidths {
    std::array<uint16_t, 256> advance{};

    int width(std::string_view bytes) const
    {
        int w = 0;
        for (unsigned char c : bytes)
            w += advance[c];
        return w;
    }

    // Every character `each` pixels wide (tests, and the command line that
    // has no font).
    static TextWidths fixed(int each);
};

} // namespace qv

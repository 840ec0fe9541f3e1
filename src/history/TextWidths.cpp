#include "history/TextWidths.h"

namespace qv {

TextWidths TextWidths::fixed(int each)
{
    TextWidths w;
    w.advance.fill(static_cast<uint16_t>(each));
    return w;
}

} // namespace qv

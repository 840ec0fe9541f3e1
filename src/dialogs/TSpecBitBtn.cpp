#include "dialogs/TSpecBitBtn.h"

namespace qv {

void TSpecBitBtn::enterEvent(QEnterEvent *event)
{
    QPushButton::enterEvent(event);
    if (OnMouseEnter)
        OnMouseEnter();
}

void TSpecBitBtn::leaveEvent(QEvent *event)
{
    QPushButton::leaveEvent(event);
    if (OnMouseLeave)
        OnMouseLeave();
}

} // namespace qv

#include "dialogs/ConfirmLayout.h"

#include <algorithm>

namespace qv {

using namespace confirm;

namespace {

int rightOf(const QRect &r) { return r.x() + r.width(); }
int bottomOf(const QRect &r) { return r.y() + r.height(); }

} // namespace

ConfirmGeometry layOutConfirm(QSize text, QSize check, const ConfirmOptions &o)
{
    ConfirmGeometry g;
    g.icon = QRect(kIconLeft, kIconLeft, kIconSize, kIconSize);
    g.label = QRect(QPoint(kLabelLeft, kIconLeft), text);
    int textRight = rightOf(g.label);
    int textBottom = bottomOf(g.label);
    if (!check.isEmpty()) {
        g.check = QRect(QPoint(kLabelLeft, textBottom + kCheckGap), check);
        textRight = std::max(textRight, rightOf(g.check));
        textBottom = bottomOf(g.check);
    }

    // Two rows of three: Yes, No, Skip over Yes to all, No to all, Cancel.
    auto &b = g.buttons;
    const int step = kButtonWidth + kIconLeft;
    for (int column = 0; column < 3; ++column) {
        b[BtnCodeYes + column] = QRect(kIconLeft + column * step, 0, kButtonWidth, kButtonHeight);
        b[BtnCodeYesAll + column] = b[BtnCodeYes + column];
    }
    g.shown[BtnCodeYes] = true;
    g.shown[BtnCodeNo] = !o.okOnly;
    g.shown[BtnCodeCancel] = !o.okOnly && !o.yesNoOnly;
    g.shown[BtnCodeSkip] = g.shown[BtnCodeYesAll] = g.shown[BtnCodeNoAll] = o.toAll;

    const QRect &reference = o.okOnly ? b[BtnCodeYes] : o.yesNoOnly ? b[BtnCodeNo] : b[BtnCodeSkip];
    int width;
    if (rightOf(reference) <= textRight) {
        // The text is the wider: the buttons move towards the middle.
        width = textRight + kIconLeft;
        int yesLeft;
        if (o.yesNoOnly)
            yesLeft = (width - (rightOf(b[BtnCodeNo]) - b[BtnCodeYes].x())) / 2;
        else
            yesLeft = (width - (rightOf(b[BtnCodeSkip]) - b[BtnCodeYes].x())) / 3;
        const int dx = yesLeft - b[BtnCodeYes].x();
        for (QRect &r : b)
            r.translate(dx, 0);
    } else {
        width = rightOf(reference) + kIconLeft;
    }
    if (o.okOnly)
        b[BtnCodeYes].moveLeft((width - kButtonWidth) / 2);

    const int top = std::max(textBottom + kIconLeft * 3 / 2, 2 * kIconLeft + kIconSize);
    const int secondTop = top + kButtonHeight + kIconLeft / 2;
    for (int column = 0; column < 3; ++column) {
        b[BtnCodeYes + column].moveTop(top);
        b[BtnCodeYesAll + column].moveTop(secondTop);
    }
    if (!o.toAll)
        b[BtnCodeCancel].moveTopLeft(b[BtnCodeSkip].topLeft());

    int lowest = 0;
    for (int code = 0; code < kDialogButtonCount; ++code)
        if (g.shown[code])
            lowest = std::max(lowest, bottomOf(b[code]));
    g.client = QSize(width, lowest + kIconLeft / 2);
    return g;
}

QPoint placeConfirm(QSize size, const std::optional<QRect> &owner, const QRect &workArea)
{
    const QRect &around = owner ? *owner : workArea;
    int x = around.x() + (around.width() - size.width()) / 2;
    int y = around.y() + (around.height() - size.height()) / 2;
    x = std::min(x, rightOf(workArea) - size.width());
    y = std::min(y, bottomOf(workArea) - size.height());
    x = std::max(x, workArea.x());
    y = std::max(y, workArea.y());
    return QPoint(x, y);
}

} // namespace qv

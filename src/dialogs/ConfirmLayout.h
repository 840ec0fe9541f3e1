// The geometry of the confirmation dialog, worked out from the size of its
// text (and check box) alone, so that the rules can be checked without fonts.
// Right and bottom edges below are x + width and y + height.
#pragma once

#include "dialogs/DialogSeam.h"

#include <QRect>
#include <QSize>

#include <array>
#include <optional>

namespace qv {

namespace confirm {
constexpr int kIconLeft = 16;      // also the icon's top and the label's top
constexpr int kIconSize = 32;
constexpr int kLabelLeft = 64;
constexpr int kButtonWidth = 124;
constexpr int kButtonHeight = 27;
constexpr int kCheckGap = 8;       // between the text and the check box
} // namespace confirm

struct ConfirmOptions {
    bool toAll = false;
    bool okOnly = false;
    bool yesNoOnly = false;
};

struct ConfirmGeometry {
    QRect icon;
    QRect label;
    QRect check;                                   // null without a check box
    std::array<QRect, kDialogButtonCount> buttons; // indexed by button code
    std::array<bool, kDialogButtonCount> shown{};
    QSize client;
};

// `text` is the label's size (the widest line by the number of lines);
// `check` the check box's size, or an empty size when there is none. The check
// box sits under the text and counts as part of it.
ConfirmGeometry layOutConfirm(QSize text, QSize check, const ConfirmOptions &options);

// Where a dialog of `size` goes: centred over `owner` when given, else in the
// work area; then pushed inside the work area, right and bottom edges first.
QPoint placeConfirm(QSize size, const std::optional<QRect> &owner, const QRect &workArea);

} // namespace qv

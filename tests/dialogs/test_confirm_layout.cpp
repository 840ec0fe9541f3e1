// The confirmation dialog's geometry rules, on sizes alone.
#include "dialogs/ConfirmLayout.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

std::vector<int> shownCodes(const ConfirmGeometry &g)
{
    std::vector<int> codes;
    for (int code = 0; code < kDialogButtonCount; ++code)
        if (g.shown[code])
            codes.push_back(code);
    return codes;
}

QRect at(int x, int y) { return QRect(x, y, 124, 27); }

} // namespace

TEST(ConfirmLayout, ButtonsWidthAndHeightByCase)
{
    const ConfirmOptions plain{}, toAll{true, false, false}, ok{false, true, false}, yesNo{false, false, true};
    const std::vector<int> yesNoCancel{BtnCodeYes, BtnCodeNo, BtnCodeCancel};
    const struct {
        const char *name;
        QSize text, check;
        ConfirmOptions options;
        std::vector<int> shown;
        QSize client;
        QRect yes;
    } cases[] = {
        // The icon's height decides the top: max(16 + 16 + 24, 2 * 16 + 32).
        {"short text", {100, 16}, {}, plain, yesNoCancel, {436, 99}, at(16, 64)},
        {"tall text pushes the buttons down", {100, 60}, {}, plain, yesNoCancel, {436, 135}, at(16, 100)},
        // The Yes-to-Skip row is 404 wide; Yes starts at a third of the spare room.
        {"long line widens", {600, 16}, {}, plain, yesNoCancel, {680, 99}, at(92, 64)},
        // Skip ends at 420: a label ending exactly there counts as the wider.
        {"text ends at Skip", {356, 16}, {}, plain, yesNoCancel, {436, 99}, at((436 - 404) / 3, 64)},
        {"text ends before Skip", {355, 16}, {}, plain, yesNoCancel, {436, 99}, at(16, 64)},
        {"yes/no narrow", {100, 16}, {}, yesNo, {BtnCodeYes, BtnCodeNo}, {296, 99}, at(16, 64)},
        {"yes/no centred", {600, 16}, {}, yesNo, {BtnCodeYes, BtnCodeNo}, {680, 99}, at((680 - 264) / 2, 64)},
        {"ok narrow", {40, 16}, {}, ok, {BtnCodeYes}, {156, 99}, at(16, 64)},
        {"ok centred", {600, 16}, {}, ok, {BtnCodeYes}, {680, 99}, at((680 - 124) / 2, 64)},
        {"to all: two rows", {100, 16}, {}, toAll, {0, 1, 2, 3, 4, 5}, {436, 134}, at(16, 64)},
        // The check box sits under the text and counts as text.
        {"check box", {100, 16}, {500, 20}, plain, yesNoCancel, {580, 119}, at((580 - 404) / 3, 84)},
    };
    for (const auto &c : cases) {
        const ConfirmGeometry g = layOutConfirm(c.text, c.check, c.options);
        EXPECT_EQ(g.icon, QRect(16, 16, 32, 32)) << c.name;
        EXPECT_EQ(g.label, QRect(QPoint(64, 16), c.text)) << c.name;
        EXPECT_EQ(shownCodes(g), c.shown) << c.name;
        EXPECT_EQ(g.client, c.client) << c.name;
        EXPECT_EQ(g.buttons[BtnCodeYes], c.yes) << c.name;
        if (!c.options.okOnly) {
            EXPECT_EQ(g.buttons[BtnCodeNo], c.yes.translated(140, 0)) << c.name;
        }
        // Without the "to all" row Cancel takes Skip's place.
        if (!c.options.okOnly && !c.options.yesNoOnly) {
            EXPECT_EQ(g.buttons[c.options.toAll ? BtnCodeSkip : BtnCodeCancel], c.yes.translated(280, 0))
                << c.name;
        }
        EXPECT_EQ(g.check, c.check.isEmpty() ? QRect() : QRect(QPoint(64, 40), c.check)) << c.name;
    }
    // The second row sits half the icon's left distance below the first.
    const ConfirmGeometry g = layOutConfirm(QSize(100, 16), QSize(), toAll);
    EXPECT_EQ(g.buttons[BtnCodeYesAll], at(16, 99));
    EXPECT_EQ(g.buttons[BtnCodeNoAll], at(156, 99));
    EXPECT_EQ(g.buttons[BtnCodeCancel], at(296, 99));
}

TEST(ConfirmPlacement, CentredAndKeptInsideTheWorkArea)
{
    const QRect work(0, 30, 1000, 800);
    const struct {
        const char *name;
        QSize size;
        std::optional<QRect> owner;
        QPoint expected;
    } cases[] = {
        {"over the owner", {200, 100}, QRect(100, 100, 400, 300), {200, 200}},
        {"in the work area without owner", {200, 100}, std::nullopt, {400, 380}},
        {"owner over the bottom right corner", {200, 100}, QRect(900, 750, 200, 200), {800, 730}},
        {"owner over the top left corner", {200, 100}, QRect(-300, -200, 200, 100), {0, 30}},
        {"larger than the work area: left and top win", {1200, 900}, QRect(500, 500, 10, 10), {0, 30}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(placeConfirm(c.size, c.owner, work), c.expected) << c.name;
}

// The confirmation dialog's geometry rules, on sizes alone: a golden listing
// of the layouts, and the placement.
#include "dialogs/ConfirmLayout.h"
#include "support/GoldenText.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

QString rect(const QRect &r)
{
    return r.isNull() ? QStringLiteral("-")
                      : QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

} // namespace

// Each case's icon, label, check box, client size and shown buttons, one
// golden listing for all.
TEST(ConfirmLayout, GeometryOfEachCaseMatchesTheGoldenListing)
{
    const ConfirmOptions plain{}, toAll{true, false, false}, ok{false, true, false};
    const ConfirmOptions yesNo{false, false, true};
    const struct {
        const char *name;
        QSize text, check;
        ConfirmOptions options;
    } cases[] = {
        // The icon's height decides the top: max(16 + 16 + 24, 2 * 16 + 32).
        {"short text", {100, 16}, {}, plain},
        {"tall text pushes the buttons down", {100, 60}, {}, plain},
        // The Yes-to-Skip row is 404 wide; Yes starts at a third of the spare room.
        {"long line widens", {600, 16}, {}, plain},
        // Skip ends at 420: a label ending exactly there counts as the wider.
        {"text ends at Skip", {356, 16}, {}, plain},
        {"text ends before Skip", {355, 16}, {}, plain},
        {"yes/no narrow", {100, 16}, {}, yesNo},
        {"yes/no centred", {600, 16}, {}, yesNo},
        {"ok narrow", {40, 16}, {}, ok},
        {"ok centred", {600, 16}, {}, ok},
        // The second row sits half the icon's left distance below the first.
        {"to all: two rows", {100, 16}, {}, toAll},
        // The check box sits under the text and counts as text.
        {"check box", {100, 16}, {500, 20}, plain},
    };
    QString listing;
    for (const auto &c : cases) {
        const ConfirmGeometry g = layOutConfirm(c.text, c.check, c.options);
        listing += QStringLiteral("== %1: client %2x%3, icon %4, label %5, check %6\n")
                       .arg(QLatin1String(c.name)).arg(g.client.width()).arg(g.client.height())
                       .arg(rect(g.icon), rect(g.label), rect(g.check));
        for (int code = 0; code < kDialogButtonCount; ++code)
            if (g.shown[code])
                listing += QStringLiteral("button %1 %2\n").arg(code).arg(rect(g.buttons[code]));
    }
    qvtest::expectGoldenText(QStringLiteral("dialogs/confirm-layout.txt"), listing);
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

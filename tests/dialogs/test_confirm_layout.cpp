// The confirmation dialog's geometry rules, on sizes alone.
#include "dialogs/ConfirmLayout.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

const QSize kOneLine(100, 16);

std::vector<int> shownCodes(const ConfirmGeometry &g)
{
    std::vector<int> codes;
    for (int code = 0; code < kDialogButtonCount; ++code)
        if (g.shown[code])
            codes.push_back(code);
    return codes;
}

int right(const QRect &r) { return r.x() + r.width(); }
int bottom(const QRect &r) { return r.y() + r.height(); }

} // namespace

TEST(ConfirmLayout, ShortTextKeepsTheButtonRowAndCancelTakesSkipsPlace)
{
    const ConfirmGeometry g = layOutConfirm(kOneLine, QSize(), {});
    EXPECT_EQ(g.icon, QRect(16, 16, 32, 32));
    EXPECT_EQ(g.label, QRect(64, 16, 100, 16));
    EXPECT_EQ(shownCodes(g), (std::vector<int>{BtnCodeYes, BtnCodeNo, BtnCodeCancel}));
    // The icon's height decides the top: max(16 + 16 + 24, 2 * 16 + 32).
    EXPECT_EQ(g.buttons[BtnCodeYes], QRect(16, 64, 124, 27));
    EXPECT_EQ(g.buttons[BtnCodeNo], QRect(156, 64, 124, 27));
    EXPECT_EQ(g.buttons[BtnCodeCancel], QRect(296, 64, 124, 27));
    EXPECT_EQ(g.client, QSize(296 + 124 + 16, 64 + 27 + 8));
}

TEST(ConfirmLayout, TallTextPushesTheButtonsDown)
{
    const ConfirmGeometry g = layOutConfirm(QSize(100, 60), QSize(), {});
    EXPECT_EQ(g.buttons[BtnCodeYes].y(), 16 + 60 + 24);
    EXPECT_EQ(g.client.height(), 100 + 27 + 8);
}

TEST(ConfirmLayout, LongLineWidensAndPutsYesAtOneThirdOfTheSpareRoom)
{
    const ConfirmGeometry g = layOutConfirm(QSize(600, 16), QSize(), {});
    EXPECT_EQ(g.client.width(), 664 + 16);
    // The Yes-to-Skip row is 404 wide; Yes starts at (680 - 404) / 3.
    EXPECT_EQ(g.buttons[BtnCodeYes].x(), 92);
    EXPECT_EQ(g.buttons[BtnCodeNo].x(), 92 + 140);
    EXPECT_EQ(g.buttons[BtnCodeCancel].x(), 92 + 280);
}

TEST(ConfirmLayout, TextEndingExactlyAtTheReferenceButtonCountsAsTheWider)
{
    // Skip ends at 420: a label ending there is "not beyond" it.
    const ConfirmGeometry even = layOutConfirm(QSize(420 - 64, 16), QSize(), {});
    EXPECT_EQ(even.client.width(), 436);
    EXPECT_EQ(even.buttons[BtnCodeYes].x(), (436 - 404) / 3);
    const ConfirmGeometry shorter = layOutConfirm(QSize(420 - 64 - 1, 16), QSize(), {});
    EXPECT_EQ(shorter.client.width(), 436);
    EXPECT_EQ(shorter.buttons[BtnCodeYes].x(), 16);
}

TEST(ConfirmLayout, YesNoOnlyCentresThePair)
{
    const ConfirmOptions yesNo{false, false, true};
    const ConfirmGeometry narrow = layOutConfirm(kOneLine, QSize(), yesNo);
    EXPECT_EQ(shownCodes(narrow), (std::vector<int>{BtnCodeYes, BtnCodeNo}));
    EXPECT_EQ(narrow.client.width(), 280 + 16);
    EXPECT_EQ(narrow.buttons[BtnCodeYes].x(), 16);

    const ConfirmGeometry wide = layOutConfirm(QSize(600, 16), QSize(), yesNo);
    EXPECT_EQ(wide.client.width(), 680);
    const int left = wide.buttons[BtnCodeYes].x();
    EXPECT_EQ(left, (680 - 264) / 2);
    EXPECT_EQ(680 - right(wide.buttons[BtnCodeNo]), left);
}

TEST(ConfirmLayout, OkOnlyCentresTheSingleButton)
{
    const ConfirmOptions ok{false, true, false};
    const ConfirmGeometry narrow = layOutConfirm(QSize(40, 16), QSize(), ok);
    EXPECT_EQ(shownCodes(narrow), (std::vector<int>{BtnCodeYes}));
    EXPECT_EQ(narrow.client.width(), 140 + 16);
    EXPECT_EQ(narrow.buttons[BtnCodeYes].x(), 16);

    const ConfirmGeometry wide = layOutConfirm(QSize(600, 16), QSize(), ok);
    EXPECT_EQ(wide.buttons[BtnCodeYes].x(), (680 - 124) / 2);
    EXPECT_EQ(wide.client.height(), 64 + 27 + 8);
}

TEST(ConfirmLayout, ToAllUsesTheSecondRow)
{
    const ConfirmGeometry g = layOutConfirm(kOneLine, QSize(), {true, false, false});
    EXPECT_EQ(shownCodes(g).size(), 6u);
    EXPECT_EQ(g.buttons[BtnCodeSkip], QRect(296, 64, 124, 27));
    // Half the icon's left distance below the first row.
    EXPECT_EQ(g.buttons[BtnCodeYesAll], QRect(16, 64 + 27 + 8, 124, 27));
    EXPECT_EQ(g.buttons[BtnCodeNoAll], QRect(156, 99, 124, 27));
    EXPECT_EQ(g.buttons[BtnCodeCancel], QRect(296, 99, 124, 27));
    EXPECT_EQ(g.client, QSize(436, 99 + 27 + 8));
}

TEST(ConfirmLayout, CheckBoxSitsUnderTheTextAndCountsAsText)
{
    const ConfirmGeometry g = layOutConfirm(kOneLine, QSize(500, 20), {});
    EXPECT_EQ(g.check, QRect(64, 16 + 16 + 8, 500, 20));
    EXPECT_EQ(g.buttons[BtnCodeYes].y(), bottom(g.check) + 24);
    EXPECT_EQ(g.client.width(), 564 + 16);

    EXPECT_TRUE(layOutConfirm(kOneLine, QSize(), {}).check.isNull());
}

TEST(ConfirmPlacement, CentredOverTheOwner)
{
    const QRect work(0, 0, 1000, 800);
    EXPECT_EQ(placeConfirm(QSize(200, 100), QRect(100, 100, 400, 300), work), QPoint(200, 200));
}

TEST(ConfirmPlacement, CentredInTheWorkAreaWithoutOwner)
{
    EXPECT_EQ(placeConfirm(QSize(200, 100), std::nullopt, QRect(0, 30, 1000, 800)), QPoint(400, 380));
}

TEST(ConfirmPlacement, KeptInsideTheWorkArea)
{
    const QRect work(0, 30, 1000, 800);
    // Owner hanging over the bottom right corner.
    EXPECT_EQ(placeConfirm(QSize(200, 100), QRect(900, 750, 200, 200), work), QPoint(800, 730));
    // Over the top left corner.
    EXPECT_EQ(placeConfirm(QSize(200, 100), QRect(-300, -200, 200, 100), work), QPoint(0, 30));
    // Larger than the work area: the left and top edges win.
    EXPECT_EQ(placeConfirm(QSize(1200, 900), QRect(500, 500, 10, 10), work), QPoint(0, 30));
}

// TConfirmForm as the user meets it: captions, text, layout, icon, placement,
// and, through the default handler, the keys and the held reference.
#include "DialogTestSupport.h"

#include "dialogs/DialogSeam.h"
#include "dialogs/TConfirmForm.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace qv;
using qv::test::whenModalOpens;

namespace {

class ConfirmFormTest : public qv::test::DialogSettingsTest {
protected:
    std::unique_ptr<TConfirmForm> form(const QString &text, bool toAll = false, bool okOnly = false,
                                       bool yesNoOnly = false, int icon = IconQuestion)
    {
        DialogRequest r;
        r.text = text;
        r.caption = QStringLiteral("QV-7xx");
        r.icon = icon;
        r.toAll = toAll;
        r.okOnly = okOnly;
        r.yesNoOnly = yesNoOnly;
        return std::make_unique<TConfirmForm>(r);
    }

    static QStringList captions(const TConfirmForm &f)
    {
        QStringList out;
        for (int code = 0; code < kDialogButtonCount; ++code)
            out << f.button(code)->text();
        return out;
    }
    static bool shown(const TConfirmForm &f, int code) { return f.button(code)->isVisibleTo(&f); }
};

TEST_F(ConfirmFormTest, CaptionsFollowTheDialogLanguage)
{
    DialogLanguage = LangPolish;
    EXPECT_EQ(captions(*form("?", true)),
              QStringList({"Tak", "Nie", QString::fromUtf8("Pomiń"), "Tak na wszystkie",
                           "Nie na wszystkie", "Anuluj"}));
    DialogLanguage = LangEnglish;
    EXPECT_EQ(captions(*form("?", true)),
              QStringList({"Yes", "No", "Skip", "Yes to all", "No to all", "Cancel"}));
    // Any language but English gets the Polish captions.
    DialogLanguage = 7;
    EXPECT_EQ(form("?")->button(BtnCodeCancel)->text(), "Anuluj");

    for (int language : {LangPolish, LangEnglish}) {
        DialogLanguage = language;
        auto ok = form("Done.", false, true);
        EXPECT_EQ(ok->button(BtnCodeYes)->text(), "OK");
        EXPECT_TRUE(shown(*ok, BtnCodeYes));
        EXPECT_FALSE(shown(*ok, BtnCodeNo));
        EXPECT_FALSE(shown(*ok, BtnCodeCancel));
    }
}

TEST_F(ConfirmFormTest, AmpersandIsShownAsACharacter)
{
    auto with = form("Save & close");
    auto without = form("Save  close");
    QLabel *label = with->LabelTxt();
    // Were "&" a mnemonic marker, it would take no room and underline the space.
    EXPECT_GE(label->sizeHint().width() - without->LabelTxt()->sizeHint().width(),
              label->fontMetrics().horizontalAdvance('&') - label->fontMetrics().horizontalAdvance(' '));
    EXPECT_EQ(label->text(), "Save & close");
    // The width is measured with "&" doubled, which leaves the line whole.
    EXPECT_EQ(label->width(), std::ceil(QFontMetricsF(label->font()).horizontalAdvance("Save && close")));
    EXPECT_GE(label->width(), label->sizeHint().width());
    EXPECT_EQ(label->height(), without->LabelTxt()->height());
}

TEST_F(ConfirmFormTest, LinesBreakAtCrLfAndTheWidestLineSetsTheWidth)
{
    const QString longest = QStringLiteral("the second line is by far the longest one of the three");
    auto f = form("first\r\n" + longest + "\r\nthird");
    QLabel *label = f->LabelTxt();
    EXPECT_FALSE(label->text().contains('\r'));
    const QFontMetrics fm(label->font());
    EXPECT_GE(label->width(), fm.horizontalAdvance(longest));
    EXPECT_LE(label->width(), fm.horizontalAdvance(longest) + 1);
    // Three lines, none wrapped.
    auto one = form("first");
    EXPECT_GE(label->height(), 3 * one->LabelTxt()->height() - 2);
    EXPECT_EQ(label->heightForWidth(label->width()), label->height());
}

TEST_F(ConfirmFormTest, ShortTextKeepsTheRowLongTextWidensAndCentres)
{
    auto yesNoCancel = form("Stop?");
    EXPECT_EQ(yesNoCancel->width(), 436);
    EXPECT_EQ(yesNoCancel->button(BtnCodeCancel)->y(), yesNoCancel->button(BtnCodeYes)->y());
    EXPECT_FALSE(shown(*yesNoCancel, BtnCodeSkip));

    auto yesNo = form(QString(120, 'W'), false, false, true);
    const QRect label = yesNo->LabelTxt()->geometry();
    EXPECT_EQ(yesNo->width(), label.x() + label.width() + 16);
    const int leftGap = yesNo->button(BtnCodeYes)->x();
    const QRect no = yesNo->button(BtnCodeNo)->geometry();
    EXPECT_NEAR(yesNo->width() - (no.x() + no.width()), leftGap, 1);
    EXPECT_GT(leftGap, 16);
    EXPECT_FALSE(shown(*yesNo, BtnCodeCancel));
    // The client size is fixed.
    EXPECT_EQ(yesNo->minimumSize(), yesNo->maximumSize());
}

TEST_F(ConfirmFormTest, ToAllPutsCancelOnTheSecondRow)
{
    auto f = form("Replace?", true);
    for (int code = 0; code < kDialogButtonCount; ++code)
        EXPECT_TRUE(shown(*f, code)) << code;
    EXPECT_GT(f->button(BtnCodeCancel)->y(), f->button(BtnCodeSkip)->y());
    EXPECT_EQ(f->button(BtnCodeCancel)->x(), f->button(BtnCodeSkip)->x());
    EXPECT_EQ(f->height(), f->button(BtnCodeCancel)->geometry().bottom() + 1 + 8);
}

TEST_F(ConfirmFormTest, IconByFlag)
{
    const struct {
        int flag;
        QStyle::StandardPixmap expected;
    } cases[] = {{IconInformation, QStyle::SP_MessageBoxInformation},
                 {IconWarning, QStyle::SP_MessageBoxWarning},
                 {IconQuestion, QStyle::SP_MessageBoxQuestion},
                 {0, QStyle::SP_MessageBoxQuestion},
                 {16, QStyle::SP_MessageBoxQuestion}};
    for (const auto &c : cases) {
        auto f = form("?", false, false, false, c.flag);
        const QImage shownIcon = f->ImageIcon()->pixmap().toImage();
        const QImage expected = f->style()->standardIcon(c.expected).pixmap(32).toImage();
        EXPECT_FALSE(shownIcon.isNull());
        EXPECT_EQ(shownIcon, expected) << c.flag;
    }
    EXPECT_EQ(form("?")->ImageIcon()->geometry(), QRect(16, 16, 32, 32));
}

TEST_F(ConfirmFormTest, PlacedOverTheOwnerOnlyWhenAskedTo)
{
    QWidget owner;
    owner.setGeometry(150, 80, 500, 200);   // off the middle of the 800 x 600 screen
    owner.show();
    DialogRequest r;
    r.owner = &owner;
    r.text = "?";

    CenterOnOwner = true;
    TConfirmForm over(r);
    EXPECT_NEAR(over.geometry().center().x(), owner.frameGeometry().center().x(), 1);
    EXPECT_NEAR(over.geometry().center().y(), owner.frameGeometry().center().y(), 1);

    CenterOnOwner = false;
    TConfirmForm centred(r);
    const QRect work = owner.screen()->availableGeometry();
    EXPECT_NEAR(centred.geometry().center().x(), work.center().x(), 1);
    EXPECT_NEAR(centred.geometry().center().y(), work.center().y(), 1);
}

// --- through the default handler -------------------------------------------------

TEST_F(ConfirmFormTest, EscapeAndClosingAnswerCancel)
{
    whenModalOpens<TConfirmForm>([](TConfirmForm *f) {
        EXPECT_EQ(f->windowTitle(), "QV-7xx ... Search");
        QTest::keyClick(f, Qt::Key_Escape);
    });
    EXPECT_EQ(AskChoice(nullptr, "Go on?", "QV-7xx ... Search", IconQuestion, true, false), BtnCodeCancel);

    whenModalOpens<TConfirmForm>([](TConfirmForm *f) { f->close(); });
    EXPECT_FALSE(AskYesNoPlain(nullptr, "Go on?", "QV-7xx", IconQuestion));
}

TEST_F(ConfirmFormTest, EnterPressesTheDefaultButton)
{
    for (int defaultButton : {0, 1}) {
        whenModalOpens<TConfirmForm>([defaultButton](TConfirmForm *f) {
            EXPECT_EQ(f->focusWidget(), f->button(defaultButton));
            QTest::keyClick(f->focusWidget(), Qt::Key_Return);
        });
        EXPECT_EQ(AskYesNo(nullptr, "Delete?", "QV-7xx", IconWarning, defaultButton), defaultButton == 0);
    }
}

TEST_F(ConfirmFormTest, ButtonsAnswerTheirCodesAndTheSoundPlaysOnOpening)
{
    for (int code = 0; code < kDialogButtonCount; ++code) {
        whenModalOpens<TConfirmForm>([code](TConfirmForm *f) { f->button(code)->click(); });
        EXPECT_EQ(AskChoice(nullptr, "Which?", "QV-7xx", IconInformation, true, false), code);
    }
    EXPECT_EQ(beeps, std::vector<int>(kDialogButtonCount, IconInformation));
}

TEST_F(ConfirmFormTest, HeldDialogCanBeClosedFromElsewhere)
{
    HeldDialog held;
    bool wasOpen = false;
    whenModalOpens<TConfirmForm>([&](TConfirmForm *) {
        wasOpen = held.isOpen();
        held.close();
    });
    EXPECT_FALSE(AskYesNoHeld(nullptr, held, "Replace the history?", IconQuestion, "QV-7xx"));
    EXPECT_TRUE(wasOpen);
    EXPECT_FALSE(held.isOpen());
    held.close();   // nothing left to close

    whenModalOpens<TConfirmForm>([&](TConfirmForm *) { held.close(); });
    EXPECT_EQ(AskChoiceHeld(nullptr, "?", "QV-7xx", IconQuestion, false, false, held), BtnCodeCancel);
}

TEST_F(ConfirmFormTest, CheckBoxIsWrittenBackUnlessSkippedOrCancelled)
{
    HeldDialog held;
    const struct {
        int button;
        bool returns;
        bool checkedAfter;
    } cases[] = {{BtnCodeYes, true, true},    {BtnCodeNo, false, true},
                 {BtnCodeYesAll, true, true}, {BtnCodeNoAll, false, true},
                 {BtnCodeSkip, false, false}, {BtnCodeCancel, false, false}};
    for (const auto &c : cases) {
        bool checked = false;
        whenModalOpens<TConfirmForm>([&](TConfirmForm *f) {
            EXPECT_TRUE(f->CheckBox()->isVisibleTo(f));
            EXPECT_EQ(f->CheckBox()->text(), "Apply to all files");
            f->CheckBox()->setChecked(true);
            f->button(c.button)->click();
        });
        EXPECT_EQ(AskChoiceCheck(nullptr, held, "Overwrite?", IconQuestion, checked, true, false,
                                 "Apply to all files", "QV-7xx"),
                  c.returns)
            << c.button;
        EXPECT_EQ(checked, c.checkedAfter) << c.button;
    }
}

} // namespace

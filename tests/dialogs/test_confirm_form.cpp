// The confirmation dialog: its geometry rules on sizes alone (a golden
// listing of the layouts, and the placement); TConfirmForm as the user meets
// it: its captions, text, icon and frame on the screen, and, through the
// default handler, the keys, the buttons, the held reference and the box.
#include "dialogs/ConfirmLayout.h"
#include "dialogs/DialogSeam.h"
#include "dialogs/TConfirmForm.h"
#include "support/GoldenText.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <tuple>

using namespace qv;

namespace {

QString rect(const QRect &r)
{
    return r.isNull() ? QStringLiteral("-")
                      : QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// Runs `act` on the modal dialog once it is open. Should `act` leave it open,
// a fail-safe closes it a little later so that the test cannot hang.
void whenModalOpens(std::function<void(TConfirmForm *)> act)
{
    QTimer::singleShot(0, [act] {
        auto *dialog = qobject_cast<TConfirmForm *>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no modal dialog is open";
            return;
        }
        QPointer<TConfirmForm> guard(dialog);
        act(dialog);
        QTimer::singleShot(2000, [guard] {
            if (guard && guard->isVisible()) {
                ADD_FAILURE() << "the dialog stayed open";
                guard->close();
            }
        });
    });
}

// Keeps the module settings as the test found them and records the sound.
class ConfirmFormTest : public ::testing::Test {
protected:
    void SetUp() override { TConfirmForm::setBeep([this](int flag) { beeps.push_back(flag); }); }
    void TearDown() override
    {
        DialogLanguage = m_language;
        CenterOnOwner = m_centre;
        TConfirmForm::setBeep(nullptr);
    }

    // A form asking `text`; `set` adjusts the rest of the request.
    static std::unique_ptr<TConfirmForm> form(const QString &text,
                                              const std::function<void(DialogRequest &)> &set = {})
    {
        DialogRequest r;
        r.text = text;
        r.caption = QStringLiteral("QV-7xx");
        if (set)
            set(r);
        return std::make_unique<TConfirmForm>(r);
    }

    std::vector<int> beeps;

private:
    const int m_language = DialogLanguage;
    const bool m_centre = CenterOnOwner;
};

// The buttons shown (caption and place), the icon's place and the client
// size of forms in each language, with OK only and with "to all" under a long
// line, against a golden listing: any language but English gets the Polish
// captions; the form takes the layout's geometry.
TEST_F(ConfirmFormTest, FormsInEachLanguageMatchTheGoldenListing)
{
    const struct {
        const char *name;
        int language;
        bool okOnly, toAll;
    } cases[] = {{"Polish", LangPolish, false, false},  {"language 7", 7, false, false},
                 {"English", LangEnglish, false, false}, {"OK only", LangEnglish, true, false},
                 {"to all, a long line", LangEnglish, false, true}};
    QString listing;
    for (const auto &c : cases) {
        DialogLanguage = c.language;
        auto f = form(c.toAll ? QString(120, 'W') : "?",
                      [&c](DialogRequest &r) { std::tie(r.okOnly, r.toAll) = std::tie(c.okOnly, c.toAll); });
        listing += QStringLiteral("== %1: client %2x%3, icon %4\n").arg(QLatin1String(c.name)).arg(f->width())
                       .arg(f->height()).arg(rect(f->ImageIcon()->geometry()));
        for (int code = 0; code < kDialogButtonCount; ++code)
            if (f->button(code)->isVisibleTo(f.get()))
                listing += QStringLiteral("%1 %2\n")
                               .arg(f->button(code)->text(), rect(f->button(code)->geometry()));
    }
    qvtest::expectGoldenText(QStringLiteral("dialogs/confirm-forms.txt"), listing);
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
    const int advance = QFontMetrics(label->font()).horizontalAdvance(longest);
    EXPECT_GE(label->width(), advance);
    EXPECT_LE(label->width(), advance + 1);
    EXPECT_GE(label->height(), 3 * form("first")->LabelTxt()->height() - 2);  // three lines, none wrapped
    EXPECT_EQ(label->heightForWidth(label->width()), label->height());
}

TEST_F(ConfirmFormTest, IconByFlag)
{
    const std::pair<int, QStyle::StandardPixmap> cases[] = {
        {IconInformation, QStyle::SP_MessageBoxInformation}, {IconWarning, QStyle::SP_MessageBoxWarning},
        {IconQuestion, QStyle::SP_MessageBoxQuestion}, {0, QStyle::SP_MessageBoxQuestion},
        {16, QStyle::SP_MessageBoxQuestion}};
    for (const auto &[flag, expected] : cases) {
        const QImage shown = form("?", [flag = flag](DialogRequest &r) { r.icon = flag; })
                                 ->ImageIcon()->pixmap().toImage();
        EXPECT_EQ(shown, QApplication::style()->standardIcon(expected).pixmap(32).toImage()) << flag;
    }
}

// Over the owner only when asked to, and kept inside the work area with its
// frame, pushed against the edges it would cross.
TEST_F(ConfirmFormTest, PlacedOverTheOwnerInsideTheWorkAreaWithItsFrame)
{
    QWidget owner;
    owner.setGeometry(150, 80, 500, 200);  // off the middle of the 800 x 600 screen
    owner.show();
    const QRect work = owner.screen()->availableGeometry();
    DialogRequest r;
    r.owner = &owner;
    r.text = "?";
    for (bool over : {true, false}) {
        CenterOnOwner = over;
        TConfirmForm f(r);
        EXPECT_NEAR(f.geometry().center().x(), (over ? owner.frameGeometry() : work).center().x(), 1) << over;
        EXPECT_NEAR(f.geometry().center().y(), (over ? owner.frameGeometry() : work).center().y(), 1) << over;
    }
    CenterOnOwner = true;
    for (const QPoint &corner : {work.topLeft(), work.bottomRight()}) {   // owners over two corners
        owner.setGeometry(QRect(QPoint(), QSize(120, 80)).translated(corner - QPoint(60, 40)));
        TConfirmForm f(r);
        f.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
        const QRect frame = f.frameGeometry();
        ASSERT_GT(frame.width(), f.width()) << "the platform gives no frame";
        EXPECT_TRUE(work.contains(frame)) << corner.x() << "," << corner.y();
        EXPECT_TRUE(frame.left() == work.left() || frame.right() == work.right()) << corner.x();
        EXPECT_TRUE(frame.top() == work.top() || frame.bottom() == work.bottom()) << corner.y();
    }
}

// --- through the default handler -------------------------------------------------

// Esc and closing answer Cancel, Enter the default button, each button its
// code; the sound plays on opening.
TEST_F(ConfirmFormTest, KeysAndButtonsAnswerAndTheSoundPlaysOnOpening)
{
    whenModalOpens([](TConfirmForm *f) {
        EXPECT_EQ(f->windowTitle(), "QV-7xx ... Search");
        QTest::keyClick(f, Qt::Key_Escape);
    });
    EXPECT_EQ(AskChoice(nullptr, "Go on?", "QV-7xx ... Search", IconQuestion, true, false), BtnCodeCancel);
    whenModalOpens([](TConfirmForm *f) { f->close(); });
    EXPECT_FALSE(AskYesNoPlain(nullptr, "Go on?", "QV-7xx", IconQuestion));
    for (int defaultButton : {0, 1}) {
        whenModalOpens([defaultButton](TConfirmForm *f) {
            EXPECT_EQ(f->focusWidget(), f->button(defaultButton));
            QTest::keyClick(f->focusWidget(), Qt::Key_Return);
        });
        EXPECT_EQ(AskYesNo(nullptr, "Delete?", "QV-7xx", IconWarning, defaultButton), defaultButton == 0);
    }
    beeps.clear();
    for (int code = 0; code < kDialogButtonCount; ++code) {
        whenModalOpens([code](TConfirmForm *f) { f->button(code)->click(); });
        EXPECT_EQ(AskChoice(nullptr, "Which?", "QV-7xx", IconInformation, true, false), code);
    }
    EXPECT_EQ(beeps, std::vector<int>(kDialogButtonCount, IconInformation));
}

TEST_F(ConfirmFormTest, HeldDialogCanBeClosedFromElsewhere)
{
    HeldDialog held;
    bool wasOpen = false;
    whenModalOpens([&](TConfirmForm *) {
        wasOpen = held.isOpen();
        held.close();
    });
    EXPECT_FALSE(AskYesNoHeld(nullptr, held, "Replace the history?", IconQuestion, "QV-7xx"));
    EXPECT_TRUE(wasOpen);
    EXPECT_FALSE(held.isOpen());
    held.close();  // nothing left to close

    whenModalOpens([&](TConfirmForm *) { held.close(); });
    EXPECT_EQ(AskChoiceHeld(nullptr, "?", "QV-7xx", IconQuestion, false, false, held), BtnCodeCancel);
}

// Which answers write the box back is the routine's rule (see the routines'
// tests); here the form must hand its box's state to it.
TEST_F(ConfirmFormTest, CheckBoxStateReachesTheCaller)
{
    HeldDialog held;
    bool checked = false;
    whenModalOpens([](TConfirmForm *f) {
        EXPECT_TRUE(f->CheckBox()->isVisibleTo(f));
        EXPECT_EQ(f->CheckBox()->text(), "Apply to all files");
        f->CheckBox()->setChecked(true);
        f->button(BtnCodeNoAll)->click();
    });
    EXPECT_FALSE(AskChoiceCheck(nullptr, held, "Overwrite?", IconQuestion, checked, true, false,
                                "Apply to all files", "QV-7xx"));
    EXPECT_TRUE(checked);
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

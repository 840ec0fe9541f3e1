// What each routine asks the dialog handler and how it reads the answer,
// answered by a scripted handler without any window.
#include "dialogs/DialogSeam.h"
#include "dialogs/ScriptedDialogs.h"
#include "support/GoldenText.h"

#include <QWidget>

#include <gtest/gtest.h>

using namespace qv;

namespace {

class DialogRoutinesTest : public ::testing::Test {
protected:
    ScriptedDialogHandler dialogs;
    ScopedDialogHandler installed{dialogs};
    HeldDialog held;
};

// Each routine's request, one line each, against a golden listing: routine,
// text, caption, icon, default button, check box caption, then the options set.
TEST_F(DialogRoutinesTest, RequestsCarryTheRoutinesOptions)
{
    QWidget owner;
    bool checked = true;
    ShowInfoBox(&owner, "Saved.\r\nAll rows.", "QV-7xx ... Save", IconInformation);
    AskYesNoPlain(nullptr, "?", "c", IconQuestion);
    AskYesNoHeld(nullptr, held, "?", IconWarning, "c");
    AskChoice(nullptr, "?", "c", 0, true, true);   // OK only is ignored together with "to all"
    AskChoiceHeld(nullptr, "?", "c", 0, false, true, held);
    AskChoiceCheck(nullptr, held, "?", 0, checked, true, true, "all", "c");
    for (int given : {0, 1, 2, 5, -1})   // the default button clamped to Yes or No
        AskYesNo(nullptr, "?", "c", IconQuestion, given);
    QString listing;
    for (const DialogRequest &r : dialogs.requests()) {
        listing += QStringList{QLatin1String(r.routine), QString(r.text).replace("\r\n", "\\r\\n"), r.caption,
                               QString::number(r.icon), QString::number(r.defaultButton), r.checkCaption}
                       .join(" | ");
        const std::pair<bool, const char *> options[] = {
            {r.owner == &owner, "owner"}, {r.held == &held, "held"},   {r.okOnly, "okOnly"}, {r.toAll, "toAll"},
            {r.yesNoOnly, "yesNoOnly"},   {r.checkBox, "checkBox"}, {r.checked, "checked"}};
        for (const auto &[set, name] : options)
            listing += set ? QStringLiteral(" ") + name : QString();
        listing += '\n';
    }
    qvtest::expectGoldenText(QStringLiteral("dialogs/requests.txt"), listing);
}

TEST_F(DialogRoutinesTest, AnswersAreReadPerRoutine)
{
    dialogs.script({BtnCodeYes, BtnCodeNo, BtnCodeCancel});
    EXPECT_TRUE(AskYesNo(nullptr, "?", "c", 0, 1));
    EXPECT_FALSE(AskYesNoPlain(nullptr, "?", "c", 0));
    EXPECT_FALSE(AskYesNoHeld(nullptr, held, "?", 0, "c"));
    dialogs.script({BtnCodeNoAll, BtnCodeSkip});
    EXPECT_EQ(AskChoice(nullptr, "?", "c", 0, true, false), BtnCodeNoAll);
    EXPECT_EQ(AskChoiceHeld(nullptr, "?", "c", 0, true, false, held), BtnCodeSkip);
    EXPECT_EQ(ShowInfoBox(nullptr, "!", "c", 0), BtnCodeCancel);  // nothing scripted left: the fallback
    EXPECT_EQ(dialogs.requests().size(), 6u);
}

TEST_F(DialogRoutinesTest, AskChoiceCheckWritesTheCheckBoxBackUnlessSkipOrCancel)
{
    const struct {
        int button;
        bool result, written;
    } cases[] = {{BtnCodeYes, true, true},   {BtnCodeNo, false, true},    {BtnCodeSkip, false, false},
                 {BtnCodeYesAll, true, true}, {BtnCodeNoAll, false, true}, {BtnCodeCancel, false, false}};
    for (const auto &c : cases) {
        bool checked = false;
        dialogs.script({DialogAnswer(c.button, true)});
        EXPECT_EQ(AskChoiceCheck(nullptr, held, "Overwrite?", IconQuestion, checked, true, false,
                                 "Apply to all", "c"), c.result) << c.button;
        EXPECT_EQ(checked, c.written) << c.button;
        EXPECT_TRUE(dialogs.last().checkBox);
        EXPECT_EQ(dialogs.last().checkCaption, "Apply to all");
        EXPECT_FALSE(dialogs.last().checked);
    }
    // A handler that leaves the check box alone leaves the caller's state alone.
    bool checked = true;
    dialogs.script({BtnCodeNo});
    AskChoiceCheck(nullptr, held, "?", 0, checked, false, false, "x", "c");
    EXPECT_TRUE(dialogs.last().checked);
    EXPECT_TRUE(checked);
}

TEST_F(DialogRoutinesTest, HeldReferenceIsClearedAfterwards)
{
    int closed = 0;
    dialogs.onAsk = [&](const DialogRequest &r) {
        ASSERT_EQ(r.held, &held);
        r.held->hold([&] { ++closed; });
        held.close();
        EXPECT_TRUE(held.isOpen());
    };
    AskYesNoHeld(nullptr, held, "?", 0, "c");
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(held.isOpen());
    held.close();
    EXPECT_EQ(closed, 1);
}

TEST(DialogSeam, ScopedHandlerRestoresThePreviousOne)
{
    DialogHandler *const standard = &dialogHandler();
    ScriptedDialogHandler outer{DialogAnswer(BtnCodeYes)};
    {
        ScopedDialogHandler a(outer);
        EXPECT_EQ(&dialogHandler(), &outer);
        ScriptedDialogHandler inner{DialogAnswer(BtnCodeNo)};
        {
            ScopedDialogHandler b(inner);
            EXPECT_FALSE(AskYesNoPlain(nullptr, "?", "c", 0));
        }
        EXPECT_TRUE(AskYesNoPlain(nullptr, "?", "c", 0));
    }
    EXPECT_EQ(&dialogHandler(), standard);
}

} // namespace

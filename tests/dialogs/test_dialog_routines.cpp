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

// Each routine's request and what it returned, one line each, against a
// golden listing: routine, text, caption, icon, default button, check box
// caption, the options set, then the result (and the caller's check box).
TEST_F(DialogRoutinesTest, RequestsAndAnswersOfEachRoutineMatchTheGoldenListing)
{
    QWidget owner;
    QStringList results;
    bool checked = false;
    // The last AskChoiceCheck's handler leaves the box alone; the routines
    // after the first AskYesNo find nothing scripted: the fallback answers.
    dialogs.script({BtnCodeNo, BtnCodeCancel, BtnCodeNoAll, BtnCodeSkip, DialogAnswer(BtnCodeYes, true),
                    DialogAnswer(BtnCodeNo, true), DialogAnswer(BtnCodeSkip, true),
                    DialogAnswer(BtnCodeYesAll, true), DialogAnswer(BtnCodeNoAll, true),
                    DialogAnswer(BtnCodeCancel, true), BtnCodeNo, BtnCodeYes});
    results << QString::number(AskYesNoPlain(nullptr, "?", "c", IconQuestion));
    results << QString::number(AskYesNoHeld(nullptr, held, "?", IconWarning, "c"));
    // OK only is ignored together with "to all".
    results << QString::number(AskChoice(nullptr, "?", "c", 0, true, true));
    results << QString::number(AskChoiceHeld(nullptr, "?", "c", 0, false, true, held));
    // The check box is written back unless the answer is Skip or Cancel.
    for (bool before : {false, false, false, false, false, false, true}) {
        checked = before;
        const bool yes = AskChoiceCheck(nullptr, held, "Overwrite?", 0, checked, true, before, "all", "c");
        results << QStringLiteral("%1, box %2").arg(yes).arg(checked);
    }
    for (int given : {0, 1, 2, 5, -1})   // the default button clamped to Yes or No
        results << QString::number(AskYesNo(nullptr, "?", "c", IconQuestion, given));
    results << QString::number(ShowInfoBox(&owner, "Saved.\r\nAll rows.", "QV-7xx ... Save",
                                           IconInformation));
    QString listing;
    for (size_t i = 0; i < dialogs.requests().size(); ++i) {
        const DialogRequest &r = dialogs.requests()[i];
        listing += QStringList{QLatin1String(r.routine), QString(r.text).replace("\r\n", "\\r\\n"), r.caption,
                               QString::number(r.icon), QString::number(r.defaultButton), r.checkCaption}
                       .join(" | ");
        const std::pair<bool, const char *> options[] = {
            {r.owner == &owner, "owner"}, {r.held == &held, "held"}, {r.okOnly, "okOnly"},
            {r.toAll, "toAll"}, {r.yesNoOnly, "yesNoOnly"}, {r.checkBox, "checkBox"}, {r.checked, "checked"}};
        for (const auto &[set, name] : options)
            listing += set ? QStringLiteral(" ") + name : QString();
        listing += " -> " + results.value(int(i)) + '\n';
    }
    qvtest::expectGoldenText(QStringLiteral("dialogs/requests.txt"), listing);
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

#include "dialogs/DialogSeam.h"

#include "dialogs/TConfirmForm.h"

#include <algorithm>

namespace qv {

int DialogLanguage = LangPolish;
bool CenterOnOwner = false;

void HeldDialog::close()
{
    // Copy first: closing ends the dialog, whose routine may release us.
    if (auto closer = m_close)
        closer();
}

namespace {

DialogHandler *g_handler = nullptr;

DialogRequest request(const char *routine, QWidget *owner, const QString &text,
                      const QString &caption, int icon)
{
    DialogRequest r;
    r.routine = routine;
    r.owner = owner;
    r.text = text;
    r.caption = caption;
    r.icon = icon;
    return r;
}

void choiceOptions(DialogRequest &r, bool toAll, bool okOnly)
{
    r.toAll = toAll;
    r.okOnly = okOnly && !toAll;
}

// Runs the request through the handler; the held reference, if any, is
// cleared however the handler left it.
DialogAnswer run(const DialogRequest &r)
{
    struct Release {
        HeldDialog *held;
        ~Release()
        {
            if (held)
                held->release();
        }
    } release{r.held};
    return dialogHandler().ask(r);
}

bool isYes(int code) { return code == BtnCodeYes || code == BtnCodeYesAll; }

} // namespace

DialogHandler &dialogHandler() { return g_handler ? *g_handler : confirmFormDialogs(); }

DialogHandler *setDialogHandler(DialogHandler *handler)
{
    DialogHandler *previous = g_handler;
    g_handler = handler;
    return previous;
}

int AskChoice(QWidget *owner, const QString &text, const QString &caption, int icon, bool toAll,
              bool okOnly)
{
    DialogRequest r = request("AskChoice", owner, text, caption, icon);
    choiceOptions(r, toAll, okOnly);
    return run(r).button;
}

int AskChoiceHeld(QWidget *owner, const QString &text, const QString &caption, int icon, bool toAll,
                  bool okOnly, HeldDialog &held)
{
    DialogRequest r = request("AskChoiceHeld", owner, text, caption, icon);
    choiceOptions(r, toAll, okOnly);
    r.held = &held;
    return run(r).button;
}

bool AskChoiceCheck(QWidget *owner, HeldDialog &held, const QString &text, int icon, bool &checked,
                    bool toAll, bool okOnly, const QString &checkCaption, const QString &caption)
{
    DialogRequest r = request("AskChoiceCheck", owner, text, caption, icon);
    choiceOptions(r, toAll, okOnly);
    r.held = &held;
    r.checkBox = true;
    r.checkCaption = checkCaption;
    r.checked = checked;
    const DialogAnswer answer = run(r);
    if (answer.button != BtnCodeSkip && answer.button != BtnCodeCancel && answer.checked)
        checked = *answer.checked;
    return isYes(answer.button);
}

int ShowInfoBox(QWidget *owner, const QString &text, const QString &caption, int icon)
{
    DialogRequest r = request("ShowInfoBox", owner, text, caption, icon);
    r.okOnly = true;
    return run(r).button;
}

bool AskYesNoPlain(QWidget *owner, const QString &text, const QString &caption, int icon)
{
    DialogRequest r = request("AskYesNoPlain", owner, text, caption, icon);
    r.yesNoOnly = true;
    return isYes(run(r).button);
}

bool AskYesNo(QWidget *owner, const QString &text, const QString &caption, int icon,
              int defaultButton)
{
    DialogRequest r = request("AskYesNo", owner, text, caption, icon);
    r.yesNoOnly = true;
    r.defaultButton = std::clamp(defaultButton, int(BtnCodeYes), int(BtnCodeNo));
    return isYes(run(r).button);
}

bool AskYesNoHeld(QWidget *owner, HeldDialog &held, const QString &text, int icon,
                  const QString &caption)
{
    DialogRequest r = request("AskYesNoHeld", owner, text, caption, icon);
    r.yesNoOnly = true;
    r.held = &held;
    return isYes(run(r).button);
}

} // namespace qv

// Every message and question of the program goes through the routines below
// and, from there, through one process-wide DialogHandler. The default handler
// shows a TConfirmForm; tests and the command line install their own handler
// and answer without a window.
#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace qv {

// Button codes: what closed the dialog.
enum DialogButton : int {
    BtnCodeYes = 0,
    BtnCodeNo = 1,
    BtnCodeSkip = 2,
    BtnCodeYesAll = 3,
    BtnCodeNoAll = 4,
    BtnCodeCancel = 5,
};
constexpr int kDialogButtonCount = 6;

// Icon flags, the message-box values. Anything else shows the question icon.
enum DialogIcon : int {
    IconInformation = 64,
    IconWarning = 48,
    IconQuestion = 32,
};

// Module settings of the dialogs. DialogLanguage is a primary language
// identifier: 9 gives the English captions, anything else the Polish ones.
constexpr int LangPolish = 21;
constexpr int LangEnglish = 9;
extern int DialogLanguage;   // initially 21
extern bool CenterOnOwner;   // initially false

// Where a routine with a reference argument publishes its open dialog, so that
// the caller can close it from elsewhere (say, when the link state changes).
// The routine clears it when the dialog has been answered.
class HeldDialog {
public:
    bool isOpen() const { return bool(m_close); }
    // Closes the open dialog, which then answers Cancel; nothing when none is.
    void close();

    // For dialog handlers: publish how to close the dialog now open; release.
    void hold(std::function<void()> closer) { m_close = std::move(closer); }
    void release() { m_close = nullptr; }

private:
    std::function<void()> m_close;
};

// One dialog as a routine asks for it. The options are the effective ones:
// okOnly is already dropped when toAll is set.
struct DialogRequest {
    const char *routine = "";   // "AskYesNo", "ShowInfoBox", ...
    QWidget *owner = nullptr;
    QString text;               // lines separated by CR LF
    QString caption;            // the window title, as given
    int icon = IconQuestion;
    bool toAll = false;         // Skip, Yes to all, No to all as well
    bool okOnly = false;        // a single "OK" button
    bool yesNoOnly = false;     // only Yes and No
    int defaultButton = BtnCodeYes;   // the button with the focus at first
    bool checkBox = false;      // show the check box
    QString checkCaption;
    bool checked = false;       // its state as the dialog opens
    HeldDialog *held = nullptr;
};

struct DialogAnswer {
    DialogAnswer(int code = BtnCodeCancel, std::optional<bool> checkedState = std::nullopt)
        : button(code), checked(checkedState)
    {
    }
    int button;
    // The check box as it was left; unset leaves the caller's state alone.
    std::optional<bool> checked;
};

class DialogHandler {
public:
    virtual ~DialogHandler() = default;
    // Shows (or answers) one dialog and returns what closed it. It may publish
    // the open dialog in request.held; the routine clears it afterwards.
    virtual DialogAnswer ask(const DialogRequest &request) = 0;
};

// The handler now answering dialogs; the TConfirmForm handler unless replaced.
DialogHandler &dialogHandler();
// Replaces the handler (nullptr restores the TConfirmForm one) and returns the
// previous one. The handler must outlive its installation.
DialogHandler *setDialogHandler(DialogHandler *handler);

// Installs a handler for the lifetime of a scope and restores the previous one.
class ScopedDialogHandler {
public:
    explicit ScopedDialogHandler(DialogHandler &handler) : m_previous(setDialogHandler(&handler)) {}
    ~ScopedDialogHandler() { setDialogHandler(m_previous); }
    ScopedDialogHandler(const ScopedDialogHandler &) = delete;
    ScopedDialogHandler &operator=(const ScopedDialogHandler &) = delete;

private:
    DialogHandler *m_previous;
};

// --- the routines (all modal) ----------------------------------------------------

// Yes, No, Cancel; with toAll also Skip, Yes to all, No to all; with okOnly
// (ignored when toAll is set) only "OK". Returns the button code.
int AskChoice(QWidget *owner, const QString &text, const QString &caption, int icon, bool toAll,
              bool okOnly);
// As AskChoice, holding the open dialog in `held`.
int AskChoiceHeld(QWidget *owner, const QString &text, const QString &caption, int icon, bool toAll,
                  bool okOnly, HeldDialog &held);
// As AskChoiceHeld plus a check box. True for Yes or Yes to all; `checked` is
// written back unless the answer is Skip or Cancel.
bool AskChoiceCheck(QWidget *owner, HeldDialog &held, const QString &text, int icon, bool &checked,
                    bool toAll, bool okOnly, const QString &checkCaption, const QString &caption);
// A message with an "OK" button. Returns the button code (callers ignore it).
int ShowInfoBox(QWidget *owner, const QString &text, const QString &caption, int icon);
// Yes and No; true for Yes.
bool AskYesNoPlain(QWidget *owner, const QString &text, const QString &caption, int icon);
// Yes and No with the given default button (0 Yes, 1 No; clamped to 0..1).
bool AskYesNo(QWidget *owner, const QString &text, const QString &caption, int icon,
              int defaultButton);
// Yes and No, holding the open dialog in `held`.
bool AskYesNoHeld(QWidget *owner, HeldDialog &held, const QString &text, int icon,
                  const QString &caption);

} // namespace qv

// A dialog handler that answers without a window: it records every request
// and gives the queued answers in turn, then the fallback answer. Tests use it
// to script the user; the command line uses it with a fixed fallback.
#pragma once

#include "dialogs/DialogSeam.h"

#include <deque>
#include <functional>
#include <vector>

namespace qv {

class ScriptedDialogHandler : public DialogHandler {
public:
    explicit ScriptedDialogHandler(DialogAnswer fallback = DialogAnswer(BtnCodeCancel))
        : m_fallback(fallback)
    {
    }

    // Queues answers, given in the order the dialogs will be asked.
    void script(std::initializer_list<DialogAnswer> answers);
    void setFallback(DialogAnswer answer) { m_fallback = answer; }
    // Called with each request before it is answered (say, to print it).
    std::function<void(const DialogRequest &)> onAsk;

    DialogAnswer ask(const DialogRequest &request) override;

    const std::vector<DialogRequest> &requests() const { return m_requests; }
    const DialogRequest &last() const { return m_requests.back(); }
    int pending() const { return int(m_answers.size()); }

private:
    std::deque<DialogAnswer> m_answers;
    DialogAnswer m_fallback;
    std::vector<DialogRequest> m_requests;
};

} // namespace qv

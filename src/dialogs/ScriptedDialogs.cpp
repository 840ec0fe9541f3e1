#include "dialogs/ScriptedDialogs.h"

namespace qv {

void ScriptedDialogHandler::script(std::initializer_list<DialogAnswer> answers)
{
    m_answers.insert(m_answers.end(), answers);
}

DialogAnswer ScriptedDialogHandler::ask(const DialogRequest &request)
{
    m_requests.push_back(request);
    if (onAsk)
        onAsk(request);
    if (m_answers.empty())
        return m_fallback;
    const DialogAnswer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

} // namespace qv

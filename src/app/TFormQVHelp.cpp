// TFormQV: the help window, made when first asked for and kept while the
// main window lives.
#include "app/TFormQV.h"

#include "app/HelpWindow.h"

namespace qv {

HelpWindow *TFormQV::ShowHelp(const QString &topic)
{
    if (!m_help)
        m_help = new HelpWindow(this);
    m_help->showTopic(topic);
    return m_help;
}

} // namespace qv

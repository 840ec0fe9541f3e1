#include "app/QvApplication.h"

#include "dialogs/DialogSeam.h"

#include <cstdio>
#include <exception>

namespace qv {

QvApplication::QvApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool QvApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        handle(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        handle(QStringLiteral("Unknown error."));
    }
    return false;
}

void QvApplication::handle(const QString &what)
{
    if (m_startingUp || !onError) {
        std::fprintf(stderr, "qv7xx: %s\n", what.toLocal8Bit().constData());
        ShowInfoBox(nullptr, what, applicationName(), IconWarning);
        std::exit(1);
    }
    onError(what);
}

} // namespace qv

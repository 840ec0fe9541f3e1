#include "app/QuitSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace qv {

namespace {

constexpr int Handled[] = {SIGINT, SIGTERM, SIGHUP};
int g_pipe[2] = {-1, -1};

void writeToPipe(int number)
{
    const int saved = errno;
    const char byte = char(number);
    (void)!::write(g_pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

QuitSignals::QuitSignals(std::function<void(int)> onSignal, QObject *parent)
    : QObject(parent), m_onSignal(std::move(onSignal))
{
    if (g_pipe[0] < 0 && ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // the signals keep their default: they end the program at once
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        while (::read(g_pipe[0], &byte, 1) == 1) {
            if (m_onSignal)
                m_onSignal(int(byte));
        }
    });
    struct sigaction action {};
    action.sa_handler = writeToPipe;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND; // the second signal is not caught
    for (int number : Handled)
        ::sigaction(number, &action, nullptr);
}

QuitSignals::~QuitSignals()
{
    for (int number : Handled)
        std::signal(number, SIG_DFL);
}

} // namespace qv

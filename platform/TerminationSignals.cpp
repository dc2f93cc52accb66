#include "TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
int s_quitPipe[2] = {-1, -1};
bool s_notifierInstalled = false;

// Only async-signal-safe work here: the event loop reads the byte.
void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(s_quitPipe[1], &byte, 1);
}
} // namespace

void TerminationSignals::catchFromNowOn()
{
    ::signal(SIGPIPE, SIG_IGN);
    if (s_quitPipe[0] >= 0 || ::pipe2(s_quitPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

void TerminationSignals::quitOnTermination(QObject *owner)
{
    catchFromNowOn();
    if (s_quitPipe[0] < 0 || s_notifierInstalled)
        return;
    s_notifierInstalled = true;
    auto *notifier = new QSocketNotifier(s_quitPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [] {
        char byte;
        while (::read(s_quitPipe[0], &byte, 1) > 0) {
        }
        QCoreApplication::quit();
    });
}

#include "KVRGBMemoryControl.h"
#include "NamedMutex.h"
#include "ProgramNames.h"
#include "WindowMessenger.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int s_quitPipe[2] = {-1, -1};

void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(s_quitPipe[1], &byte, 1);
}

// A session that ends, or a Ctrl-C, takes the same orderly way out as "Exit": the modules
// are handed to the HAL's own effect instead of freezing on the last frame.
void quitOnTerminationSignals(QObject *owner)
{
    if (::pipe2(s_quitPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(s_quitPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [] {
        char byte;
        while (::read(s_quitPipe[0], &byte, 1) > 0) {
        }
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    qputenv("QT_BEARER_POLL_TIMEOUT", "-1");
    QApplication::setQuitOnLastWindowClosed(false);

    NamedMutex guard(QString::fromLatin1(ProgramNames::kControlMutex));
    if (guard.acquireOwner() == NamedMutex::Result::AlreadyExists) {
        WindowMessenger::sendMessage(QString::fromLatin1(ProgramNames::kControlSecondCopyTitle), ProgramNames::kMsgSecondCopy, 1,
                                     1);
        return 0;
    }

    KVRGBMemoryControl control;
    quitOnTerminationSignals(&control);
    return app.exec();
}

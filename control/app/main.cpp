#include "KVRGBMemoryControl.h"
#include "NamedMutex.h"
#include "ProcessLimits.h"
#include "ProgramNames.h"
#include "TerminationSignals.h"
#include "WindowMessenger.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    TerminationSignals::catchFromNowOn();
    ProcessLimits::raiseOpenFileLimit();
    QApplication app(argc, argv);
    // The network manager would otherwise poll the network interfaces every ten seconds
    // for the life of the program; Qt's own "-1" for "never" starts a timer with a
    // negative interval and says so on every start, so the longest interval it takes.
    qputenv("QT_BEARER_POLL_TIMEOUT", "2147483647");
    QApplication::setQuitOnLastWindowClosed(false);

    NamedMutex guard(QString::fromLatin1(ProgramNames::kControlMutex));
    if (guard.acquireOwner() == NamedMutex::Result::AlreadyExists) {
        WindowMessenger::sendMessage(QString::fromLatin1(ProgramNames::kControlSecondCopyTitle),
                                     ProgramNames::kMsgSecondCopy, 1, 1);
        return 0;
    }

    KVRGBMemoryControl control;
    // A session that ends takes the orderly way out: the modules are handed to the
    // HAL's own effect instead of freezing on the last frame.
    TerminationSignals::quitOnTermination(&control);
    return app.exec();
}

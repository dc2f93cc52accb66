#include "KVRGBMemoryControl.h"
#include "NamedMutex.h"
#include "ProcessLimits.h"
#include "ProgramNames.h"
#include "TerminationSignals.h"
#include "WindowMessenger.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    ProcessLimits::raiseOpenFileLimit();
    QApplication app(argc, argv);
    qputenv("QT_BEARER_POLL_TIMEOUT", "-1");
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

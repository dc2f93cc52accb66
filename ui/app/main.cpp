#include "KVRGBMemory.h"
#include "ProgramNames.h"
#include "ProgramState.h"
#include "UiLog.h"

#include "NamedMutex.h"
#include "ProcessLimits.h"
#include "TerminationSignals.h"
#include "WindowMessenger.h"

#include <QApplication>
#include <QDebug>

int main(int argc, char *argv[])
{
    TerminationSignals::catchFromNowOn();
    ProcessLimits::raiseOpenFileLimit();
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
    UiLog::install(UiLog::debugModeFromDeviceFile());
    // Quitting is always explicit: the close button, a message or the overlay's OK.
    app.setQuitOnLastWindowClosed(false);

    // Held until the process ends.
    NamedMutex instance(QString::fromLatin1(ProgramNames::kUiMutex));
    if (instance.acquireOwner() == NamedMutex::Result::AlreadyExists) {
        qDebug() << "VELTRIMA RGB runs already; asking it to come forward";
        WindowMessenger::sendMessage(QString::fromLatin1(ProgramNames::kBaseWindowTitle),
                                     ProgramNames::kMsgSecondCopy, 1, 1);
        return 0;
    }

    ProgramState::programStart = argc > 1 && ProgramState::isOpenArgument(argv[1]);

    KVRGBMemory base;
    TerminationSignals::quitOnTermination(&base);
    base.show();
    base.setWindowTitle(QString::fromLatin1(ProgramNames::kBaseWindowTitle));
    return app.exec();
}

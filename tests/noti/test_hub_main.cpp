// veltrima-test-hub --record <file> [--title <window>]: plays "Spectra Hub" (or serves
// the window given) until it is terminated; says "ready" on standard output once it
// holds the mutex and serves its window.
#include "TerminationSignals.h"
#include "TestHub.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const int at = arguments.indexOf(QStringLiteral("--record"));
    if (at < 0 || at + 1 >= arguments.size()) {
        std::fprintf(stderr, "usage: veltrima-test-hub --record <file>\n");
        return 2;
    }
    TerminationSignals::quitOnTermination(&app);
    const int titleAt = arguments.indexOf(QStringLiteral("--title"));
    const QString title = titleAt >= 0 && titleAt + 1 < arguments.size() ? arguments.at(titleAt + 1) : TestHub::title();
    TestHub hub(arguments.at(at + 1), title);
    if (!hub.start())
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

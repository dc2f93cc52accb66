// A second process for the platform tests. Prints "ready" once it holds what it was asked
// to hold, then runs until it is killed.
//   mutex <name>                    hold the named mutex as its owner
//   endpoint <title> [reply-title]  serve a window; 0x8111 is answered with 7 and then
//                                   a copy-data block goes to reply-title
//   hang <title>                    serve a window but never run the event loop
//   limited <title> <n>|+<k>        serve a window with at most n open file descriptors,
//                                   or k more than it has open once it listens
#include "NamedMutex.h"
#include "WindowEndpoint.h"
#include "WindowMessenger.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QThread>

#include <QDir>

#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

void say(const QByteArray &line)
{
    std::printf("%s\n", line.constData());
    std::fflush(stdout);
}

qint64 answer(const WindowRequest &request)
{
    if (request.isCopyData()) {
        say("copydata " + QByteArray::number(request.copyDataType) + ' ' + QByteArray::number(request.wParam) + ' '
            + QByteArray::number(request.senderPid) + ' '
            + QCryptographicHash::hash(request.copyData, QCryptographicHash::Sha1).toHex());
        return request.copyData.size();
    }
    switch (request.message) {
    case 0x8111:
        return 7;
    case 0x8200:
        return static_cast<qint64>(request.wParam) * 1000 + request.lParam;
    default:
        return 0;
    }
}

// The shell's "ulimit -n", soft and hard alike.
bool limitDescriptors(const QString &limit)
{
    rlim_t value = limit.startsWith(QLatin1Char('+'))
        ? rlim_t(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size() + limit.mid(1).toInt())
        : rlim_t(limit.toInt());
    const struct rlimit bound {value, value};
    return setrlimit(RLIMIT_NOFILE, &bound) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    const QString name = args.value(2);

    if (mode == QLatin1String("mutex")) {
        NamedMutex mutex(name);
        if (mutex.acquireOwner() != NamedMutex::Result::Created) {
            say("exists");
            return 1;
        }
        say("ready");
        return app.exec();
    }

    if (mode == QLatin1String("endpoint") || mode == QLatin1String("hang") || mode == QLatin1String("limited")) {
        WindowEndpoint endpoint;
        endpoint.setHandler(answer);
        const QString replyTitle = mode == QLatin1String("limited") ? QString() : args.value(3);
        QObject::connect(&endpoint, &WindowEndpoint::messageReceived, [replyTitle](const WindowRequest &request) {
            if (request.message != 0x8111 || replyTitle.isEmpty())
                return;
            const std::optional<qint64> sent =
                WindowMessenger::sendCopyData(replyTitle, static_cast<quint64>(getpid()), 10000, QByteArray(5992, 'h'));
            say("sent " + (sent ? QByteArray::number(*sent) : QByteArray("none")));
        });
        if (!endpoint.setTitle(name)) {
            say("failed");
            return 1;
        }
        if (mode == QLatin1String("limited") && !limitDescriptors(args.value(3))) {
            say("no limit");
            return 1;
        }
        say("ready");
        if (mode == QLatin1String("hang")) {
            for (;;)
                QThread::sleep(1);
        }
        return app.exec();
    }

    say("usage: platform_test_helper mutex|endpoint|hang|limited <name> [reply-title|limit]");
    return 2;
}

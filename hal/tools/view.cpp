// Shows what a virtual DIMM HAL server received: per device the last colours, the effect
// of the last call and the call counts. With --watch it repeats every 200 ms.
#include "VirtualHalState.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <QThread>

namespace {

QString colourText(quint32 c)
{
    return QStringLiteral("#%1%2%3")
        .arg(c & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((c >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((c >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

bool show(const QString &clsid, QTextStream &out)
{
    const auto snapshot = VirtualHalState::read(clsid);
    if (!snapshot) {
        out << "nothing published for " << clsid << '\n';
        return false;
    }
    out << "server " << clsid << " pid " << snapshot->serverPid << ", objects alive " << snapshot->objectsAlive
        << '\n';
    for (int i = 0; i < snapshot->devices.size(); ++i) {
        const VirtualHalDeviceSnapshot &d = snapshot->devices.at(i);
        out << "  device " << i << " type " << d.type << " leds " << d.ledCount << " calls " << d.colourCalls
            << " last effect " << d.lastEffect << ':';
        for (quint32 c : d.lastColours)
            out << ' ' << colourText(c);
        out << '\n';
    }
    out.flush();
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shows what the virtual DIMM HAL received."));
    parser.addHelpOption();
    const QCommandLineOption watch(QStringLiteral("watch"), QStringLiteral("Repeat every 200 ms."));
    parser.addOption(watch);
    parser.addPositionalArgument(QStringLiteral("clsid"), QStringLiteral("Server id (default: the registered one)."));
    parser.process(app);
    const QString clsid = parser.positionalArguments().value(0, VirtualHalState::defaultClsid());

    QTextStream out(stdout);
    if (!parser.isSet(watch))
        return show(clsid, out) ? 0 : 1;
    for (;;) {
        show(clsid, out);
        QThread::msleep(200);
    }
}

// Saves a picture of the main window as the running program shows it:
//   ui_screenshot <out.png> [seconds]
// Runs the user interface from its own folder (starting the control program there, as
// the program does), waits for the data to settle and renders the window into a PNG.
//   ui_screenshot --screen <out.png>
// Saves what the display shows, for a window program running on a virtual X server.
#include "KVRGBMemory.h"
#include "Main_View.h"

#include "LightingMetaTypes.h"

#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {
int saveScreen(const QString &out)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen || !screen->grabWindow(0).save(out, "PNG")) {
        std::fprintf(stderr, "could not save %s\n", qPrintable(out));
        return 1;
    }
    std::printf("saved %s\n", qPrintable(out));
    return 0;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc >= 3 && std::strcmp(argv[1], "--screen") == 0)
        return saveScreen(QString::fromLocal8Bit(argv[2]));
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <out.png> [seconds] | --screen <out.png>\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const int seconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    KVRGBMemory base;
    int result = 1;
    QTimer::singleShot(seconds * 1000, &app, [&] {
        result = base.mainView()->grab().save(out, "PNG") ? 0 : 1;
        std::printf("%s %s\n", result == 0 ? "saved" : "could not save", qPrintable(out));
        app.exit(result);
    });
    app.exec();
    return result;
}

// Renders the lighting page inside the main window with 4 and with 8 modules as PNG
// files, and with the selected module in Flow, whose colours the panel does not set, and with --cpu <seconds> measures the window's CPU use while the preview is fed
// at 25 frames a second. Run by make-lighting-screenshots.sh.
#include "Lighting_View.h"
#include "Main_View.h"

#include "TestEnvironment.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMap>
#include <QTimer>

#include <sys/resource.h>

#include <array>
#include <cstdio>

namespace {

std::array<std::array<COLORREF, kLedSlots>, kModuleCount> g_frames{};

// A rainbow that runs along the LEDs, one step per frame.
QList<COLORREF *> nextFrame(int frame)
{
    QList<COLORREF *> list;
    for (int k = 0; k < kModuleCount; ++k) {
        for (int led = 0; led < kLedSlots; ++led) {
            const QColor c = QColor::fromHsv(((frame * 6) + k * 20 + led * 40) % 360, 255, 255);
            g_frames[k][led] = rgbColor(c.red(), c.green(), c.blue());
        }
        list.append(g_frames[k].data());
    }
    return list;
}

void feedChannelData(Main_View &view)
{
    int order[kModuleCount] = {0, 1, 2, 3, 4, 5, 6, 7};
    emit view.setMemorySlotNumber(kModuleCount, order);
    std::array<COLORREF, kLedSlots> rgb{};
    std::array<float, kLedSlots> bright{};
    const COLORREF five[kDrivenLeds] = {rgbColor(255, 0, 0), rgbColor(216, 255, 0), rgbColor(0, 255, 59),
                                        rgbColor(0, 98, 255), rgbColor(167, 0, 255)};
    for (int led = 0; led < kLedSlots; ++led) {
        rgb[led] = five[led % kDrivenLeds];
        bright[led] = 1.0f;
    }
    for (int k = 0; k < kModuleCount; ++k) {
        emit view.setRGB(k, rgb.data(), rgbColor(255, 0, 0), bright.data(), 1.0f);
        emit view.setLighting(k, k == 1 ? 3 : 6, 0, 2, false);
    }
    emit view.setProfile(0);
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
}

// Runs the event loop for a while without spinning, so the measurement sees the window's
// own work only.
void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Counts paint events per widget class, to see what the preview makes repaint.
class PaintCounter : public QObject
{
public:
    QMap<QString, int> counts;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++counts[QString::fromLatin1(watched->metaObject()->className()) + QLatin1Char(' ') + watched->objectName()];
        return false;
    }
};

} // namespace

int main(int argc, char **argv)
{
    TestEnvironment env;
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString outDir = args.size() > 1 ? args.at(1) : QStringLiteral(".");
    const int cpuIndex = args.indexOf(QStringLiteral("--cpu"));
    const int cpuSecondsToRun = cpuIndex > 0 && cpuIndex + 1 < args.size() ? args.at(cpuIndex + 1).toInt() : 0;
    QDir().mkpath(outDir);

    Main_View view;
    view.show();
    for (int count : {4, 8}) {
        view.setSlotNumber(count, count);
        view.slot_show_Lighting();
        feedChannelData(view);
        emit view.updatePreviewList(nextFrame(count));
        settle(500);
        const QString file = QDir(outDir).filePath(QStringLiteral("lighting-%1.png").arg(count));
        if (!view.grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
        std::printf("%s\n", qPrintable(file));
    }

    // Module 1 (selected) runs Flow: wheel, R/G/B and brightness are disabled.
    emit view.setLighting(0, 0, 0, 2, false);
    settle(300);
    const QString disabledFile = QDir(outDir).filePath(QStringLiteral("lighting-disabled.png"));
    if (!view.grab().save(disabledFile)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(disabledFile));
        return 1;
    }
    std::printf("%s\n", qPrintable(disabledFile));

    if (cpuSecondsToRun > 0) {
        int frame = 0;
        QTimer preview;
        QObject::connect(&preview, &QTimer::timeout, [&] { emit view.updatePreviewList(nextFrame(++frame)); });
        preview.start(40);
        PaintCounter paints;
        app.installEventFilter(&paints);
        const double cpuStart = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        settle(cpuSecondsToRun * 1000);
        const double share = (cpuSeconds() - cpuStart) / (wall.elapsed() / 1000.0) * 100.0;
        std::printf("frames %d in %lld ms, CPU %.2f %% of one core\n", frame, static_cast<long long>(wall.elapsed()),
                    share);
        for (auto it = paints.counts.cbegin(); it != paints.counts.cend(); ++it)
            std::printf("  paints %6d  %s\n", it.value(), qPrintable(it.key()));
    }
    return 0;
}

// Saves the device file and profile 0 over and over, alternating between two complete
// states, until it is killed; prints "ready" once the first pair is on disk.
#include "Profile_RW.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

HWData state(int variant)
{
    HWData data = makeZeroHWData();
    data.reset();
    data.selectProfile = variant;
    data.settingData.language = variant;
    for (int m = 0; m < kModuleCount; ++m) {
        MemoryModuleData &module = data.memoryData[m];
        module.lightMode = variant + 2;
        for (COLORREF &colour : module.rgb)
            colour = rgbColor(variant * 10, variant * 20, variant * 30);
        module.singleBright = variant == 1 ? 0.25f : 0.75f;
    }
    return data;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    Profile_RW store(QString::fromLocal8Bit(argv[1]));
    QElapsedTimer running;
    running.start();
    // Bounded, so that a test that died without killing it does not leave it behind.
    for (int i = 0; running.elapsed() < 60000; ++i) {
        const HWData data = state(1 + i % 2);
        store.writeProfile(0, 0, data);
        store.writeDevice(data);
        if (i == 0) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
    return 0;
}

// The control program, the channel tool (standing in for the window), the virtual HAL
// and real INI files: what a user changes reaches the modules and is kept.
#include "ProductFixture.h"

#include <QJsonArray>
#include <QtTest>

#include <csignal>

namespace {
QJsonObject moduleState(const QJsonObject &state, int module)
{
    return state.value(QStringLiteral("memoryData")).toArray().at(module).toObject();
}

int lightModeOf(int module)
{
    return moduleState(ProductFixture::state(), module).value(QStringLiteral("lightMode")).toInt(-1);
}

QVector<quint32> halFrame(int device)
{
    const auto snapshot = ProductFixture::hal();
    if (!snapshot || device >= snapshot->devices.size())
        return {};
    return snapshot->devices.at(device).lastColours;
}

quint64 halCalls(int device)
{
    const auto snapshot = ProductFixture::hal();
    if (!snapshot || device >= snapshot->devices.size())
        return 0;
    return snapshot->devices.at(device).colourCalls;
}

QString framesText(const QVector<quint32> &frame)
{
    QStringList parts;
    for (quint32 colour : frame)
        parts << QString::number(colour, 16);
    return parts.join(QLatin1Char(','));
}

bool setLighting(int module, int mode, int colorMode, int speed)
{
    return ProductFixture::tool({QStringLiteral("set-lighting"), QString::number(module), QString::number(mode),
                                 QString::number(colorMode), QString::number(speed), QStringLiteral("on")})
        .has_value();
}
} // namespace

class tst_LastingState : public QObject
{
    Q_OBJECT

private slots:
    void lightModeReachesModulesAndProfile()
    {
        ProductFixture product;
        QVERIFY(product.startControl());
        QVERIFY2(waitUntil([] { return halCalls(1) > 5; }, 20000), qPrintable(product.control().output()));
        QVERIFY(ProductFixture::tool({QStringLiteral("set-sync"),
                                      QStringLiteral("0x0000FF,0x00FF00,0xFF0000,0x00FFFF,0xFFFFFF")})
                    .has_value());

        QVERIFY(setLighting(1, 17, 0, 1));
        QVERIFY2(waitUntil([&] { return product.profileValue(0, QStringLiteral("Memory1/LightMode")).toInt() == 17; },
                           15000),
                 qPrintable(product.control().output()));
        QCOMPARE(product.profileValue(0, QStringLiteral("Memory1/ColorMode")).toInt(), 0);
        QCOMPARE(product.profileValue(0, QStringLiteral("Memory1/LightSpeed")).toInt(), 1);
        QVERIFY(!product.profileValue(0, QStringLiteral("Memory1/RColor")).isNull());
        // A shooting star crosses a dark module: frames with black LEDs and a moving head.
        QSet<QVector<quint32>> frames;
        QVERIFY(waitUntil([&] {
            const QVector<quint32> frame = halFrame(1);
            if (frame.size() == 5 && frame.contains(0))
                frames.insert(frame);
            return frames.size() >= 3;
        }, 15000));

        QVERIFY(setLighting(1, 20, 0, 2));
        const QVector<quint32> sync{0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFFFFFF};
        QVERIFY2(waitUntil([&] { return halFrame(1) == sync; }, 15000), qPrintable(product.control().output()));
        QCOMPARE(product.profileValue(0, QStringLiteral("Memory1/LightMode")).toInt(), 17);
        QCOMPARE(product.profileValue(0, QStringLiteral("Memory1/LightSpeed")).toInt(), 1);

        QVERIFY(setLighting(1, 35, 0, 2));
        QVERIFY(waitUntil([] { return lightModeOf(1) == 35; }, 10000));
        QTest::qWait(300); // let a frame already on its way arrive
        const quint64 before = halCalls(1);
        QTest::qWait(600);
        QCOMPARE(halCalls(1), before);
        QVERIFY(halCalls(0) > 0);
        QCOMPARE(product.profileValue(0, QStringLiteral("Memory1/LightMode")).toInt(), 17);
    }

    void chosenProfileIsSavedLoadedAndShown()
    {
        ProductFixture product;
        QDir().mkpath(QFileInfo(product.profileFile(2)).absolutePath());
        {
            QSettings profile(product.profileFile(2), QSettings::IniFormat);
            profile.setValue(QStringLiteral("Memory0/LightMode"), 6);
            profile.setValue(QStringLiteral("Memory0/ColorMode"), 0);
            profile.setValue(QStringLiteral("Memory0/LightSpeed"), 2);
            profile.setValue(QStringLiteral("Memory0/RColor"), QStringLiteral("10,20,30,40,50"));
            profile.setValue(QStringLiteral("Memory0/GColor"), QStringLiteral("0,0,0,0,0"));
            profile.setValue(QStringLiteral("Memory0/BColor"), QStringLiteral("1,2,3,4,5"));
            profile.setValue(QStringLiteral("Memory0/Bright"), QStringLiteral("1,1,1,1,1"));
        }
        QVERIFY(product.startControl());
        QVERIFY(waitUntil([] { return halCalls(0) > 5; }, 20000));

        QVERIFY(ProductFixture::tool({QStringLiteral("set-profile"), QStringLiteral("2")}).has_value());
        QVERIFY2(waitUntil([&] { return product.deviceValue(QStringLiteral("Main/Profile")).toInt() == 2; }, 15000),
                 qPrintable(product.control().output()));
        QVERIFY(waitUntil([] { return lightModeOf(0) == 6; }, 15000));
        const QVector<quint32> shown{0x01000A, 0x020014, 0x03001E, 0x040028, 0x050032};
        QVERIFY2(waitUntil([&] { return halFrame(0) == shown; }, 15000),
                 qPrintable(QStringLiteral("%1").arg(halFrame(0).value(0), 0, 16)));
    }

    void restartKeepsAFreshChannelAndReloadsAStaleOne()
    {
        ProductFixture product;
        product.enableDebugMode(); // loading the files shows in the log
        const QString loaded = QStringLiteral("Profile_RW::readDevice");
        QVERIFY(product.startControl());
        QVERIFY(waitUntil([] { return halCalls(0) > 5; }, 20000));
        QVERIFY(setLighting(0, 6, 0, 2));
        QVERIFY(waitUntil([&] { return product.profileValue(0, QStringLiteral("Memory0/LightMode")).toInt() == 6; },
                          15000));
        // Static shows the default user colours in their own order.
        const QVector<quint32> staticFrame{0x0000FF, 0x00FFD8, 0x3BFF00, 0xFF6200, 0xFF00A7};
        QVERIFY2(waitUntil([&] { return halFrame(0) == staticFrame; }, 10000), qPrintable(framesText(halFrame(0))));

        // Edited behind the program's back: only a reload can bring this in.
        product.killControl();
        QSettings(product.profileFile(0), QSettings::IniFormat).setValue(QStringLiteral("Memory0/LightMode"), 3);

        const int loads = product.logCount(loaded);
        QVERIFY(product.startControl());
        QVERIFY(waitUntil([&] { return product.logCount(QStringLiteral("Memory_Number")) >= 2; }, 20000));
        QTest::qWait(1500);
        QVERIFY2(product.logCount(loaded) == loads, "a fresh channel must stay in force");
        QCOMPARE(lightModeOf(0), 6);
        QVERIFY2(waitUntil([&] { return halFrame(0) == staticFrame; }, 10000),
                 qPrintable(framesText(staticFrame) + QStringLiteral(" != ") + framesText(halFrame(0))));

        // A stale channel (here: a new segment) brings back the saved state.
        product.killControl();
        QDir runtime(product.environment().runtimeDir() + QStringLiteral("/veltrima"));
        const QStringList segments = runtime.entryList({QStringLiteral("lighting*.shm")}, QDir::Files);
        QCOMPARE(segments.size(), 1);
        QVERIFY(runtime.remove(segments.first()));
        QVERIFY(product.startControl());
        QVERIFY2(waitUntil([&] { return product.logCount(loaded) > loads; }, 20000),
                 qPrintable(product.control().output()));
        QVERIFY(waitUntil([] { return lightModeOf(0) == 3; }, 15000));
    }

    void quickRestartKeepsTheLoadWarning()
    {
        ProductFixture product;
        product.enableDebugMode();
        QVERIFY(product.startControl());
        QVERIFY(waitUntil([] { return halCalls(0) > 5; }, 20000));
        QVERIFY(ProductFixture::tool({QStringLiteral("set-noti"), QStringLiteral("--type"), QStringLiteral("1"),
                                      QStringLiteral("--loading"), QStringLiteral("1"),
                                      QStringLiteral("--loading-value"), QStringLiteral("0"),
                                      QStringLiteral("--loading-color"), QStringLiteral("0x00FF00")})
                    .has_value());
        const QVector<quint32> warning(5, 0x00FF00);
        QVERIFY2(waitUntil([&] { return halFrame(0) == warning && halFrame(3) == warning; }, 15000),
                 qPrintable(product.control().output()));

        // Restarted while the channel is fresh: nothing is read from the files, and the
        // warning must still come from the channel.
        const int loads = product.logCount(QStringLiteral("Profile_RW::readDevice"));
        product.killControl();
        QVERIFY(product.startControl());
        QVERIFY(waitUntil([&] { return product.logCount(QStringLiteral("Memory_Number")) >= 2; }, 20000));
        const quint64 calls = halCalls(0);
        QVERIFY(waitUntil([&] { return halCalls(0) > calls + 10; }, 15000));
        QCOMPARE(halFrame(0), warning);
        QCOMPARE(product.logCount(QStringLiteral("Profile_RW::readDevice")), loads);
    }

    void freshInstallationStartsWithTheDefaults()
    {
        ProductFixture product;
        QVERIFY(product.startControl());
        QVERIFY(waitUntil([] { return ProductFixture::state().value(QStringLiteral("dataTimestamp")).toInt() != 0; },
                          20000));
        const QJsonObject state = ProductFixture::state();
        const QJsonObject settings = state.value(QStringLiteral("settingData")).toObject();
        QCOMPARE(settings.value(QStringLiteral("language")).toInt(), 0);
        QCOMPARE(settings.value(QStringLiteral("isAutoUpdate")).toBool(), true);
        QCOMPARE(settings.value(QStringLiteral("isAutoRun")).toBool(), false);
        QCOMPARE(settings.value(QStringLiteral("isCurrentLocation")).toBool(), false);
        const QJsonObject noti = state.value(QStringLiteral("notiEvent")).toObject();
        for (const char *key : {"loadingOn", "shutdownMemoryOn", "fanSpeedOn", "shutdownCPUOn"})
            QCOMPARE(noti.value(QLatin1String(key)).toBool(), false);
        QCOMPARE(noti.value(QStringLiteral("loadingColor")).toInt(), 255);
        QCOMPARE(state.value(QStringLiteral("selectProfile")).toInt(), 0);
    }

    void debugModeWritesTheLogFromTheStartLine()
    {
        ProductFixture product;
        QDir().mkpath(product.storeFolder());
        {
            QSettings device(product.deviceFile(), QSettings::IniFormat);
            device.setValue(QStringLiteral("DebugMode/isDebugMode"), 1);
        }
        const QString logFile = product.storeFolder() + QStringLiteral("/VELTRIMARGB_Log.txt");
        QVERIFY(product.startControl());
        QVERIFY(waitUntil([&] { return QFileInfo(logFile).size() > 0; }, 10000));
        QFile log(logFile);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString first = QString::fromUtf8(log.readLine());
        QVERIFY2(first.contains(QStringLiteral("======================START======================================")),
                 qPrintable(first));
    }
};

QTEST_GUILESS_MAIN(tst_LastingState)
#include "tst_lasting_state.moc"

// The control program for real, with the virtual HAL and a local stand-in for the
// location and weather services: the sky of the Clock mode follows what they answer,
// is asked again on the weather timer, and goes dark when the location is switched off.
#include "ProductFixture.h"
#include "WeatherHttpServer.h"

#include <QDateTime>
#include <QtTest>

namespace {
struct Led
{
    int red, green, blue;
};

QVector<Led> halFrame(int device)
{
    const auto snapshot = ProductFixture::hal();
    QVector<Led> leds;
    for (const quint32 c : snapshot && device < snapshot->devices.size() ? snapshot->devices.at(device).lastColours
                                                                          : QVector<quint32>())
        leds.append({int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)});
    return leds;
}

QString text(const QVector<Led> &frame)
{
    QStringList parts;
    for (const Led &led : frame)
        parts << QStringLiteral("(%1,%2,%3)").arg(led.red).arg(led.green).arg(led.blue);
    return parts.join(QLatin1Char(' '));
}

// Whether every LED passes `each` and at least one passes `some`.
template <typename Each, typename Some>
bool frameIs(const QVector<Led> &frame, Each each, Some some)
{
    return frame.size() == 5 && std::all_of(frame.begin(), frame.end(), each)
        && std::any_of(frame.begin(), frame.end(), some);
}

// Clouds: grey shades only, brighter than the night allows (60 × 0.05 = 3), so the
// day arrived as well.
bool isCloudyDay(const QVector<Led> &frame)
{
    return frameIs(frame, [](const Led &l) { return l.red == l.green && l.green == l.blue; },
                   [](const Led &l) { return l.red >= 9; });
}

// Clear: a warm light, red and green always equal and blue different somewhere.
bool isClear(const QVector<Led> &frame)
{
    return frameIs(frame, [](const Led &l) { return l.red == l.green; },
                   [](const Led &l) { return l.blue != l.red; });
}

bool isDark(const QVector<Led> &frame)
{
    return frameIs(frame, [](const Led &l) { return l.red + l.green + l.blue == 0; }, [](const Led &) { return true; });
}

void writeModule(QSettings &profile, int module, int lightMode)
{
    const QString group = QStringLiteral("Memory%1/").arg(module);
    profile.setValue(group + QStringLiteral("LightMode"), lightMode);
    profile.setValue(group + QStringLiteral("ColorMode"), 0);
    profile.setValue(group + QStringLiteral("LightSpeed"), 2);
    for (const char *key : {"RColor", "GColor", "BColor"})
        profile.setValue(group + QLatin1String(key), QStringLiteral("0,0,0,0,0"));
    profile.setValue(group + QStringLiteral("Bright"), QStringLiteral("1,1,1,1,1"));
}

bool setLocation(bool on)
{
    return ProductFixture::tool({QStringLiteral("set-settings"), QStringLiteral("--location"),
                                 QString::number(int(on))}).has_value();
}
} // namespace

class tst_WeatherProcess : public QObject
{
    Q_OBJECT

private slots:
    void skyFollowsTheServicesAndTheTimer()
    {
        constexpr int kIntervalMs = 1500;
        qputenv("VELTRIMA_WEATHER_INTERVAL_MS", QByteArray::number(kIntervalMs));
        ProductFixture product;
        WeatherHttpServer server;
        QVERIFY(server.isListening());
        server.configure(product.environment().configDir());
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        server.answer(WeatherHttpServer::kLocationPath, 200, WeatherHttpServer::location("New York", "US"));
        server.answer(WeatherHttpServer::kWeatherPath, 200,
                      WeatherHttpServer::weather("Clouds", now - 6 * 3600, now + 6 * 3600));

        product.enableDebugMode(); // the engine logs each weather type it is given
        QSettings(product.deviceFile(), QSettings::IniFormat).setValue(QStringLiteral("Main/isCurrentLocatio"), 1);
        {
            QDir().mkpath(QFileInfo(product.profileFile(0)).absolutePath());
            QSettings profile(product.profileFile(0), QSettings::IniFormat);
            writeModule(profile, 0, 31); // Clock
            writeModule(profile, 1, 23); // Weather
        }

        QVERIFY(product.startControl());
        QVERIFY2(waitUntil([] { return isCloudyDay(halFrame(0)); }, 30000),
                 qPrintable(text(halFrame(0)) + QLatin1Char('\n') + product.control().output()));
        QVERIFY(product.logCount(QStringLiteral("Set Weather Type: 4")) >= 1);
        QCOMPARE(server.targets().mid(0, 2), (QList<QByteArray>{"/json/", "/data/2.5/weather?q=New%20York,US&appid=testkey"}));
        QVERIFY(isDark(halFrame(1))); // the Weather mode itself shows nothing

        // The timer asks again, for the place already known, and the sky turns clear.
        server.answer(WeatherHttpServer::kWeatherPath, 200,
                      WeatherHttpServer::weather("Clear", now - 6 * 3600, now + 6 * 3600));
        QVERIFY2(waitUntil([] { return isClear(halFrame(0)); }, 30000), qPrintable(text(halFrame(0))));
        QVERIFY(product.logCount(QStringLiteral("Set Weather Type: 2")) >= 1);
        QCOMPARE(server.count("/json/"), 1);
        QVERIFY(server.count("/data/2.5/weather") >= 2);

        // Switched off while an answer is on its way: the sky goes dark and stays dark,
        // and nobody asks any more.
        server.answer(WeatherHttpServer::kWeatherPath, 200, WeatherHttpServer::weather("Snow", now - 3600, now + 3600));
        server.setDelay(WeatherHttpServer::kWeatherPath, 5000);
        const int weatherAsked = server.count("/data/2.5/weather");
        QVERIFY(waitUntil([&] { return server.count("/data/2.5/weather") > weatherAsked; }, 15000));
        const int answered = server.answered();
        QVERIFY(setLocation(false));
        QVERIFY2(waitUntil([] { return isDark(halFrame(0)); }, 15000), qPrintable(text(halFrame(0))));
        QVERIFY(waitUntil([&] { return server.answered() > answered; }, 15000));
        const int asked = server.targets().size();
        QTest::qWait(3 * kIntervalMs);
        QCOMPARE(server.targets().size(), asked);
        QVERIFY2(isDark(halFrame(0)), qPrintable(text(halFrame(0))));
        QCOMPARE(product.logCount(QStringLiteral("Set Weather Type: 6")), 0);

        // On again: asked at once.
        server.setDelay(WeatherHttpServer::kWeatherPath, 0);
        server.answer(WeatherHttpServer::kWeatherPath, 200,
                      WeatherHttpServer::weather("Clear", now - 6 * 3600, now + 6 * 3600));
        QVERIFY(setLocation(true));
        QVERIFY2(waitUntil([] { return isClear(halFrame(0)); }, 30000), qPrintable(text(halFrame(0))));
        product.stopControl();
        QCOMPARE(product.control().process().exitCode(), 0);
        qunsetenv("VELTRIMA_WEATHER_INTERVAL_MS");
    }
};

QTEST_GUILESS_MAIN(tst_WeatherProcess)
#include "tst_weather_process.moc"

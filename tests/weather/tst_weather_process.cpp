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
    if (!snapshot || device >= snapshot->devices.size())
        return {};
    QVector<Led> leds;
    for (const quint32 colour : snapshot->devices.at(device).lastColours)
        leds.append({int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF)});
    return leds;
}

QString text(const QVector<Led> &frame)
{
    QStringList parts;
    for (const Led &led : frame)
        parts << QStringLiteral("(%1,%2,%3)").arg(led.red).arg(led.green).arg(led.blue);
    return parts.join(QLatin1Char(' '));
}

// Clouds: grey shades only, and brighter than the night allows (60 × 0.05 = 3): the day
// arrived as well.
bool isCloudyDay(const QVector<Led> &frame)
{
    bool bright = false;
    for (const Led &led : frame) {
        if (led.red != led.green || led.green != led.blue)
            return false;
        bright = bright || led.red >= 9;
    }
    return frame.size() == 5 && bright;
}

// Clear: a warm light, red and green always equal and blue different somewhere.
bool isClear(const QVector<Led> &frame)
{
    bool warm = false;
    for (const Led &led : frame) {
        if (led.red != led.green)
            return false;
        warm = warm || led.blue != led.red;
    }
    return frame.size() == 5 && warm;
}

bool isDark(const QVector<Led> &frame)
{
    return frame.size() == 5 && std::all_of(frame.begin(), frame.end(), [](const Led &led) {
               return led.red == 0 && led.green == 0 && led.blue == 0;
           });
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
        const QList<QByteArray> first = server.targets().mid(0, 2);
        QCOMPARE(first, (QList<QByteArray>{"/json/", "/data/2.5/weather?q=New%20York,US&appid=testkey"}));
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
        QVERIFY(ProductFixture::tool({QStringLiteral("set-settings"), QStringLiteral("--location"), QStringLiteral("0")})
                    .has_value());
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
        QVERIFY(ProductFixture::tool({QStringLiteral("set-settings"), QStringLiteral("--location"), QStringLiteral("1")})
                    .has_value());
        QVERIFY2(waitUntil([] { return isClear(halFrame(0)); }, 30000), qPrintable(text(halFrame(0))));
        product.stopControl();
        QCOMPARE(product.control().process().exitCode(), 0);
        qunsetenv("VELTRIMA_WEATHER_INTERVAL_MS");
    }
};

QTEST_GUILESS_MAIN(tst_WeatherProcess)
#include "tst_weather_process.moc"

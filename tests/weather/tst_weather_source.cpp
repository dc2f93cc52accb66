// The weather source against a local stand-in for both services: the order of the
// requests and signals, one request of each kind at a time, silent and failing services.
#include "GetWeatherAndLocation.h"
#include "ProgramRunner.h"
#include "ServiceSettings.h"
#include "TestEnvironment.h"
#include "WeatherHttpServer.h"

#include <QNetworkReply>
#include <QtTest>

namespace {
// What the source emitted, in order.
struct Emitted
{
    explicit Emitted(GetWeatherAndLocation &source)
    {
        QObject::connect(&source, &GetWeatherAndLocation::sendSun, &source,
                         [this](int rise, int set) { events << QStringLiteral("sun %1 %2").arg(rise).arg(set); });
        QObject::connect(&source, &GetWeatherAndLocation::sendWeather, &source,
                         [this](int type) { events << QStringLiteral("weather %1").arg(type); });
    }
    QStringList events;
};

bool repliesReleased(const GetWeatherAndLocation &source)
{
    return waitUntil([&] { return source.findChildren<QNetworkReply *>().isEmpty(); }, 5000);
}
} // namespace

class tst_WeatherSource : public QObject
{
    Q_OBJECT

private slots:
    void locationComesFirstThenSunThenWeather()
    {
        WeatherHttpServer server;
        QVERIFY(server.isListening());
        server.configure(m_env.configDir());
        server.answer(WeatherHttpServer::kLocationPath, 200, WeatherHttpServer::location("New York", "U,S"));
        server.answer(WeatherHttpServer::kWeatherPath, 200, WeatherHttpServer::weather("Clouds", 1000, 5000));

        GetWeatherAndLocation source;
        Emitted emitted(source);
        source.getWeather(); // no place known yet: the place is asked first
        QVERIFY(waitUntil([&] { return emitted.events.size() == 2; }, 15000));
        QCOMPARE(emitted.events, (QStringList{QStringLiteral("sun 1000 5000"), QStringLiteral("weather 4")}));
        QCOMPARE(server.targets(),
                 (QList<QByteArray>{"/json/", "/data/2.5/weather?q=New%20York,U%2CS&appid=testkey"}));
        QVERIFY(repliesReleased(source));

        // Later ticks ask only the weather, for the place known; a new answer is passed on.
        server.clear();
        server.answer(WeatherHttpServer::kWeatherPath, 200, WeatherHttpServer::weather("Mist", 0, 0));
        source.getWeather();
        QVERIFY(waitUntil([&] { return emitted.events.size() == 3; }, 15000));
        QCOMPARE(emitted.events.last(), QStringLiteral("weather 0")); // and no day from zero times
        QCOMPARE(server.targets().size(), 1);
        QVERIFY(repliesReleased(source));
    }

    void oneRequestOfEachKindAndSilenceEndsInAnError()
    {
        WeatherHttpServer server;
        server.configure(m_env.configDir());
        server.setSilent(WeatherHttpServer::kLocationPath);

        GetWeatherAndLocation source;
        source.setAnswerTimeout(800);
        Emitted emitted(source);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("location service did not answer")));
        source.getLocation();
        source.getWeather();
        source.getLocation();
        source.getWeather();
        QVERIFY(waitUntil([&] { return server.count("/json/") == 1; }, 10000));
        QVERIFY(repliesReleased(source)); // the silence cost us the reply, nothing more
        QTest::qWait(300);
        QCOMPARE(server.targets().size(), 1);
        QVERIFY(emitted.events.isEmpty());

        // Not stuck: the next request goes out and its answer arrives.
        server.answer(WeatherHttpServer::kLocationPath, 200, WeatherHttpServer::location("Taipei", "TW"));
        server.answer(WeatherHttpServer::kWeatherPath, 200, WeatherHttpServer::weather("Snow", 10, 20));
        source.getWeather();
        source.getWeather();
        QVERIFY(waitUntil([&] { return emitted.events.size() == 2; }, 15000));
        QCOMPARE(emitted.events.last(), QStringLiteral("weather 6"));
        QCOMPARE(server.count("/json/"), 2);
        QCOMPARE(server.count("/data/2.5/weather"), 1);
    }

    void failingAnswersGiveNothing()
    {
        WeatherHttpServer server;
        server.configure(m_env.configDir());
        GetWeatherAndLocation source;
        Emitted emitted(source);
        const auto settle = [&] {
            const int before = server.targets().size();
            return waitUntil([&] { return server.targets().size() > before; }, 10000) && repliesReleased(source);
        };

        server.answer(WeatherHttpServer::kLocationPath, 404, "{\"city\":\"Taipei\",\"country\":\"TW\"}");
        source.getWeather();
        QVERIFY(settle());
        // A location answer without a city: no weather request, no endless asking.
        server.answer(WeatherHttpServer::kLocationPath, 200, WeatherHttpServer::location("", "TW"));
        source.getWeather();
        QVERIFY(settle());
        QTest::qWait(500);
        QCOMPARE(server.count("/data/2.5/weather"), 0);
        QCOMPARE(server.count("/json/"), 2);

        server.answer(WeatherHttpServer::kLocationPath, 200, WeatherHttpServer::location("Taipei", "TW"));
        server.answer(WeatherHttpServer::kWeatherPath, 500, WeatherHttpServer::weather("Rain", 10, 20));
        source.getLocation();
        QVERIFY(waitUntil([&] { return server.count("/data/2.5/weather") == 1; }, 10000));
        QVERIFY(repliesReleased(source));
        server.answer(WeatherHttpServer::kWeatherPath, 200, "{\"weather\":[],\"sys\":{}}");
        source.getWeather();
        QVERIFY(settle());
        server.answer(WeatherHttpServer::kWeatherPath, 200, "Service Unavailable");
        source.getWeather();
        QVERIFY(settle());
        QTest::qWait(300);
        QVERIFY2(emitted.events.isEmpty(), qPrintable(emitted.events.join(QLatin1Char(';'))));
    }

    void servicesDefaultToPublicOnesOverTls()
    {
        QFile::remove(ServiceSettings().filePath());
        const ServiceSettings none;
        QCOMPARE(none.locationBaseUrl().scheme(), QStringLiteral("https"));
        QCOMPARE(none.weatherBaseUrl().scheme(), QStringLiteral("https"));
        QCOMPARE(none.weatherKey(), ServiceSettings::kDefaultWeatherKey);

        QSettings file(none.filePath(), QSettings::IniFormat);
        file.setValue(QStringLiteral("Location/Url"), QStringLiteral("geo.example/base"));
        file.setValue(QStringLiteral("Weather/Url"), QStringLiteral("ftp://weather.example"));
        file.setValue(QStringLiteral("Weather/Key"), QStringLiteral(" abc "));
        file.sync();
        const ServiceSettings configured;
        QCOMPARE(GetWeatherAndLocation::locationUrl(configured.locationBaseUrl()).toString(),
                 QStringLiteral("https://geo.example/base/json/"));
        QVERIFY(configured.weatherBaseUrl().isEmpty()); // refused, and so never asked
        QCOMPARE(configured.weatherKey(), QStringLiteral("abc"));
    }

private:
    // One set of folders for the whole run: the settings folder is found once per process.
    TestEnvironment m_env;
};

QTEST_GUILESS_MAIN(tst_WeatherSource)
#include "tst_weather_source.moc"

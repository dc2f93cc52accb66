// The weather source against a local stand-in for both services: the order of the
// requests and signals, one request of each kind at a time, silent and failing services.
#include "GetWeatherAndLocation.h"
#include "ProgramRunner.h"
#include "TestEnvironment.h"
#include "WeatherHttpServer.h"

#include <QNetworkReply>
#include <QtTest>

class tst_WeatherSource : public QObject
{
    Q_OBJECT

private:
    // One set of folders for the whole run: the settings folder is found once per process.
    TestEnvironment m_env;
    WeatherHttpServer m_server;
    GetWeatherAndLocation m_source;
    QStringList m_emitted;

    bool repliesReleased()
    {
        return waitUntil([&] { return m_source.findChildren<QNetworkReply *>().isEmpty(); }, 5000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.isListening());
        m_server.configure(m_env.configDir());
        connect(&m_source, &GetWeatherAndLocation::sendSun, this,
                [this](int rise, int set) { m_emitted << QStringLiteral("sun %1 %2").arg(rise).arg(set); });
        connect(&m_source, &GetWeatherAndLocation::sendWeather, this,
                [this](int type) { m_emitted << QStringLiteral("weather %1").arg(type); });
    }

    void silenceDuplicatesAndFailuresGiveNothing()
    {
        m_server.setSilent(WeatherHttpServer::kLocationPath);
        m_source.setAnswerTimeout(800);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("location service did not answer")));
        for (int i = 0; i < 2; ++i) {
            m_source.getLocation();
            m_source.getWeather(); // no place yet: asks the place, which is already asked
        }
        QVERIFY(waitUntil([&] { return m_server.count(WeatherHttpServer::kLocationPath) == 1; }, 10000));
        QVERIFY(repliesReleased()); // the silence cost the reply, nothing more

        m_server.answer(WeatherHttpServer::kLocationPath, 404, WeatherHttpServer::location("Taipei", "TW"));
        m_source.getWeather();
        QVERIFY(waitUntil([&] { return m_server.count(WeatherHttpServer::kLocationPath) == 2; }, 10000));
        QVERIFY(repliesReleased());
        // Without a city nothing more is asked: no endless round of location requests.
        m_server.answer(WeatherHttpServer::kLocationPath, 200, WeatherHttpServer::location("", "TW"));
        m_source.getWeather();
        QVERIFY(waitUntil([&] { return m_server.count(WeatherHttpServer::kLocationPath) == 3; }, 10000));
        QVERIFY(repliesReleased());
        QTest::qWait(300);
        QCOMPARE(m_server.targets().size(), 3);
        QVERIFY(m_emitted.isEmpty());
    }

    void locationComesFirstThenSunThenWeather()
    {
        m_server.answer(WeatherHttpServer::kLocationPath, 200, WeatherHttpServer::location("New York", "U,S"));
        m_server.answer(WeatherHttpServer::kWeatherPath, 200, WeatherHttpServer::weather("Clouds", 1000, 5000));
        m_server.clear();
        m_source.getWeather();
        QVERIFY(waitUntil([&] { return m_emitted.size() == 2; }, 15000));
        QCOMPARE(m_emitted, (QStringList{QStringLiteral("sun 1000 5000"), QStringLiteral("weather 4")}));
        QCOMPARE(m_server.targets(), (QList<QByteArray>{"/json/", "/data/2.5/weather?q=New%20York,U%2CS&appid=testkey"}));
        QVERIFY(repliesReleased());

        // Later turns ask only the weather, for the place known.
        m_server.answer(WeatherHttpServer::kWeatherPath, 500, WeatherHttpServer::weather("Rain", 1000, 5000));
        m_source.getWeather();
        QVERIFY(waitUntil([&] { return m_server.targets().size() == 3; }, 10000));
        m_server.answer(WeatherHttpServer::kWeatherPath, 200, WeatherHttpServer::weather("Mist", 0, 0));
        m_source.getWeather();
        QVERIFY(waitUntil([&] { return m_emitted.size() == 3; }, 15000));
        QCOMPARE(m_emitted.last(), QStringLiteral("weather 0")); // no day from zero times, nothing from the 500
        QCOMPARE(m_server.count(WeatherHttpServer::kLocationPath), 1);
        QVERIFY(repliesReleased());
    }
};

QTEST_GUILESS_MAIN(tst_WeatherSource)
#include "tst_weather_source.moc"

// Reading the services' answers and building the weather query, without a network.
#include "GetWeatherAndLocation.h"
#include "WeatherAnalysis.h"

#include <QtTest>

namespace {
QStringList g_lines;

void capture(QtMsgType, const QMessageLogContext &, const QString &message)
{
    g_lines << message;
}

// The log lines written while reading body.
QStringList linesOf(const QByteArray &body, const WeatherAnalysis::Place &place = {},
                    const WeatherAnalysis::SunTimes &sun = {})
{
    g_lines.clear();
    const QtMessageHandler previous = qInstallMessageHandler(capture);
    WeatherAnalysis answer(body, place, sun);
    qInstallMessageHandler(previous);
    return g_lines;
}
} // namespace

class tst_WeatherAnalysis : public QObject
{
    Q_OBJECT

private slots:
    void weatherWordGivesType_data()
    {
        QTest::addColumn<QByteArray>("main");
        QTest::addColumn<int>("type");
        QTest::newRow("Clouds") << QByteArray("Clouds") << 4;
        QTest::newRow("Mist") << QByteArray("Mist") << 0;
        QTest::newRow("Rain") << QByteArray("Rain") << 1;
        QTest::newRow("CLEAR") << QByteArray("CLEAR") << 2;
        QTest::newRow("Thunderstorm") << QByteArray("Thunderstorm") << 3;
        QTest::newRow("Drizzle") << QByteArray("Drizzle") << 5;
        QTest::newRow("Snow") << QByteArray("Snow") << 6;
        QTest::newRow("no main") << QByteArray() << 0;
    }
    void weatherWordGivesType()
    {
        QFETCH(QByteArray, main);
        QFETCH(int, type);
        const QByteArray body = main.isEmpty() ? QByteArray("{\"weather\":[{\"id\":1}]}")
                                               : "{\"weather\":[{\"main\":\"" + main + "\"}]}";
        const WeatherAnalysis answer(body, {}, {});
        QCOMPARE(answer.weatherType(), std::optional<int>(type));
        QVERIFY(!answer.day());
        QVERIFY(!answer.place());
    }

    void weatherAnswerGivesDayAndTypeWithItsLogLines()
    {
        const QByteArray body = "{\"weather\":[{\"main\":\"Clouds\"},{\"main\":\"Rain\"}],"
                                "\"sys\":{\"sunrise\":1700000000,\"sunset\":1700040000},\"name\":\"Taipei\"}";
        const WeatherAnalysis answer(body, {QStringLiteral("Taipei"), QStringLiteral("TW")}, {});
        QCOMPARE(answer.weatherType(), std::optional<int>(4));
        QVERIFY(answer.day());
        QCOMPARE(answer.day()->sunrise, 1700000000);
        QCOMPARE(answer.day()->sunset, 1700040000);

        const QStringList lines = linesOf(body, {QStringLiteral("Taipei"), QStringLiteral("TW")});
        const QStringList expected{QStringLiteral("result: (\"name\", \"sys\", \"weather\")"),
                                   QStringLiteral("日出時間 1700000000"), QStringLiteral("日落時間 1700040000"),
                                   QStringLiteral("The country TW , City is  Taipei  weather =  Clouds"),
                                   QStringLiteral("aaa =  clouds")};
        QCOMPARE(lines, expected);
    }

    void dayIsPassedOnOnlyWhenItMakesSense()
    {
        const auto dayOf = [](const QByteArray &sys, WeatherAnalysis::SunTimes before = {}) {
            return WeatherAnalysis("{\"sys\":" + sys + "}", {}, before);
        };
        QVERIFY(!dayOf("{\"sunrise\":0,\"sunset\":0}").day());
        QVERIFY(!dayOf("{\"sunrise\":1700040000,\"sunset\":1700000000}").day());
        QVERIFY(!dayOf("{\"sunrise\":1700000000}").day()); // sunset still unknown
        QVERIFY(!dayOf("{\"sunrise\":1.5e12,\"sunset\":\"late\"}").day());
        // A missing time keeps the one known before.
        const WeatherAnalysis later = dayOf("{\"sunset\":1700050000}", {1700000000, 1700040000});
        QVERIFY(later.day());
        QCOMPARE(later.day()->sunrise, 1700000000);
        QCOMPARE(later.day()->sunset, 1700050000);
        const WeatherAnalysis refused = dayOf("{\"sunrise\":1.5e12}", {1700000000, 1700040000});
        QCOMPARE(refused.sun().sunrise, 1700000000);
    }

    void emptyWeatherArrayGivesNothing()
    {
        for (const QByteArray &weather : {QByteArray("[]"), QByteArray("{}"), QByteArray("null")}) {
            const WeatherAnalysis answer("{\"weather\":" + weather + ",\"city\":\"Taipei\",\"country\":\"TW\"}", {}, {});
            QVERIFY2(!answer.weatherType(), weather.constData());
            QVERIFY(!answer.place()); // a weather answer is never read as a location
        }
    }

    void locationAnswerGivesPlaceWithItsLogLines()
    {
        const QByteArray body = "{\"ip\":\"1.2.3.4\",\"city\":\"Taipei\",\"country\":\"TW\",\"latitude\":25.05,"
                                "\"longitude\":121.53}";
        const WeatherAnalysis answer(body, {}, {});
        QVERIFY(answer.place());
        QCOMPARE(answer.place()->city, QStringLiteral("Taipei"));
        QCOMPARE(answer.place()->country, QStringLiteral("TW"));
        QVERIFY(!answer.weatherType());
        QVERIFY(!answer.day());
        const QStringList lines = linesOf(body);
        QVERIFY(lines.contains(QStringLiteral("city: QVariant(QString, \"Taipei\")")));
        QVERIFY(lines.contains(QStringLiteral("latitude: QVariant(double, 25.05)")));
        QVERIFY(lines.contains(QStringLiteral("longitude: QVariant(double, 121.53)")));
        QVERIFY(lines.contains(QStringLiteral("country: QVariant(QString, \"TW\")")));
    }

    void answerWithoutUsableCityGivesNothing()
    {
        for (const QByteArray &body : {QByteArray("{\"error\":true,\"reason\":\"RateLimited\"}"),
                                       QByteArray("{\"city\":\"\",\"country\":\"TW\"}"),
                                       QByteArray("{\"city\":\"Taipei\"}"), QByteArray("{\"city\":7,\"country\":8}")}) {
            const WeatherAnalysis answer(body, {}, {});
            QVERIFY2(!answer.place(), body.constData());
            QVERIFY(!answer.weatherType());
            QVERIFY(!answer.day());
        }
    }

    void notJsonIsLoggedAndGivesNothing()
    {
        for (const QByteArray &body : {QByteArray("<html>busy</html>"), QByteArray("[1,2]"), QByteArray()}) {
            const QStringList lines = linesOf(body);
            QCOMPARE(lines.value(0), QStringLiteral("===> please check the string  ") + QString::fromUtf8(body));
            const WeatherAnalysis answer(body, {}, {});
            QVERIFY(!answer.place() && !answer.weatherType() && !answer.day());
        }
    }

    void weatherQueryEncodesCityAndCountry()
    {
        const QUrl base(QStringLiteral("https://weather.example/api/"));
        const QUrl plain = GetWeatherAndLocation::weatherUrl(base, QStringLiteral("Taipei"), QStringLiteral("TW"),
                                                             QStringLiteral("5f0c2e9a7b1d4e38a6c90f1b2d3e4a57"));
        QCOMPARE(plain.toEncoded(),
                 QByteArray("https://weather.example/api/data/2.5/weather?q=Taipei,TW&appid=5f0c2e9a7b1d4e38a6c90f1b2d3e4a57"));

        const QUrl odd = GetWeatherAndLocation::weatherUrl(base, QStringLiteral("New York"),
                                                           QStringLiteral("A,B&appid=x"), QStringLiteral("k#1"));
        QCOMPARE(odd.query(QUrl::FullyEncoded), QStringLiteral("q=New%20York,A%2CB%26appid%3Dx&appid=k%231"));
        QCOMPARE(QUrlQuery(odd).allQueryItemValues(QStringLiteral("appid")), QStringList{QStringLiteral("k#1")});
        QCOMPARE(GetWeatherAndLocation::weatherUrl(base, QStringLiteral("Zürich"), QStringLiteral("CH"), {})
                     .query(QUrl::FullyEncoded),
                 QStringLiteral("q=Z%C3%BCrich,CH&appid="));

        QCOMPARE(GetWeatherAndLocation::locationUrl(QUrl(QStringLiteral("http://127.0.0.1:8080"))).toEncoded(),
                 QByteArray("http://127.0.0.1:8080/json/"));
    }
};

QTEST_GUILESS_MAIN(tst_WeatherAnalysis)
#include "tst_weather_analysis.moc"

// Reading the services' answers and building the weather query, without a network.
#include "GetWeatherAndLocation.h"
#include "WeatherAnalysis.h"

#include <QtTest>

namespace {
QStringList g_lines;

// The analysis of body, and the lines it logged.
WeatherAnalysis analyse(const QByteArray &body, const WeatherAnalysis::SunTimes &sun = {})
{
    g_lines.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &line) { g_lines << line; });
    WeatherAnalysis answer(body, {QStringLiteral("Taipei"), QStringLiteral("TW")}, sun);
    qInstallMessageHandler(previous);
    return answer;
}
} // namespace

class tst_WeatherAnalysis : public QObject
{
    Q_OBJECT

private slots:
    void weatherWordGivesType()
    {
        const QList<QPair<QByteArray, int>> words{{"Clouds", 4}, {"Mist", 0}, {"Rain", 1}, {"CLEAR", 2},
                                                  {"Thunderstorm", 3}, {"Drizzle", 5}, {"Snow", 6}};
        for (const auto &[word, type] : words)
            QCOMPARE(analyse("{\"weather\":[{\"main\":\"" + word + "\"}]}").weatherType(), std::optional<int>(type));
        QCOMPARE(analyse("{\"weather\":[{\"id\":1}]}").weatherType(), std::optional<int>(0));
    }

    void weatherAnswerGivesDayAndTypeWithItsLogLines()
    {
        const WeatherAnalysis answer = analyse("{\"weather\":[{\"main\":\"Clouds\"},{\"main\":\"Rain\"}],"
                                               "\"sys\":{\"sunrise\":1700000000,\"sunset\":1700040000},\"name\":\"x\"}");
        QCOMPARE(answer.weatherType(), std::optional<int>(4));
        QCOMPARE(answer.day()->sunrise, 1700000000);
        QCOMPARE(answer.day()->sunset, 1700040000);
        QCOMPARE(g_lines, (QStringList{QStringLiteral("result: (\"name\", \"sys\", \"weather\")"),
                                       QStringLiteral("日出時間 1700000000"), QStringLiteral("日落時間 1700040000"),
                                       QStringLiteral("The country TW , City is  Taipei  weather =  Clouds"),
                                       QStringLiteral("aaa =  clouds")}));

        const WeatherAnalysis place = analyse("{\"city\":\"Tainan\",\"country\":\"TW\",\"latitude\":23.5,\"longitude\":120}");
        QCOMPARE(place.place()->city, QStringLiteral("Tainan"));
        QCOMPARE(place.place()->country, QStringLiteral("TW"));
        QCOMPARE(g_lines.mid(1), (QStringList{QStringLiteral("city: Tainan"), QStringLiteral("latitude: 23.5"),
                                              QStringLiteral("longitude: 120"), QStringLiteral("country: TW")}));
    }

    void dayIsPassedOnOnlyWhenItMakesSense()
    {
        QVERIFY(!analyse("{\"sys\":{\"sunrise\":0,\"sunset\":0}}").day());
        QVERIFY(!analyse("{\"sys\":{\"sunrise\":1700040000,\"sunset\":1700000000}}").day());
        QVERIFY(!analyse("{\"sys\":{\"sunrise\":1700000000}}").day()); // sunset still unknown
        QVERIFY(!analyse("{\"sys\":{\"sunrise\":1.5e12,\"sunset\":\"late\"}}").day());
        // A missing or refused time keeps the one known before.
        const WeatherAnalysis later = analyse("{\"sys\":{\"sunrise\":1.5e12,\"sunset\":1700050000}}", {1700000000, 1700040000});
        QCOMPARE(later.day()->sunrise, 1700000000);
        QCOMPARE(later.day()->sunset, 1700050000);
    }

    void answersThatGiveNothing()
    {
        const QList<QByteArray> bodies{"{\"weather\":[],\"city\":\"Taipei\",\"country\":\"TW\"}",
                                       "{\"weather\":null}",
                                       "{\"error\":true,\"reason\":\"RateLimited\"}",
                                       "{\"city\":\"\",\"country\":\"TW\"}",
                                       "{\"city\":\"Taipei\"}",
                                       "<html>busy</html>"};
        for (const QByteArray &body : bodies) {
            const WeatherAnalysis answer = analyse(body);
            QVERIFY2(!answer.place() && !answer.weatherType() && !answer.day(), body.constData());
        }
        QCOMPARE(g_lines.value(0), QStringLiteral("===> please check the string  <html>busy</html>"));
    }

    void weatherQueryEncodesCityAndCountry()
    {
        const QUrl base(QStringLiteral("https://weather.example/api/"));
        QCOMPARE(GetWeatherAndLocation::weatherUrl(base, QStringLiteral("Taipei"), QStringLiteral("TW"),
                                                   QStringLiteral("5f0c2e9a7b1d4e38a6c90f1b2d3e4a57")).toEncoded(),
                 QByteArray("https://weather.example/api/data/2.5/weather?q=Taipei,TW"
                            "&appid=5f0c2e9a7b1d4e38a6c90f1b2d3e4a57"));
        const QUrl odd = GetWeatherAndLocation::weatherUrl(base, QStringLiteral("New York"),
                                                           QStringLiteral("A,B&appid=x"), QStringLiteral("k#1"));
        QCOMPARE(odd.query(QUrl::FullyEncoded), QStringLiteral("q=New%20York,A%2CB%26appid%3Dx&appid=k%231"));
        QCOMPARE(GetWeatherAndLocation::weatherUrl(base, QStringLiteral("Zürich"), QStringLiteral("CH"), {})
                     .query(QUrl::FullyEncoded),
                 QStringLiteral("q=Z%C3%BCrich,CH&appid="));
    }
};

QTEST_GUILESS_MAIN(tst_WeatherAnalysis)
#include "tst_weather_analysis.moc"

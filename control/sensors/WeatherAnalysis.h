// What one answer of the location or the weather service says, read the way the
// weather source reads it and logged line by line. No network and no signals: the
// source acts on the result.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QJsonObject;
class QJsonValue;

class WeatherAnalysis
{
public:
    struct Place
    {
        QString city;
        QString country;
    };

    // Seconds since 1970 (UTC); -1 until a weather answer gave them.
    struct SunTimes
    {
        int sunrise = -1;
        int sunset = -1;
    };

    // `place` and `sun` are what was known before this answer: the log names the place,
    // and a time the answer lacks keeps its earlier value.
    WeatherAnalysis(const QByteArray &body, const Place &place, const SunTimes &sun);

    // The times after this answer.
    SunTimes sun() const { return m_sun; }
    // The day to pass on: only from an answer with "sys", and only a day that makes
    // sense (0 < sunrise < sunset).
    std::optional<SunTimes> day() const { return m_day; }
    // The weather type, for an answer with a non-empty "weather" array.
    std::optional<int> weatherType() const { return m_weatherType; }
    // Where we are, for a location answer with both a city and a country.
    std::optional<Place> place() const { return m_place; }

    // 1 rain, 2 clear, 3 thunderstorm, 4 clouds, 5 drizzle, 6 snow; 0 for any other word.
    static int weatherTypeOf(const QString &word);

private:
    void readSun(const QJsonObject &sys);
    void readWeather(const QJsonValue &weather, const Place &known);
    void readPlace(const QJsonObject &answer);
    // A JSON number that is a whole int; nothing for anything else.
    static std::optional<int> wholeNumber(const QJsonValue &value);

    SunTimes m_sun;
    std::optional<SunTimes> m_day;
    std::optional<int> m_weatherType;
    std::optional<Place> m_place;
};

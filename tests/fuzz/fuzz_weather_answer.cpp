// The location and weather services answer from the network.
#include "FuzzInput.h"
#include "GetWeatherAndLocation.h"
#include "WeatherAnalysis.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool quiet = (silenceQtMessages(), true);
    Q_UNUSED(quiet);
    FuzzInput input(data, size);
    WeatherAnalysis::SunTimes known;
    known.sunrise = input.i32();
    known.sunset = input.i32();
    const WeatherAnalysis answer(input.rest(), {QStringLiteral("Taipei"), QStringLiteral("TW")}, known);
    if (const std::optional<WeatherAnalysis::SunTimes> day = answer.day()) {
        if (!(0 < day->sunrise && day->sunrise < day->sunset))
            std::abort(); // only a day that makes sense is passed on
    }
    if (const std::optional<int> type = answer.weatherType()) {
        if (*type < 0 || *type > 6)
            std::abort();
    }
    if (const std::optional<WeatherAnalysis::Place> place = answer.place())
        (void)GetWeatherAndLocation::weatherUrl(QUrl(QStringLiteral("http://127.0.0.1")), place->city,
                                                place->country, QStringLiteral("key"));
    return 0;
}

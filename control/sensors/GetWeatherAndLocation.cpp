#include "GetWeatherAndLocation.h"

#include <QDebug>

GetWeatherAndLocation::GetWeatherAndLocation(QObject *parent)
    : QThread(parent)
{
}

// The web services are not wired yet: nothing is asked, so the weather stays unknown.
void GetWeatherAndLocation::getLocation()
{
}

void GetWeatherAndLocation::getWeather()
{
    qDebug() << "GetWeatcather";
}

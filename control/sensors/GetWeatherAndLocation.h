// Weather and sunrise/sunset for the sky-driven light modes. Its own thread is never
// started; the object lives on a worker thread and answers queued requests.
#pragma once

#include <QThread>

class GetWeatherAndLocation : public QThread
{
    Q_OBJECT
public:
    explicit GetWeatherAndLocation(QObject *parent = nullptr);

signals:
    void sendWeather(int weatherType);
    void sendSun(int sunrise, int sunset);

public slots:
    void getLocation();
    void getWeather();
};

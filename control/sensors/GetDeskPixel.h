// Dominant colour of the screen for the screen-driven light modes. Its own thread is
// never started; the object lives on a worker thread and answers queued requests.
#pragma once

#include <QThread>

class GetDeskPixel : public QThread
{
    Q_OBJECT
public:
    explicit GetDeskPixel(QObject *parent = nullptr);

signals:
    void sendDeskPixelRGB(int red, int green, int blue);

public slots:
    void getDeskPixelRGB(int, int);
};

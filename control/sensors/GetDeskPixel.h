// Dominant colour of the primary screen for the screen-driven light modes. Its own thread
// is never started; the object lives on a worker thread, which reads the screen (on X11
// just the pixels that shrinking to 15 × 15 keeps) and does the arithmetic. Where only
// the toolkit can grab, the grab runs on the GUI thread and the picture comes back here.
#pragma once

#include "FastScalePicks.h"

#include <QImage>
#include <QThread>

#include <atomic>
#include <memory>

class DeskScreen;
class X11StripGrabber;

class GetDeskPixel : public QThread
{
    Q_OBJECT
public:
    // Create on the GUI thread.
    explicit GetDeskPixel(QObject *parent = nullptr);
    ~GetDeskPixel() override;

signals:
    void sendDeskPixelRGB(int red, int green, int blue);

public slots:
    // Safe from any thread. At most one request waits: one that arrives while another
    // waits is dropped, so a slow screen never builds a backlog of samplings.
    void getDeskPixelRGB(int, int);

private:
    enum class Notice { Wayland, NoStrips, StripsFailed, NoPicture };

    Q_INVOKABLE void sample();
    bool connectStrips();
    void sampleStrips();
    void fullGrab();
    void takeFullGrab(const QImage &picture);
    void answer(const QImage &scaled);
    void noteOnce(Notice notice, const QString &text);

    std::atomic_bool m_waiting{false};
    DeskScreen *m_screen = nullptr;
    std::unique_ptr<X11StripGrabber> m_strips;
    bool m_stripsTried = false;
    bool m_fullGrabRunning = false;
    FastScalePicks m_picks;
    unsigned m_noted = 0; // one bit per notice already logged
};

// Reads a handful of pixels of the X screen's root window without copying the whole
// screen: one thin row strip per screen row that holds a wanted pixel, all requested at
// once and, where the server shares memory with us, delivered through a shared segment.
// Uses a connection of its own, so it may live on any one thread (one at a time).
#pragma once

#include <QPoint>
#include <QRgb>
#include <QString>
#include <QVector>

#include <memory>

struct xcb_connection_t;

class X11StripGrabber
{
public:
    // Connects to the display named by DISPLAY. Null when there is no usable X server or
    // its root pixels are not 32-bit XRGB that we can read as they are (others would need
    // the toolkit's own conversion); whyNot then says why. Without shared memory (or when
    // the server cannot share it, as over a network) the strips come through the socket.
    enum class Transport { SharedMemory, Socket };
    static std::unique_ptr<X11StripGrabber> connect(QString *whyNot, Transport transport = Transport::SharedMemory);
    ~X11StripGrabber();

    X11StripGrabber(const X11StripGrabber &) = delete;
    X11StripGrabber &operator=(const X11StripGrabber &) = delete;

    // Xwayland only sees X clients: its root window reads black whatever the desktop shows.
    bool isXWayland() const { return m_xwayland; }
    bool usesSharedMemory() const { return m_shmSegment != 0; }

    // The root-window pixels at the given points as opaque RGB32 values; a point with a
    // negative coordinate reads as 0 (nothing there). Empty on failure (whyNot says why);
    // after a lost connection every later call fails too.
    QVector<QRgb> pixels(const QVector<QPoint> &points, QString *whyNot);

private:
    X11StripGrabber() = default;
    bool attachSegment(int bytes);
    void detachSegment();

    xcb_connection_t *m_connection = nullptr;
    quint32 m_root = 0;
    bool m_xwayland = false;
    bool m_shmAvailable = false;
    quint32 m_shmSegment = 0;
    unsigned char *m_shmData = nullptr;
    int m_shmBytes = 0;
};

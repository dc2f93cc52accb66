// Shows a picture on the whole X screen from a frameless window of this test, and waits
// until the X server's root window really holds it.
#pragma once

#include <QBackingStore>
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QScreen>
#include <QTest>

#include <memory>

class PictureWindow : public QRasterWindow
{
public:
    explicit PictureWindow(const QImage &picture)
        : m_picture(picture)
    {
        setFlags(Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
        setGeometry(QGuiApplication::primaryScreen()->geometry());
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, m_picture);
    }

private:
    QImage m_picture;
};

// The screen's own picture, grabbed the plain way: the whole screen at once.
inline QImage fullGrab(QSize size)
{
    return QGuiApplication::primaryScreen()->grabWindow(0, 0, 0, size.width(), size.height()).toImage();
}

// Keeps the window up for its life; false when the screen did not show it in time.
inline bool showPicture(std::unique_ptr<PictureWindow> &window, const QImage &picture)
{
    window = std::make_unique<PictureWindow>(picture);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get(), 10000))
        return false;
    const QPoint probes[] = {{0, 0}, {picture.width() - 1, picture.height() - 1}, {picture.width() / 3, picture.height() / 2}};
    for (int tries = 0; tries < 200; ++tries) {
        const QImage shown = fullGrab(picture.size());
        bool same = !shown.isNull();
        for (const QPoint &p : probes)
            same = same && (shown.pixel(p) & 0xffffff) == (picture.pixel(p) & 0xffffff);
        if (same)
            return true;
        window->requestUpdate();
        QTest::qWait(25);
    }
    return false;
}

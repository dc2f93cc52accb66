#include "DeskScreen.h"

#include <QGuiApplication>
#include <QMutexLocker>
#include <QPixmap>
#include <QScreen>

namespace {
QSize nativeSizeOf(const QScreen *screen)
{
    if (!screen)
        return {};
    return screen->geometry().size() * screen->devicePixelRatio();
}
} // namespace

DeskScreen::DeskScreen(QObject *parent)
    : QObject(parent)
    , m_kind(kindOf(QGuiApplication::platformName()))
{
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, &DeskScreen::follow);
    follow(QGuiApplication::primaryScreen());
}

DeskScreen::Kind DeskScreen::kindOf(const QString &platformName)
{
    if (platformName == QLatin1String("xcb"))
        return Kind::X11;
    if (platformName.startsWith(QLatin1String("wayland")))
        return Kind::Wayland;
    return Kind::Other;
}

QSize DeskScreen::nativeSize() const
{
    QMutexLocker locker(&m_sizeLock);
    return m_nativeSize;
}

void DeskScreen::follow(QScreen *screen)
{
    disconnect(m_geometry);
    if (screen)
        m_geometry = connect(screen, &QScreen::geometryChanged, this, &DeskScreen::update);
    update();
}

void DeskScreen::update()
{
    const QSize size = nativeSizeOf(QGuiApplication::primaryScreen());
    QMutexLocker locker(&m_sizeLock);
    m_nativeSize = size;
}

void DeskScreen::grab()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen) {
        emit grabbed({});
        return;
    }
    const QSize size = screen->geometry().size();
    emit grabbed(screen->grabWindow(0, 0, 0, size.width(), size.height()).toImage());
}

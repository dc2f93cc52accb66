#include "PowerEvents.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDebug>

PowerEvents::PowerEvents(QObject *parent)
    : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        qWarning() << "PowerEvents: no system bus; suspend and resume go unnoticed";
        return;
    }
    m_listening = bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                              QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"),
                              this, SLOT(onPrepareForSleep(bool)));
    if (!m_listening)
        qWarning() << "PowerEvents: cannot listen to logind:" << bus.lastError().message();
}

void PowerEvents::onPrepareForSleep(bool start)
{
    if (start)
        emit suspending();
    else
        emit resumed();
}

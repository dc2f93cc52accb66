#include "AutoUpdate.h"

#include <QDebug>

AutoUpdate::AutoUpdate(QWidget *parent)
    : QWidget(parent)
{
}

void AutoUpdate::setupVersion(const QString &version)
{
    qDebug() << "setupVersion:" << version;
    m_version = version;
}

void AutoUpdate::getVersion()
{
    qInfo() << "AutoUpdate: no update service configured; version" << m_version << "stays";
}

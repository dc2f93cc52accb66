#include "Noti_View.h"

#include <QLabel>

Noti_View::Noti_View(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Noti_View"));
    resize(814, 510);
    label_Title = new QLabel(this);
    label_Title->setGeometry(20, 50, 600, 30);
    label_Title->setStyleSheet(QStringLiteral("font-family: Arial; font-size: 22px; color: lightgray;"));
    updateLanguage_Noti();
}

void Noti_View::setNotiData(NotiEventData data)
{
    m_data = data;
}

void Noti_View::updateLanguage_Noti()
{
    label_Title->setText(tr("Setting Notification"));
}

#include "Setting_View.h"

#include <QLabel>

Setting_View::Setting_View(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Setting_View"));
    resize(814, 510);
    m_data.reset();
    label_Version = new QLabel(this);
    label_Version->setGeometry(50, 50, 600, 30);
    label_Version->setStyleSheet(QStringLiteral("font-family: Arial; font-size: 22px; color: lightgray;"));
    updateLanguage_Setting();
}

void Setting_View::setSettingData(SettingData data)
{
    m_data = data;
}

void Setting_View::updateLanguage_Setting()
{
    label_Version->setText(tr("Version") + QStringLiteral(":") + QStringLiteral("1.0.2"));
}

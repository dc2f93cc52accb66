// The settings page. For now a placeholder with the page's connections.
#pragma once

#include "SettingData.h"

#include <QWidget>

class QLabel;

class Setting_View : public QWidget
{
    Q_OBJECT
public:
    explicit Setting_View(QWidget *parent = nullptr);

    SettingData settingData() const { return m_data; }

signals:
    void changeSettingData(SettingData data);

public slots:
    void setSettingData(SettingData data);
    void updateLanguage_Setting();

private:
    SettingData m_data{};
    QLabel *label_Version = nullptr;
};

// The settings page: language, automatic update, start at log-on and the use of the
// current location. Every change goes out at once as the whole record.
#pragma once

#include "SettingData.h"

#include <QWidget>

class QLabel;
class QPushButton;
class SwitchButton;
class Widget_Language;

class Setting_View : public QWidget
{
    Q_OBJECT
public:
    static constexpr const char *kVersion = "1.0.2";

    explicit Setting_View(QWidget *parent = nullptr);

    SettingData settingData() const { return m_data; }
    Widget_Language *languageList() const { return m_languageList; }

signals:
    void changeSettingData(SettingData data);

public slots:
    void slot_AutoUpdate_Switch(bool on);
    void slot_AutoRun_Switch(bool on);
    void slot_CurrentLocation_Switch(bool on);
    void slot_Language();
    void currentLanguageIndex(int language);
    void setSettingData(SettingData data);
    void updateLanguage_Setting();

private:
    QLabel *makeLabel(const char *name);
    SwitchButton *makeSwitchRow(int row, const char *switchName, QLabel *label);
    void placeVersionRow();
    void refresh();
    void send();

    SettingData m_data{};
    QWidget *widget_Setting = nullptr;
    QLabel *label_Language = nullptr;
    QPushButton *btn_Language = nullptr;
    QLabel *label_AutoUpdate = nullptr;
    SwitchButton *switch_AutoUpdate = nullptr;
    QLabel *label_AutoRun = nullptr;
    SwitchButton *switch_AutoRun = nullptr;
    QLabel *label_CurrentLocation = nullptr;
    SwitchButton *switch_CurrentLocation = nullptr;
    QLabel *label_Version = nullptr;
    Widget_Language *m_languageList = nullptr;
};

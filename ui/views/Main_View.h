// The frameless main window: menu, page switching, the loading overlay and the relays
// between the pages and the base window.
#pragma once

#include "HWData.h"

#include <QList>
#include <QStringList>
#include <QWidget>

class Information_View;
class Lighting_View;
class Loading_View;
class Noti_View;
class Setting_View;
class QButtonGroup;
class QLabel;
class QPropertyAnimation;
class QPushButton;
class QTimer;
class WindowEndpoint;
struct WindowRequest;

class Main_View : public QWidget
{
    Q_OBJECT
public:
    explicit Main_View(QWidget *parent = nullptr);
    ~Main_View() override;

    // Carries out a private window message once it has been answered.
    void handleWindowMessage(quint32 message, quint64 wParam);
    void showAndActivate();

    // While the control program does not answer, the overlay covers the pages with the
    // reason and the pages take no input.
    void showControlStatus(bool answering, const QString &status);
    bool controlAnswering() const { return m_controlAnswering; }
    // A line over the bottom of the window that goes away by itself: for what the user
    // must know but need not confirm.
    void showNotice(const QString &text);
    QString noticeText() const;

    int slotCount() const { return m_slotCount; }
    int memoryCount() const { return m_memoryCount; }
    bool isDragging() const { return m_dragging; }

    Loading_View *loadingView() const { return m_loading; }
    Information_View *informationView() const { return m_info; }
    Lighting_View *lightingView() const { return m_lighting; }
    Noti_View *notiView() const { return m_noti; }
    Setting_View *settingView() const { return m_setting; }
    QPushButton *menuButton(int id) const;
    QPushButton *closeButton() const { return btn_Close; }
    QPushButton *minimiseButton() const { return btn_Min; }

signals:
    void setSystemData(HWData *data);
    void setSystemData1(HWData data);
    void changeColor(int slot, COLORREF *rgb, COLORREF singleRGB, float *bright, float singleBright);
    void setHWData(HWData data);
    void updatePreview(int module, COLORREF *colours);
    void updatePreviewList(QList<COLORREF *> colours);
    void changeLightMode(int slot, int mode, int colorMode, int speed, bool turnOff);
    void setRGB(int module, COLORREF *rgb, COLORREF singleRGB, float *bright, float singleBright);
    void requestSetRGB();
    void requestSetLighting();
    void setLighting(int module, int lightMode, int colorMode, int lightSpeed, bool turnOff);
    void slot_Close();
    void changeMemorySlotNumber(int count, int *slotNumbers);
    void sendNotiData(NotiEventData data);
    void setMemorySlotNumber(int count, int *slotNumbers);
    void requestSetSlotNum();
    void requestNotiData();
    void setNotiData(NotiEventData data);
    void select_Profile(int profile);
    void setProfile(int profile);
    void requestSetProfile();
    void changeSettingData(SettingData data);
    void requestSettingData();
    void setSettingData(SettingData data);
    void updateLanguage();

public slots:
    void slot_show_Info();
    void slot_show_Lighting();
    void slot_show_Noti();
    void slot_show_Setting();
    void setSlotNumber(int slotCount, int memoryCount);
    void updateLanguage_MainView();
    void updateViewData();
    void setKVModuleType(QStringList parts);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QPushButton *makeMenuButton(const char *name);
    void hideOtherPages(QWidget *keep);
    void moveIndicator(int id);
    QRect indicatorGeometry(int id) const;
    void keepControlsReachable();
    void enablePages();

    QLabel *label_Logo = nullptr;
    QLabel *label_MenuBar_Image = nullptr;
    QPropertyAnimation *m_indicatorAnimation = nullptr;
    QWidget *Widget_Menu = nullptr;
    QButtonGroup *m_menuGroup = nullptr;
    QPushButton *btn_Info = nullptr;
    QPushButton *btn_Lighting = nullptr;
    QPushButton *btn_Noti = nullptr;
    QPushButton *btn_Setting = nullptr;
    QPushButton *btn_Close = nullptr;
    QPushButton *btn_Min = nullptr;
    QLabel *label_Notice = nullptr;
    QTimer *m_noticeTimer = nullptr;
    Loading_View *m_loading = nullptr;
    Information_View *m_info = nullptr;
    Lighting_View *m_lighting = nullptr;
    Noti_View *m_noti = nullptr;
    Setting_View *m_setting = nullptr;
    WindowEndpoint *m_endpoint = nullptr;

    int m_slotCount = 0;
    int m_memoryCount = 0;
    // Until the base window says otherwise: a window on its own works as the pages need.
    bool m_controlAnswering = true;
    bool m_dragging = false;
    QPoint m_pressPosition;
};

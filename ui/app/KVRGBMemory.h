// The hidden base window of the user interface: the only object that talks to the
// channel library. It polls the shared state, hands it to the main window, relays the
// user's changes to the channel and answers the private window messages.
#pragma once

#include "ControlProgramLauncher.h"
#include "ControlProgramWatch.h"
#include "HWData.h"
#include "LightingChannel.h"

#include <QList>
#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>

class Main_View;
class QTimer;
class QTranslator;
class WindowEndpoint;
class Widget_LocationPolicy;

class KVRGBMemory : public QMainWindow
{
    Q_OBJECT
public:
    // programFolder: where the control program and the channel library are looked for;
    // empty means the folder of this executable.
    explicit KVRGBMemory(const QString &programFolder = QString(), QWidget *parent = nullptr);
    ~KVRGBMemory() override;

    Main_View *mainView() const { return m_mainView; }
    LightingChannel &channel() { return m_channel; }
    Widget_LocationPolicy *locationDialog() const { return m_locationDialog; }
    QTimer *updateTimer() const { return m_updateTimer; }
    QTimer *previewTimer() const { return m_previewTimer; }
    bool firstDataSeen() const { return m_firstDataSeen; }
    // A start of the control program was tried since it last answered.
    bool staleRestartDone() const { return m_watch.startTriedSinceAnswer(); }
    const ControlProgramWatch &controlWatch() const { return m_watch; }
    int loadedLanguage() const { return m_loadedLanguage; }

    // Seconds since the epoch; replaceable so the freshness rule can be exercised.
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }
    // Whether this thread's last channel call reached the shared state; replaceable so
    // that a refused call can be exercised without a stuck lock.
    void setCallCheck(std::function<bool()> check) { m_callCheck = std::move(check); }

    // Installs the catalogue of a language 0..9; anything else, or a catalogue that does
    // not load, leaves the current translation in place.
    bool loadLanguage(int language);

    // Carries out a private window message once it has been answered.
    void handleWindowMessage(quint32 message, quint64 wParam);

    // What the pages show while the channel's data are stale.
    static HWData defaultRecord();
    // The counts as the views may use them (0..8).
    static int clampCount(int count);
    // Slot numbers that are not a permutation of 0..7 become 0..7.
    static void sanitizeSlotNumbers(int (&slotNumbers)[kModuleCount]);

signals:
    void setSystemData(HWData *data);
    void setSystemData1(HWData data);
    void setHWData(HWData data);
    void updatePreview(int module, COLORREF *colours);
    void updatePreviewList(QList<COLORREF *> colours);
    void setRGB(int module, COLORREF *rgb, COLORREF singleRGB, float *bright, float singleBright);
    void setLighting(int module, int lightMode, int colorMode, int lightSpeed, bool turnOff);
    void setSlotNum(int slotCount, int memoryCount);
    void setMemorySlotNumber(int count, int *slotNumbers);
    void setNotiData(NotiEventData data);
    void setProfile(int profile);
    void setSettingData(SettingData data);
    void updateLanguage();
    void updateViewData();
    void setKVModuleType(QStringList parts);

public slots:
    void closeUI();
    void requestUpdateData();
    void requestUpdate_SoftwareRGB();
    void finishEffect(MemoryModuleData *data);
    void changeRGBColor(int slot, COLORREF *rgb, COLORREF single, float *bright, float singleBright);
    void changeLightMode(int slot, int mode, int colorMode, int speed, bool turnOff);
    void requestSetRGB();
    void requestSetLighting();
    void changeMemorySlotNumber(int count, int *slotNumbers);
    void slot_NotiData(NotiEventData data);
    void requestSetSlotNum();
    void requestNotiData();
    void select_Profile(int profile);
    void requestSetProfile();
    void changeSettingData(SettingData data);
    void requestSettingData();
    void LocationWarningCheck(bool allow);

protected:
    void changeEvent(QEvent *event) override;

private:
    static void channelEvent(int event);
    void onChannelEvent(int event);
    void connectMainView();
    void startControlProgram();
    void watchControlProgram(bool stateRead, bool stampFresh);
    // An edit goes to the channel only while the control program answers: otherwise the
    // restarted program would load the saved profile over it.
    bool acceptEdit(const char *operation);
    // Tells the user when the setter just called did not store the change.
    void reportUnappliedWrite(const char *operation, int argument);
    // Passes a getter's value on and notes in read whether it came from the shared state.
    template <typename T>
    T checked(T value, bool &read) const
    {
        read = read && m_callCheck();
        return value;
    }
    // A page is handed only what was read: a stand-in default on show would be sent back
    // as the user's choice by the next Apply. False (and logged) when read is false.
    bool keepsPage(bool read, const char *operation, int module) const;
    void loadLanguageFromChannel();

    std::function<qint64()> m_clock;
    LightingChannel m_channel;
    std::function<bool()> m_callCheck;
    ControlProgramLauncher m_launcher;
    ControlProgramWatch m_watch;
    QString m_controlStatus;
    std::unique_ptr<QTranslator> m_translator;
    int m_loadedLanguage = -1;
    Main_View *m_mainView = nullptr;
    QTimer *m_updateTimer = nullptr;
    QTimer *m_previewTimer = nullptr;
    Widget_LocationPolicy *m_locationDialog = nullptr;
    WindowEndpoint *m_endpoint = nullptr;
    bool m_firstDataSeen = false;
    bool m_languageAnnounced = false;

    // The pages get pointers to these copies, never into the channel's memory.
    COLORREF m_rgb[kModuleCount][kLedSlots]{};
    float m_bright[kModuleCount][kLedSlots]{};
    COLORREF m_preview[kModuleCount][kLedSlots]{};
    int m_slotNumbers[kModuleCount]{};
};

// The control program's hidden main object: owns every component, wires them together,
// keeps the tray icon, and turns channel events into engine, store and hub updates.
#pragma once

#include "ChannelEventBacklog.h"
#include "HWData.h"
#include "HubSyncRecord.h"
#include "KnownState.h"
#include "LightingChannel.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QPointer>
#include <QStringList>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

#include <atomic>
#include <functional>
#include <optional>

class QThread;
class AutoUpdate;
class ComputerVolume;
class GetDeskPixel;
class GetWeatherAndLocation;
class Get_HWInfo;
class Lighting_Control;
class NotificationGuard;
class PowerEvents;
class Profile_RW;
class StoreWriteScheduler;
class WindowEndpoint;
class Widget_Shutdown;
struct WindowRequest;

class KVRGBMemoryControl : public QWidget
{
    Q_OBJECT
public:
    // Binds the channel library found in the program's folder; true when it loaded.
    using ChannelBinder = std::function<bool(LightingChannel &channel, const QString &folder)>;

    // A test may bind the channel its own way (or not at all); by default the library
    // is loaded.
    explicit KVRGBMemoryControl(QWidget *parent = nullptr, ChannelBinder bindChannel = {});
    ~KVRGBMemoryControl() override;

    // The one instance, for the channel's callbacks; null once shutdown has begun.
    static KVRGBMemoryControl *instance() { return s_instance.load(); }

    void changeLanguage(int language);
    void setWeather(bool on);
    void saveProfile();

    // Any thread: a channel event joins the backlog that the main thread works off.
    void queueChannelEvent(ChannelEventBacklog::Kind kind, int argument);
    void queueNotiEvent(const NotiEventData &event);

    // False when the channel library is missing or its shared state could not be
    // reached at start: the program then runs on what it loaded from its files.
    bool hasSharedState() const { return m_sharedState; }

    LightingChannel &channel() { return m_channel; }

    // The delay between a resume and the fan request to the hub; a test may shorten it.
    void setResumeFanDelay(int ms) { m_resumeFan.setInterval(ms); }

    // The user-interface program that showMainView() starts when none runs: by default
    // the one in this program's folder.
    QString userInterfaceProgram() const { return m_uiProgram; }
    void setUserInterfaceProgram(const QString &path) { m_uiProgram = path; }

signals:
    void initInfo();
    void requestUpdateData();
    void setRGB(int module, COLORREF *rgb, float *bright, COLORREF singleRGB, float singleBright, int count);
    void setLightMode(int module, int lightMode, int colorMode, int lightSpeed, bool turnOff);
    void setTurnOff(int module, bool turnOff);
    void sendTemp(int temperature);
    void sendGetWeather();
    void sendGetLocation();
    void setWeatherType(int weatherType);
    void sendSun(int sunrise, int sunset);
    void send_RGB_Sync(int count, COLORREF *colours);
    void setMemorySlotNumber(int module, int slot);
    void writeProfile(int profile, int mode, HWData data);
    void readProfile(int profile, int mode);
    void writeDevice(HWData data);
    void readDevice();
    void getMemoryLedNum();
    void writeErrorLog(QString text);

public slots:
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void sendMessage(HWData data);
    void receiveTemp(int temperature);
    void finishGetComputerData(QStringList lines);
    void update_SoftwareRGB_DLL(int module, COLORREF *colours, int count);
    void slot_ReceiveWeather(int weatherType);
    void slot_ReceiveSun(int sunrise, int sunset);
    void getRGBSync();
    void closeApplication();
    void showMainView();
    void trayIconAction();
    void writeProfileStatus(int profile, bool ok);
    void readProfileStatus(int profile, int mode, HWData data);
    void writeDeviceStatus(bool ok);
    void readDeviceStatus(HWData data);
    void initHStatus(bool ok);
    void Slot_Shutdown(int source);
    void Slot_Shutdown_Cancel(int source);
    void updateAutoInfo();
    void initHWInfoStatus(HWData data);
    void slot_LedNum(int module, int ledNum);
    void updateMapFile_Buf();

private:
    void createStore();
    void createTray();
    void createHardwareReader();
    // The engine, without its frames running; returns the modules found.
    int createLightingEngine();
    void loadChannel(const ChannelBinder &bindChannel);
    void runWithoutSharedState(const QString &reason);
    void scheduleChannelBacklog();
    // Stamps the reader's current readings into the channel; returns them.
    HWData publishReadings();
    void handleChannelBacklog();
    // Channel events, on the main thread, with the channel's record read once for the
    // whole backlog (nothing when it could not be read).
    void onRGBEvent(int module, const std::optional<HWData> &record);
    void onLightModeEvent(int module, const std::optional<HWData> &record);
    void onMemorySlotEvent(const std::optional<HWData> &record);
    void onNotiEvent(const NotiEventData &event, const std::optional<HWData> &record);
    void onProfileEvent(int profile, const std::optional<HWData> &record);
    // The channel's whole record, which also brings the known state up to date;
    // nothing when the channel cannot be read just now.
    std::optional<HWData> readChannelRecord();
    void loadProfile(int profile);
    void saveProfile(const HWData &data);
    void createAudioMeter();
    void createWeatherSource();
    void createScreenSampler();
    void createShutdownDialog();
    void setAutoRunText(bool isAutoRun);
    void retranslateTray();
    qint64 handleWindowMessage(const WindowRequest &message);
    qint64 handleCopyData(const WindowRequest &message);
    void createHubRecord();
    void createPowerEvents();
    void onSuspend();
    void onResume();
    // Finds the modules again and gives them the lighting the channel holds: a module
    // that lost power shows its power-on colours until told otherwise.
    void rediscoverModules();
    void applyLighting(const HWData &record);
    void shutdown();
    // A thread for `worker`, not started yet: startWorkers starts them all once every
    // worker is created and connected.
    static QThread *prepareWorker(QObject *worker, const char *name);
    void startWorkers();

    static std::atomic<KVRGBMemoryControl *> s_instance;

    QString m_appDir; // with a trailing "/"
    QString m_uiProgram;
    LightingChannel m_channel;
    bool m_sharedState = false;
    bool m_channelReadFailing = false; // said once until a read succeeds again
    ChannelEventBacklog m_backlog;
    QTimer m_backlogTimer;
    QElapsedTimer m_lastBacklog; // when the backlog was last worked off
    KnownState m_known;
    Profile_RW *m_store = nullptr;
    StoreWriteScheduler *m_writes = nullptr;
    Get_HWInfo *m_hwInfo = nullptr;
    Lighting_Control *m_lighting = nullptr;
    ComputerVolume *m_volume = nullptr;
    GetDeskPixel *m_deskPixel = nullptr;
    GetWeatherAndLocation *m_weather = nullptr;
    QList<QThread *> m_threads;
    QTimer m_weatherTimer;
    Widget_Shutdown *m_shutdownDialog = nullptr;
    NotificationGuard *m_notiGuard = nullptr;
    AutoUpdate *m_autoUpdate = nullptr;
    QSystemTrayIcon *m_tray = nullptr;
    QMenu *m_trayMenu = nullptr;
    QAction *m_launchAction = nullptr;
    QAction *m_autoRunAction = nullptr;
    QAction *m_exitAction = nullptr;
    QTranslator m_translator;
    QString m_requestedCatalogue;
    WindowEndpoint *m_endpoint = nullptr;
    HubSyncRecord m_hubRecord;
    PowerEvents *m_power = nullptr;
    QTimer m_resumeFan;
    QTimer m_halChanged; // a burst of device-list changes brings one rediscovery
    bool m_currentLocation = false;
    bool m_autoRun = false;
    int m_autoInfoRetries = 10; // while a starting window has no endpoint yet
    int m_lightingProfile = 0; // the profile whose lighting the engine shows
    bool m_shutDown = false;
    const qint64 m_copyDataOut = 10000;
    const qint64 m_copyDataIn = 10001;
};

#include "KVRGBMemoryControl.h"

#include "AutoUpdate.h"
#include "ChannelEvents.h"
#include "ComputerVolume.h"
#include "DebugFlags.h"
#include "DiagnosticLog.h"
#include "GetDeskPixel.h"
#include "GetWeatherAndLocation.h"
#include "Get_HWInfo.h"
#include "LanguageFonts.h"
#include "LightingMetaTypes.h"
#include "Lighting_Control.h"
#include "MessagePresenter.h"
#include "NamedMutex.h"
#include "NotificationGuard.h"
#include "PowerEvents.h"
#include "ProcessTools.h"
#include "Profile_RW.h"
#include "ProgramNames.h"
#include "StoreWriteScheduler.h"
#include "Widget_Shutdown.h"
#include "WindowEndpoint.h"
#include "WindowMessenger.h"

#include <QApplication>
#include <QDateTime>
#include <QDebug>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <future>
#include <memory>
#include <mutex>

std::atomic<KVRGBMemoryControl *> KVRGBMemoryControl::s_instance{nullptr};

namespace {
constexpr int kWeatherIntervalMs = 30 * 60 * 1000;
// Lets an end-to-end test see the weather asked again without waiting half an hour.
constexpr char kWeatherIntervalVariable[] = "VELTRIMA_WEATHER_INTERVAL_MS";
constexpr int kShortestWeatherIntervalMs = 500;
constexpr unsigned long kThreadStopWaitMs = 3000;
constexpr int kScanStopWaitMs = 5000;
// The backlog of channel events is worked off at most this often: a flood then costs
// the main thread a few reads of the channel per frame, however many events it holds.
constexpr int kBacklogSpacingMs = 40;
constexpr quint32 kMsgUpdateData = 0x8111;
constexpr int kMaxCopyDataIn = 64 * 1024;
constexpr int kResumeFanDelayMs = 10000;
// The window that takes the whole record; a hung one must not hold us long.
constexpr int kRecordSendTimeoutMs = 1000;

QString timeNow()
{
    return QDateTime::currentDateTime().toString(Qt::ISODate);
}

bool isModule(int module)
{
    return module >= 0 && module < kModuleCount;
}

int weatherIntervalMs()
{
    bool ok = false;
    const int interval = qEnvironmentVariableIntValue(kWeatherIntervalVariable, &ok);
    if (!ok)
        return kWeatherIntervalMs;
    if (interval < kShortestWeatherIntervalMs || interval > kWeatherIntervalMs) {
        qWarning() << "KVRGBMemoryControl: ignored" << kWeatherIntervalVariable << interval;
        return kWeatherIntervalMs;
    }
    qInfo() << "KVRGBMemoryControl: the weather is asked every" << interval << "ms";
    return interval;
}

// Taken by every worker thread as its last step and by shutdown after QThread::wait():
// that wait synchronises through QMutex, which ThreadSanitizer cannot see, and this lock
// shows it that what a worker wrote is done before its object is deleted.
std::mutex &threadEndLock()
{
    static std::mutex lock;
    return lock;
}
} // namespace

KVRGBMemoryControl::KVRGBMemoryControl(QWidget *parent, ChannelBinder bindChannel)
    : QWidget(parent)
{
    // Debug lines stay off until the store has said whether this is a debug run.
    DiagnosticLog::configure(false);
    // 1
    registerLightingMetaTypes();
    m_appDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    m_uiProgram = m_appDir + QString::fromLatin1(ProgramNames::kUiExecutable);
    setWindowTitle(QStringLiteral("VELTRIMA RGB Control"));
    // The object only exists to own the others: no native window, nothing flashes.
    setAttribute(Qt::WA_DontShowOnScreen);
    s_instance.store(this);
    m_backlogTimer.setSingleShot(true);
    connect(&m_backlogTimer, &QTimer::timeout, this, &KVRGBMemoryControl::handleChannelBacklog);

    m_endpoint = new WindowEndpoint(this);
    m_endpoint->setHandler([this](const WindowRequest &request) { return handleWindowMessage(request); });
    if (!m_endpoint->setTitle(windowTitle()))
        qWarning() << "KVRGBMemoryControl: no window endpoint; window messages will not reach us";

    createStore();                 // 2
    DiagnosticLog::configure(m_store->checkDebugMode()); // 3
    m_requestedCatalogue = QStringLiteral(":/KVRGBMemoryControl/VELTRIMA_en.qm");
    if (m_translator.load(m_requestedCatalogue)) // 4
        QCoreApplication::installTranslator(&m_translator);
    createTray();                  // 5
    createHardwareReader();        // 6
    const int modules = createLightingEngine(); // 7
    loadChannel(bindChannel);      // 8
    // Every frame calls into the channel binding, which loading writes: frames start after it.
    if (modules >= 1)
        m_lighting->startTimers();
    createAudioMeter();            // 9
    createWeatherSource();         // 10
    createScreenSampler();         // 11
    startWorkers();
    createShutdownDialog();        // 12
    setAutoRunText(false);         // 13
    createPowerEvents();
    QTimer::singleShot(3000, this, &KVRGBMemoryControl::updateAutoInfo);

    connect(qApp, &QCoreApplication::aboutToQuit, this, &KVRGBMemoryControl::shutdown);
}

KVRGBMemoryControl::~KVRGBMemoryControl()
{
    shutdown();
}

void KVRGBMemoryControl::createPowerEvents()
{
    m_resumeFan.setSingleShot(true);
    m_resumeFan.setInterval(kResumeFanDelayMs);
    // The setting and the hub are judged when the request goes out, not when it was planned.
    connect(&m_resumeFan, &QTimer::timeout, this, [this] {
        if (!m_shutDown && m_notiGuard)
            m_notiGuard->sendFanSpeedIfOn();
    });
    m_power = new PowerEvents(this);
    connect(m_power, &PowerEvents::suspending, this, &KVRGBMemoryControl::onSuspend);
    connect(m_power, &PowerEvents::resumed, this, &KVRGBMemoryControl::onResume);
}

void KVRGBMemoryControl::onSuspend()
{
    qInfo() << "WM_POWERBROADCAST";
    qInfo() << "PBT_APMSUSPEND" << timeNow();
}

void KVRGBMemoryControl::onResume()
{
    qInfo() << "WM_POWERBROADCAST";
    qInfo() << "PBT_APMRESUMESUSPEND" << timeNow();
    if (m_shutDown)
        return;
    const NotiEventData rules = m_channel.GetNotiEvent();
    if (m_channel.lastCallSucceeded() && rules.fanSpeedOn)
        qInfo() << "Send FanSpeed Command";
    m_resumeFan.start();
    rediscoverModules();
}

void KVRGBMemoryControl::rediscoverModules()
{
    // No frame may reach the HAL while its devices are replaced.
    m_lighting->stopTimers();
    m_lighting->wait();
    const int modules = m_lighting->setupMemory();
    qInfo() << "Memory_Number :" << modules;
    // The LED counts of the modules found now, for the channel and the hub record.
    emit getMemoryLedNum();
    const std::optional<HWData> record = readChannelRecord();
    applyLighting(record ? *record : m_known.record());
    if (modules >= 1)
        m_lighting->startTimers();
}

void KVRGBMemoryControl::applyLighting(const HWData &record)
{
    for (int m = 0; m < kModuleCount; ++m) {
        MemoryModuleData module = record.memoryData[m];
        if (module.lightMode == 16)
            m_lighting->setHelloIndex(m_hubRecord.animationChoice());
        emit setRGB(m, module.rgb, module.bright, module.singleRGB, module.singleBright, kLedSlots);
        emit setLightMode(m, module.lightMode, module.colorMode, module.lightSpeed, module.turnOff);
        emit setTurnOff(m, module.turnOff);
    }
}

void KVRGBMemoryControl::createStore()
{
    m_store = new Profile_RW(this);
    // Writes go through the scheduler, so that a burst of changes costs one write per
    // file and half second.
    m_writes = new StoreWriteScheduler(m_store, StoreWriteScheduler::kDefaultIntervalMs, this);
    connect(this, &KVRGBMemoryControl::writeProfile, m_writes, &StoreWriteScheduler::writeProfile);
    connect(m_store, &Profile_RW::writeProfileStatus, this, &KVRGBMemoryControl::writeProfileStatus);
    connect(this, &KVRGBMemoryControl::readProfile, m_store, &Profile_RW::readProfile);
    connect(m_store, &Profile_RW::readProfileStatus, this, &KVRGBMemoryControl::readProfileStatus);
    connect(this, &KVRGBMemoryControl::writeDevice, m_writes, &StoreWriteScheduler::writeDevice);
    connect(m_store, &Profile_RW::writeDeviceStatus, this, &KVRGBMemoryControl::writeDeviceStatus);
    connect(this, &KVRGBMemoryControl::readDevice, m_store, &Profile_RW::readDevice);
    connect(m_store, &Profile_RW::readDeviceStatus, this, &KVRGBMemoryControl::readDeviceStatus);
    connect(this, &KVRGBMemoryControl::writeErrorLog, m_store, &Profile_RW::writeErrorLog);
}

void KVRGBMemoryControl::createTray()
{
    m_launchAction = new QAction(tr("Launch VELTRIMA"), this);
    m_autoRunAction = new QAction(tr("Open"), this);
    m_exitAction = new QAction(tr("Exit"), this);
    connect(m_launchAction, &QAction::triggered, this, &KVRGBMemoryControl::showMainView);
    connect(m_autoRunAction, &QAction::triggered, this, &KVRGBMemoryControl::trayIconAction);
    connect(m_exitAction, &QAction::triggered, this, &KVRGBMemoryControl::closeApplication);

    m_trayMenu = new QMenu(this);
    m_trayMenu->addAction(m_launchAction);
    m_trayMenu->addAction(m_autoRunAction);
    m_trayMenu->addSeparator();
    m_trayMenu->addAction(m_exitAction);

    m_tray = new QSystemTrayIcon(QIcon(QStringLiteral(":/KVRGBMemoryControl/images/icon.ico")), this);
    m_tray->setToolTip(QStringLiteral("VELTRIMA"));
    m_tray->setContextMenu(m_trayMenu);
    connect(m_tray, &QSystemTrayIcon::activated, this, &KVRGBMemoryControl::onActivated);
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        qInfo() << "KVRGBMemoryControl: no system tray on this desktop; running without an icon";
    m_tray->setVisible(true);
}

QThread *KVRGBMemoryControl::prepareWorker(QObject *worker, const char *name)
{
    auto *thread = new QThread;
    thread->setObjectName(QString::fromLatin1(name));
    worker->moveToThread(thread);
    QObject::connect(thread, &QThread::finished, [] { std::lock_guard<std::mutex> ended(threadEndLock()); });
    return thread;
}

void KVRGBMemoryControl::startWorkers()
{
    // Started only now, so that every object and connection a worker reaches exists
    // before its thread runs; requests queued meanwhile wait in its event queue.
    for (QThread *thread : qAsConst(m_threads))
        thread->start(QThread::InheritPriority);
}

void KVRGBMemoryControl::createHardwareReader()
{
    Get_HWInfo::setMessagePresenter([](const QString &text, const QString &caption) {
        MessagePresenter::show(text, caption, MessagePresenter::Icon::Warning);
    });
    m_hwInfo = new Get_HWInfo;
    m_hwInfo->setDebugModes(DebugFlags::isDebugMode(), DebugFlags::isHWDebugMode());
    m_threads << prepareWorker(m_hwInfo, "hwinfo");
    connect(this, &KVRGBMemoryControl::initInfo, m_hwInfo, &Get_HWInfo::initHWInfo);
    connect(m_hwInfo, &Get_HWInfo::initInfoStatus, this, &KVRGBMemoryControl::initHWInfoStatus);
    connect(m_hwInfo, &Get_HWInfo::sendMessage, this, &KVRGBMemoryControl::sendMessage, Qt::DirectConnection);
    connect(m_hwInfo, &Get_HWInfo::sendTemp, this, &KVRGBMemoryControl::receiveTemp, Qt::DirectConnection);
    connect(this, &KVRGBMemoryControl::requestUpdateData, m_hwInfo, &Get_HWInfo::requestUpdateData,
            Qt::DirectConnection);
    connect(m_hwInfo, &Get_HWInfo::doneScanComputer, this, &KVRGBMemoryControl::finishGetComputerData);
    connect(m_hwInfo, &Get_HWInfo::sendInitStatus, this, &KVRGBMemoryControl::initHStatus);
    connect(m_hwInfo, &Get_HWInfo::writeErrorLog, this, &KVRGBMemoryControl::writeErrorLog);
    emit initInfo();
    setGeometry(300, 100, 100, 100);
}

int KVRGBMemoryControl::createLightingEngine()
{
    if (m_lighting)
        return 0;
    m_lighting = new Lighting_Control(DebugFlags::isDebugMode());
    m_threads << prepareWorker(m_lighting, "lighting");
    // Each frame runs on a thread of its own, joined with wait() like the workers.
    connect(m_lighting, &QThread::finished, [] { std::lock_guard<std::mutex> ended(threadEndLock()); });
    const auto direct = Qt::DirectConnection;
    connect(this, &KVRGBMemoryControl::setRGB, m_lighting,
            qOverload<int, COLORREF *, float *, COLORREF, float, int>(&Lighting_Control::setRGB), direct);
    connect(this, &KVRGBMemoryControl::setLightMode, m_lighting, &Lighting_Control::setLightMode, direct);
    connect(this, &KVRGBMemoryControl::setTurnOff, m_lighting, &Lighting_Control::setTurnOff, direct);
    connect(this, &KVRGBMemoryControl::setMemorySlotNumber, m_lighting, &Lighting_Control::setMemorySlotNumber,
            direct);
    connect(this, &KVRGBMemoryControl::sendTemp, m_lighting, &Lighting_Control::receiveTemp, direct);
    connect(m_lighting, &Lighting_Control::update_SoftwareRGB_DLL, this,
            &KVRGBMemoryControl::update_SoftwareRGB_DLL, direct);
    connect(this, &KVRGBMemoryControl::setWeatherType, m_lighting, &Lighting_Control::slot_SetWeatherType, direct);
    connect(this, &KVRGBMemoryControl::sendSun, m_lighting, &Lighting_Control::slot_ReceiveSun, direct);
    connect(m_lighting, &Lighting_Control::sendLedNum, this, &KVRGBMemoryControl::slot_LedNum, direct);
    connect(this, &KVRGBMemoryControl::getMemoryLedNum, m_lighting, &Lighting_Control::getMemoryLedNum, direct);
    connect(m_lighting, &Lighting_Control::getRGBSync, this, &KVRGBMemoryControl::getRGBSync, direct);
    connect(this, &KVRGBMemoryControl::send_RGB_Sync, m_lighting, &Lighting_Control::receive_RGB_Sync, direct);
    connect(m_lighting, &Lighting_Control::writeErrorLog, this, &KVRGBMemoryControl::writeErrorLog);
    m_halChanged.setSingleShot(true);
    m_halChanged.setInterval(300);
    connect(m_lighting, &Lighting_Control::halDevicesChanged, &m_halChanged, qOverload<>(&QTimer::start),
            Qt::QueuedConnection);
    connect(&m_halChanged, &QTimer::timeout, this, [this] {
        if (m_shutDown)
            return;
        qInfo() << "HAL devices changed: discovering the modules again";
        rediscoverModules();
    });

    const int modules = m_lighting->setupMemory();
    qInfo() << "Memory_Number :" << modules;
    if (DebugFlags::isDebugMode())
        qDebug() << "HAL Get Module Number:" << modules;
    return modules;
}

void KVRGBMemoryControl::loadChannel(const ChannelBinder &bindChannel)
{
    const bool loaded = bindChannel ? bindChannel(m_channel, m_appDir) : m_channel.load(m_appDir);
    if (!loaded) {
        qWarning() << "KVRGBMemoryControl: channel library not loaded:" << m_channel.errorString();
        MessagePresenter::show(QStringLiteral("SharedDll Init Failure"), QStringLiteral("Error"),
                               MessagePresenter::Icon::Warning);
        runWithoutSharedState(QStringLiteral("no channel library"));
        return;
    }
    m_channel.SharedDLL_init();
    const std::optional<HWData> shared = readChannelRecord();
    if (!shared) {
        // The getters would only hand out stand-ins: the modules keep the saved profile.
        MessagePresenter::show(tr("VELTRIMA RGB cannot reach the lighting state of VELTRIMA RGB Control, so "
                                  "changes made in the window will not reach the lights. The lights keep the "
                                  "saved profile. Restart VELTRIMA RGB Control to try again."),
                               QStringLiteral("Error"), MessagePresenter::Icon::Warning);
        runWithoutSharedState(QStringLiteral("the channel's shared state cannot be reached"));
        return;
    }
    m_sharedState = true;
    if (!isFreshTimestamp(shared->dataTimestamp, QDateTime::currentSecsSinceEpoch())) {
        // The store's answers load the saved state into the channel and the engine.
        emit readDevice();
    } else {
        changeLanguage(shared->settingData.language);
        // A quick restart keeps the load warning the store would otherwise have set.
        const NotiEventData &noti = shared->notiEvent;
        m_lighting->setWarningMode(noti.loadingOn, noti.loadingColor, noti.loadingValue);
        m_lightingProfile = shared->selectProfile;
        for (int m = 0; m < kModuleCount; ++m) {
            MemoryModuleData module = shared->memoryData[m];
            emit setRGB(m, module.rgb, module.bright, module.singleRGB, module.singleBright, kDrivenLeds);
            emit setLightMode(m, module.lightMode, module.colorMode, module.lightSpeed, module.turnOff);
            emit setTurnOff(m, module.turnOff);
            emit setMemorySlotNumber(m, module.slotSequence);
        }
    }
    m_currentLocation = m_known.settings().isCurrentLocation;
    m_channel.RegisterReceiveFunc(receiveRGB_Event);
    m_channel.RegisterReceiveLightModeFunc(receiveLightMode_Event);
    m_channel.RegisterReceiveMemorySlotNumber(receiveMemorySlot_Event);
    m_channel.RegisterReceiveNotiEvent(receiveNoti_Event);
    m_channel.RegisterReceiveProfile(receiveProfile_Event);
}

void KVRGBMemoryControl::runWithoutSharedState(const QString &reason)
{
    qWarning().noquote() << "KVRGBMemoryControl:" << reason
                         << "- running on the saved state; the window cannot reach this program's state";
    m_sharedState = false;
    // The files are the only truth this run: the engine gets the saved profile, and
    // the known state keeps it.
    emit readDevice();
    m_currentLocation = m_known.settings().isCurrentLocation;
}

void KVRGBMemoryControl::createAudioMeter()
{
    m_volume = new ComputerVolume;
    m_volume->InitialComputerVolume();
    m_volume->scanAudio();
    m_threads << prepareWorker(m_volume, "audio");
    connect(m_volume, &ComputerVolume::sendVolume, m_lighting, &Lighting_Control::slot_Volume, Qt::DirectConnection);
    connect(m_lighting, &Lighting_Control::GetVolume, m_volume, &ComputerVolume::slot_GetVolume,
            Qt::DirectConnection);
}

void KVRGBMemoryControl::createWeatherSource()
{
    m_weather = new GetWeatherAndLocation;
    QThread *thread = prepareWorker(m_weather, "weather");
    m_threads << thread;
    // The network objects end on their own thread, as the thread's last work.
    GetWeatherAndLocation *weather = m_weather;
    connect(thread, &QThread::finished, weather, [weather] {
        weather->stop();
        std::lock_guard<std::mutex> ended(threadEndLock());
    }, Qt::DirectConnection);
    connect(this, &KVRGBMemoryControl::sendGetWeather, m_weather, &GetWeatherAndLocation::getWeather);
    connect(this, &KVRGBMemoryControl::sendGetLocation, m_weather, &GetWeatherAndLocation::getLocation);
    connect(m_weather, &GetWeatherAndLocation::sendWeather, this, &KVRGBMemoryControl::slot_ReceiveWeather);
    connect(m_weather, &GetWeatherAndLocation::sendSun, this, &KVRGBMemoryControl::slot_ReceiveSun);
    m_weatherTimer.setInterval(weatherIntervalMs());
    connect(&m_weatherTimer, &QTimer::timeout, this, &KVRGBMemoryControl::sendGetWeather);
    setWeather(m_currentLocation);
}

void KVRGBMemoryControl::createScreenSampler()
{
    m_deskPixel = new GetDeskPixel;
    m_threads << prepareWorker(m_deskPixel, "screen");
    // Direct, so that the sampler can drop a request while another still waits.
    connect(m_lighting, &Lighting_Control::getDeskPixelRGB, m_deskPixel, &GetDeskPixel::getDeskPixelRGB,
            Qt::DirectConnection);
    connect(m_deskPixel, &GetDeskPixel::sendDeskPixelRGB, m_lighting, &Lighting_Control::returnDesktopPixelRGB);
}

void KVRGBMemoryControl::createShutdownDialog()
{
    m_shutdownDialog = new Widget_Shutdown;
    m_shutdownDialog->hide();
    connect(m_shutdownDialog, &Widget_Shutdown::Signal_Shutdown, this, &KVRGBMemoryControl::Slot_Shutdown);
    connect(m_shutdownDialog, &Widget_Shutdown::Signal_Shutdown_Cancel, this,
            &KVRGBMemoryControl::Slot_Shutdown_Cancel);
    m_notiGuard = new NotificationGuard(m_channel, m_shutdownDialog, this);
    connect(m_notiGuard, &NotificationGuard::writeDevice, this, &KVRGBMemoryControl::writeDevice);
    connect(m_notiGuard, &NotificationGuard::writeErrorLog, this, &KVRGBMemoryControl::writeErrorLog);
}

void KVRGBMemoryControl::retranslateTray()
{
    m_launchAction->setText(tr("Launch VELTRIMA"));
    m_exitAction->setText(tr("Exit"));
    setAutoRunText(m_autoRun);
}

void KVRGBMemoryControl::setAutoRunText(bool isAutoRun)
{
    m_autoRun = isAutoRun;
    const QString box = isAutoRun ? QStringLiteral("\u25A0") : QStringLiteral("\u25A1");
    m_autoRunAction->setText(box + QLatin1Char(' ') + tr("Run VELTRIMA RGB Program when Windows starts"));
}

void KVRGBMemoryControl::changeLanguage(int language)
{
    const char *code = languageCode(language);
    if (!code)
        return;
    const QString file = QStringLiteral(":/KVRGBMemoryControl/VELTRIMA_%1.qm").arg(QLatin1String(code));
    // Every settings event names the language; only a new one costs anything.
    if (file == m_requestedCatalogue)
        return;
    m_requestedCatalogue = file;
    // Loading discards what a translator held, so a missing catalogue is tried aside
    // and the texts in use stay.
    QTranslator probe;
    if (!probe.load(file)) {
        qWarning() << "KVRGBMemoryControl: no translation" << file;
        return;
    }
    QCoreApplication::removeTranslator(&m_translator);
    m_translator.load(file);
    QCoreApplication::installTranslator(&m_translator);
    LanguageFonts::use(language);
    retranslateTray();
}

void KVRGBMemoryControl::setWeather(bool on)
{
    if (on) {
        emit sendGetLocation();
        m_weatherTimer.start();
        emit sendGetWeather();
        return;
    }
    if (m_weatherTimer.isActive())
        m_weatherTimer.stop();
    emit setWeatherType(0);
}

void KVRGBMemoryControl::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    // Status-notifier trays never report a double click, so a plain click opens too.
    if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger)
        showMainView();
}

void KVRGBMemoryControl::showMainView()
{
    if (!NamedMutex::probe(QString::fromLatin1(ProgramNames::kUiMutex))) {
        if (!ProcessTools::startDetached(m_uiProgram, {}, m_appDir))
            MessagePresenter::show(QStringLiteral("Can not find VELTRIMA RGB.exe"), QStringLiteral("ERROR"),
                                   MessagePresenter::Icon::Information);
        return;
    }
    WindowMessenger::sendMessage(QString::fromLatin1(ProgramNames::kMainViewTitle), ProgramNames::kMsgShow, 1, 1);
}

void KVRGBMemoryControl::closeApplication()
{
    if (NamedMutex::probe(QString::fromLatin1(ProgramNames::kUiMutex)))
        WindowMessenger::sendMessage(QString::fromLatin1(ProgramNames::kMainViewTitle), ProgramNames::kMsgQuit, 1, 1);
    QCoreApplication::quit();
}

void KVRGBMemoryControl::trayIconAction()
{
    if (!m_sharedState) {
        // Nobody else sees our state this run; the saved files are the truth.
        SettingData settings = m_known.settings();
        settings.isAutoRun = !settings.isAutoRun;
        m_known.setSettings(settings);
        setAutoRunText(settings.isAutoRun);
        emit writeDevice(m_known.record());
        return;
    }
    const std::optional<HWData> before = readChannelRecord();
    if (!before) {
        qWarning() << "KVRGBMemoryControl: the autorun setting was not changed: the channel cannot be read";
        return;
    }
    SettingData settings = before->settingData;
    settings.isAutoRun = !settings.isAutoRun;
    m_channel.SetSettingValue(settings.pack());
    if (!m_channel.lastCallSucceeded()) {
        qWarning() << "KVRGBMemoryControl: the autorun setting was not changed: the channel refused it";
        return;
    }
    setAutoRunText(settings.isAutoRun);
    m_known.setSettings(settings);
    const std::optional<HWData> after = readChannelRecord();
    emit writeDevice(after ? *after : m_known.record());
    m_channel.Refresh_View();
}

void KVRGBMemoryControl::updateAutoInfo()
{
    if (m_shutDown)
        return;
    SettingData settings = m_known.settings();
    if (m_sharedState) {
        const SettingData shared = SettingData::unpack(m_channel.GetSettingValue());
        if (m_channel.lastCallSucceeded())
            settings = shared;
    }
    if (settings.isAutoUpdate && !m_autoUpdate) {
        m_autoUpdate = new AutoUpdate;
        m_autoUpdate->setLanguageSource([this] { return SettingData::unpack(m_channel.GetSettingValue()).language; });
        m_autoUpdate->setupVersion(QStringLiteral("1.0.2"));
        m_autoUpdate->getVersion();
    }
    setAutoRunText(settings.isAutoRun);
    if (WindowMessenger::findWindow(QString::fromLatin1(ProgramNames::kMainViewTitle)).isValid()) {
        WindowMessenger::sendMessage(QString::fromLatin1(ProgramNames::kMainViewTitle), ProgramNames::kMsgAutoRunQuit,
                                     settings.isAutoRun ? 1 : 0, 1);
    } else if (m_autoInfoRetries > 0 && NamedMutex::probe(QString::fromLatin1(ProgramNames::kUiMutex))) {
        // The window that started us at log-on may still be building itself.
        --m_autoInfoRetries;
        QTimer::singleShot(1000, this, &KVRGBMemoryControl::updateAutoInfo);
    }
}

qint64 KVRGBMemoryControl::handleWindowMessage(const WindowRequest &message)
{
    if (message.isCopyData())
        return handleCopyData(message);
    if (message.message == kMsgUpdateData) {
        qDebug() << "KVRGBMemoryControl::0x8111";
        // Sent after our reply: a peer that waits for the reply while we wait on its
        // copy-data window would deadlock both.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!m_shutDown)
                    emit requestUpdateData();
            },
            Qt::QueuedConnection);
        return 0;
    }
    if (message.message == ProgramNames::kMsgQuit) {
        qDebug() << "KVRGBMemoryControl::0x8301";
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        return 1;
    }
    return 0;
}

qint64 KVRGBMemoryControl::handleCopyData(const WindowRequest &message)
{
    qDebug() << "aaa";
    if (message.copyData.size() > kMaxCopyDataIn) {
        qWarning() << "KVRGBMemoryControl: copy-data of" << message.copyData.size() << "bytes refused";
        return 0;
    }
    if (message.copyDataType != quint64(m_copyDataIn))
        return 0;
    qDebug() << "WM_COPYDATA = CUSTOM_TYPE_RGB" << message.copyData.size();
    return 1;
}

// Channel events ------------------------------------------------------------------

void KVRGBMemoryControl::queueChannelEvent(ChannelEventBacklog::Kind kind, int argument)
{
    if (m_backlog.add(kind, argument))
        QMetaObject::invokeMethod(this, &KVRGBMemoryControl::scheduleChannelBacklog, Qt::QueuedConnection);
}

void KVRGBMemoryControl::queueNotiEvent(const NotiEventData &event)
{
    if (m_backlog.addNoti(event))
        QMetaObject::invokeMethod(this, &KVRGBMemoryControl::scheduleChannelBacklog, Qt::QueuedConnection);
}

void KVRGBMemoryControl::scheduleChannelBacklog()
{
    if (m_backlogTimer.isActive())
        return;
    const qint64 wait = m_lastBacklog.isValid() ? kBacklogSpacingMs - m_lastBacklog.elapsed() : 0;
    if (wait > 0)
        m_backlogTimer.start(int(wait));
    else
        handleChannelBacklog();
}

void KVRGBMemoryControl::handleChannelBacklog()
{
    using Kind = ChannelEventBacklog::Kind;
    m_lastBacklog.start();
    const std::vector<ChannelEventBacklog::Entry> entries = m_backlog.take();
    if (entries.empty() || m_shutDown)
        return;
    std::optional<HWData> record = readChannelRecord();
    for (const ChannelEventBacklog::Entry &entry : entries) {
        if (m_shutDown)
            return;
        switch (entry.kind) {
        case Kind::Rgb: onRGBEvent(entry.argument, record); break;
        case Kind::LightMode: onLightModeEvent(entry.argument, record); break;
        case Kind::MemorySlot: onMemorySlotEvent(record); break;
        case Kind::Noti: onNotiEvent(entry.noti, record); break;
        case Kind::Profile:
            onProfileEvent(entry.argument, record);
            record = readChannelRecord(); // the profile's lighting is in the channel now
            break;
        }
    }
}

std::optional<HWData> KVRGBMemoryControl::readChannelRecord()
{
    const HWData record = m_channel.GetValueHWData();
    if (!m_channel.lastCallSucceeded()) {
        if (!m_channelReadFailing)
            qWarning() << "KVRGBMemoryControl: the channel cannot be read; nothing is saved from it until it can";
        m_channelReadFailing = true;
        return std::nullopt;
    }
    if (m_channelReadFailing)
        qInfo() << "KVRGBMemoryControl: the channel can be read again";
    m_channelReadFailing = false;
    m_known.takeChannel(record);
    return record;
}

void KVRGBMemoryControl::onRGBEvent(int module, const std::optional<HWData> &record)
{
    qDebug() << "receiveRGB_Event:" << module;
    if (!isModule(module) || !record)
        return;
    MemoryModuleData data = record->memoryData[module];
    m_hubRecord.writeColours(module, data);
    emit setRGB(module, data.rgb, data.bright, data.singleRGB, data.singleBright, kDrivenLeds);
}

void KVRGBMemoryControl::onLightModeEvent(int module, const std::optional<HWData> &record)
{
    qDebug() << "receiveLightMode_Event" << module;
    if (!isModule(module) || !record)
        return;
    const MemoryModuleData &data = record->memoryData[module];
    m_hubRecord.writeLighting(module, data);
    if (data.lightMode == 16)
        m_lighting->setHelloIndex(m_hubRecord.animationChoice());
    emit setLightMode(module, data.lightMode, data.colorMode, data.lightSpeed, data.turnOff);
    if (data.lightMode != 35 && data.lightMode != 20)
        saveProfile(*record);
}

void KVRGBMemoryControl::onMemorySlotEvent(const std::optional<HWData> &record)
{
    if (!record)
        return;
    qDebug() << "receiveMemorySlot_Event" << record->memoryData[0].slotSequence << record->memoryData[1].slotSequence
             << record->memoryData[2].slotSequence << record->memoryData[3].slotSequence;
    for (int m = 0; m < kModuleCount; ++m) {
        emit setMemorySlotNumber(m, record->memoryData[m].slotSequence);
        m_hubRecord.writeSlot(m, record->memoryData[m].slotSequence);
    }
    for (int m = 0; m < kModuleCount; ++m)
        qDebug() << "hwData--" << m << "--" << record->memoryData[m].memorySlot << record->memoryData[m].slotSequence;
    qDebug() << "hwData.selectProfile--" << record->selectProfile;
    emit writeDevice(*record);
}

void KVRGBMemoryControl::onNotiEvent(const NotiEventData &event, const std::optional<HWData> &record)
{
    if (m_shutDown)
        return;
    if (event.type == NotiLoading)
        m_lighting->setWarningMode(event.loadingOn, event.loadingColor, event.loadingValue);
    if (m_notiGuard)
        m_notiGuard->onNotiEvent(event);
    if (!record)
        return;
    if (event.type == NotiSettings) {
        const SettingData &settings = record->settingData;
        changeLanguage(settings.language);
        setAutoRunText(settings.isAutoRun);
        qDebug() << "isCurrentLocation" << settings.isCurrentLocation;
        // Applied only when it changes: each application asks the web services again.
        if (settings.isCurrentLocation != m_currentLocation) {
            m_currentLocation = settings.isCurrentLocation;
            setWeather(m_currentLocation);
        }
    }
    emit writeDevice(*record);
}

void KVRGBMemoryControl::onProfileEvent(int profile, const std::optional<HWData> &record)
{
    qDebug() << "receivePProfile_Event" << profile;
    const bool exists = Profile_RW::isValidProfile(profile);
    if (exists)
        m_hubRecord.writeProfile(profile);
    if (record) {
        emit writeDevice(*record);
    } else if (exists) {
        // The event itself names the profile; everything else is what we already know.
        m_known.setSelectedProfile(profile);
        emit writeDevice(m_known.record());
    }
    if (!exists) {
        qWarning() << "KVRGBMemoryControl: profile" << profile << "does not exist; not loaded";
        return;
    }
    loadProfile(profile);
}

void KVRGBMemoryControl::loadProfile(int profile)
{
    // A save of that profile still waiting would otherwise be read back as it was.
    m_writes->flushProfile(profile);
    emit readProfile(profile, 0);
}

void KVRGBMemoryControl::saveProfile()
{
    if (const std::optional<HWData> record = readChannelRecord())
        saveProfile(*record);
}

void KVRGBMemoryControl::saveProfile(const HWData &data)
{
    for (int m = 0; m < kModuleCount; ++m)
        qDebug() << "Color Mode" << data.memoryData[m].lightMode << data.memoryData[m].colorMode;
    // The profile whose lighting we hold, not the channel's choice of the moment: a
    // mode change handled after the user picked another profile must not land there.
    emit writeProfile(m_lightingProfile, 0, data);
}

void KVRGBMemoryControl::readDeviceStatus(HWData data)
{
    if (m_shutDown)
        return;
    const NotiEventData &noti = data.notiEvent;
    qDebug() << "KVRGBMemoryControl::switch_Loading" << noti.loadingOn;
    qDebug() << "KVRGBMemoryControl::switch_Shutdown_Memory" << noti.shutdownMemoryOn;
    qDebug() << "KVRGBMemoryControl::switch_Shutdown_CPU" << noti.shutdownCPUOn;
    qDebug() << "KVRGBMemoryControl::switch_FanSpeed" << noti.fanSpeedOn;
    qDebug() << "KVRGBMemoryControl::fanSpeed_Value" << noti.fanSpeedValue;

    m_known.takeDevice(data);
    changeLanguage(data.settingData.language);
    m_channel.SetProfile(data.selectProfile);
    m_channel.SetNotiEvent(data.notiEvent);
    m_channel.SetSettingValue(data.settingData.pack());
    m_lighting->setWarningMode(noti.loadingOn, noti.loadingColor, noti.loadingValue);

    int slotNumbers[kModuleCount];
    for (int m = 0; m < kModuleCount; ++m)
        slotNumbers[m] = data.memoryData[m].slotSequence;
    m_channel.SetSlotNumber(kModuleCount, slotNumbers);
    for (int m = 0; m < kModuleCount; ++m) {
        qDebug() << "GetValueMemorySlotNumber{" << m << "):" << m_channel.GetValueMemorySlotNumber(m);
        // Our own changes do not come back through the channel, so the engine hears them
        // here, from the file: the channel may be out of reach.
        emit setMemorySlotNumber(m, data.memoryData[m].slotSequence);
    }

    loadProfile(data.selectProfile);
    qDebug() << "hwData.selectProfile = " << data.selectProfile;
}

void KVRGBMemoryControl::readProfileStatus(int profile, int, HWData data)
{
    m_known.takeProfile(data);
    for (int m = 0; m < kModuleCount; ++m) {
        MemoryModuleData &module = data.memoryData[m];
        m_channel.SetValueRGB(m, module.rgb, module.bright, module.singleRGB, module.singleBright, kLedSlots);
        m_channel.SetValueLighting(m, module.lightMode, module.colorMode, module.lightSpeed, module.turnOff);
        // The channel does not echo our own changes, so the engine is told directly.
        if (module.lightMode == 16)
            m_lighting->setHelloIndex(m_hubRecord.animationChoice());
        emit setRGB(m, module.rgb, module.bright, module.singleRGB, module.singleBright, kLedSlots);
        emit setLightMode(m, module.lightMode, module.colorMode, module.lightSpeed, module.turnOff);
        emit setTurnOff(m, module.turnOff);
    }
    m_lightingProfile = profile;
    updateMapFile_Buf();
    m_channel.Refresh_View();
}

void KVRGBMemoryControl::updateMapFile_Buf()
{
    qDebug() << "KVRGBMemoryControl::updateMapFile_Buf()" << m_hubRecord.isOpen();
    if (!m_hubRecord.isOpen())
        return;
    qDebug() << "11111";
    const HWData record = m_known.record();
    for (int m = 0; m < kModuleCount; ++m) {
        const MemoryModuleData &module = record.memoryData[m];
        m_hubRecord.writeColours(m, module);
        for (int i = 0; i < HubSyncRecord::kMirroredLeds; ++i) {
            qDebug() << "VELTRIMA_MapFile_Buf->R[" << m << "][" << i << "]:" << (module.rgb[i] & 0xFF);
            qDebug() << "VELTRIMA_MapFile_Buf->G[" << m << "][" << i << "]:" << ((module.rgb[i] >> 8) & 0xFF);
            qDebug() << "VELTRIMA_MapFile_Buf->B[" << m << "][" << i << "]:" << ((module.rgb[i] >> 16) & 0xFF);
        }
        m_hubRecord.writeLighting(m, module);
        m_hubRecord.writeSlot(m, module.slotSequence);
    }
    m_hubRecord.writeProfile(m_lightingProfile);
}

void KVRGBMemoryControl::writeProfileStatus(int profile, bool ok)
{
    qDebug() << "KVRGBMemoryControl::writeProfileStatus" << profile << ok;
}

void KVRGBMemoryControl::writeDeviceStatus(bool ok)
{
    qDebug() << "KVRGBMemoryControl::writeDeviceStatus" << ok;
}

void KVRGBMemoryControl::slot_LedNum(int module, int ledNum)
{
    if (m_shutDown || !isModule(module))
        return;
    m_hwInfo->slot_LedNum(module, ledNum);
    // Handing a stand-in record back to the channel would overwrite its readings.
    m_hubRecord.writeLedCount(module, ledNum);
    // A module no longer found must show 0 LEDs, which only the dedicated call can store.
    if (!m_channel.setLedNum(module, ledNum)) {
        if (std::optional<HWData> data = readChannelRecord()) {
            data->memoryData[module].ledNum = ledNum;
            m_channel.SetValueHWData(&*data);
        }
    }
    if (DebugFlags::isDebugMode())
        qDebug() << "Get Module Led Num[" << module << "]:" << ledNum;
}

void KVRGBMemoryControl::initHWInfoStatus(HWData data)
{
    qDebug() << "KVRGBMemoryControl::initHWInfoStatus.chipset:" << QByteArray(data.chipset, int(textLength(data.chipset)));
    if (!DebugFlags::isDebugMode())
        return;
    qDebug() << "HW Init Success";
    int found = 0;
    for (const MemoryModuleData &module : data.memoryData) {
        if (QByteArray(module.manufacturer, int(textLength(module.manufacturer))).contains("Vandercrest"))
            ++found;
    }
    qDebug() << "Find KV Module:" << found;
}

void KVRGBMemoryControl::initHStatus(bool ok)
{
    emit getMemoryLedNum();
    qDebug() << "KVRGBMemoryControl::initHStatus:" << ok;
    if (!ok) {
        // The window takes a stale stamp for a control program that does not answer and
        // refuses edits; while the sensors fail, each retry still stamps the readings we
        // have (none), so the lighting stays editable.
        publishReadings();
        QTimer::singleShot(5000, this, &KVRGBMemoryControl::initInfo);
        return;
    }
    createHubRecord();
}

void KVRGBMemoryControl::createHubRecord()
{
    if (m_hubRecord.isOpen() || m_shutDown)
        return;
    if (!m_hubRecord.open(HubSyncRecord::defaultPath()))
        return; // logged; the program runs on without the hub record
    const std::optional<HWData> channel = readChannelRecord();
    HWData record = channel ? *channel : m_known.record();
    // The LED counts are the engine's, whatever the channel held before it reported them.
    const EngineState engine = m_lighting->state();
    for (int m = 0; m < kModuleCount; ++m)
        record.memoryData[m].ledNum = engine.memoryData[m].ledNum;
    m_hubRecord.fill(record, m_hwInfo->snapshot().memoryCount, m_lightingProfile);
}

// Sensor results -----------------------------------------------------------------

void KVRGBMemoryControl::finishGetComputerData(QStringList)
{
    if (m_shutDown)
        return;
    const HWData reader = publishReadings();

    // A reading far outside -1..100 (or not a number) would make the truncation undefined.
    const double load = reader.physicalMemoryLoad;
    m_lighting->setMemoryLoad(std::isfinite(load) ? int(std::clamp(load, -1.0, 100.0)) : 0);
    if (m_notiGuard)
        m_notiGuard->checkScan(reader);
}

HWData KVRGBMemoryControl::publishReadings()
{
    const HWData reader = m_hwInfo->snapshot();
    // A new record with only the reader's readings: chipset and the LED counts keep
    // their construction values, so the channel keeps the counts it has.
    HWData fresh = makeZeroHWData();
    fresh.copyReaderReadings(reader);
    m_channel.SetValueHWData(&fresh);
    return reader;
}

void KVRGBMemoryControl::sendMessage(HWData data)
{
    const QByteArray bytes(reinterpret_cast<const char *>(&data), int(sizeof data));
    for (const qint64 pid : ProcessTools::findProcesses(QStringLiteral("KV RGB Memory.exe"), ProcessTools::Owner::CurrentUser)) {
        qDebug() << "entry.th32ProcessID = " << pid;
        const QList<WindowMessenger::Window> windows = WindowMessenger::windowsOfProcess(pid);
        if (windows.isEmpty())
            continue;
        const WindowMessenger::Window &window = windows.first();
        WindowMessenger::sendCopyData(window, quint64(QCoreApplication::applicationPid()), quint64(m_copyDataOut),
                                      bytes, kRecordSendTimeoutMs);
        qDebug() << "Send Data" << window.socketPath;
    }
}

void KVRGBMemoryControl::receiveTemp(int temperature)
{
    emit sendTemp(temperature);
}

void KVRGBMemoryControl::update_SoftwareRGB_DLL(int module, COLORREF *colours, int count)
{
    m_channel.SetValueSoftwareRGB(module, colours, count);
}

void KVRGBMemoryControl::slot_ReceiveWeather(int weatherType)
{
    // An answer that was on its way when the feature was switched off must not light
    // the sky again.
    if (m_shutDown || !m_currentLocation) {
        qDebug() << "KVRGBMemoryControl: weather" << weatherType << "came after the location was switched off; dropped";
        return;
    }
    emit setWeatherType(weatherType);
}

void KVRGBMemoryControl::slot_ReceiveSun(int sunrise, int sunset)
{
    emit sendSun(sunrise, sunset);
}

void KVRGBMemoryControl::getRGBSync()
{
    emit send_RGB_Sync(kDrivenLeds, m_channel.GetValueSyncRGB(kDrivenLeds));
}

void KVRGBMemoryControl::Slot_Shutdown(int source)
{
    qDebug() << "KVRGBMemoryControl::Slot_Shutdown()";
    if (!m_shutDown)
        m_notiGuard->shutdown(source);
}

void KVRGBMemoryControl::Slot_Shutdown_Cancel(int source)
{
    qDebug() << "KVRGBMemoryControl::Slot_Shutdown_Cancel()";
    if (!m_shutDown)
        m_notiGuard->cancel(source);
}

// Exit ---------------------------------------------------------------------------

void KVRGBMemoryControl::shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    // No channel event may reach us from here on.
    s_instance.store(nullptr);
    m_channel.shutdown();
    // What waits for its turn is written now: an exit loses no change.
    m_writes->flush();
    m_weatherTimer.stop();
    m_resumeFan.stop();
    if (m_lighting) {
        m_lighting->stopTimers();
        m_lighting->wait(); // a frame under way; threadEndLock() below hands over its writes
    }
    if (m_hwInfo) {
        // Waits for a scan under way, but not for ever: a hung sensor library must not
        // keep the program from ending.
        Get_HWInfo *reader = m_hwInfo;
        auto stopped = std::make_shared<std::promise<void>>();
        std::future<void> done = stopped->get_future();
        QMetaObject::invokeMethod(
            reader,
            [reader, stopped] {
                reader->stopScans();
                stopped->set_value();
            },
            Qt::QueuedConnection);
        if (done.wait_for(std::chrono::milliseconds(kScanStopWaitMs)) != std::future_status::ready)
            qWarning() << "KVRGBMemoryControl: the hardware scan did not stop in time";
    }
    for (QThread *thread : qAsConst(m_threads))
        thread->quit();
    for (QThread *thread : qAsConst(m_threads)) {
        if (!thread->wait(kThreadStopWaitMs))
            qWarning() << "KVRGBMemoryControl: thread" << thread->objectName() << "did not stop in time";
    }
    { std::lock_guard<std::mutex> ended(threadEndLock()); }

    // A worker whose thread still runs is left alone: deleting it, or its thread, under
    // the running thread would crash the exit.
    const auto release = [](auto *&worker) {
        if (worker && !worker->thread()->isRunning())
            delete worker;
        worker = nullptr;
    };
    release(m_lighting); // hands every module to the HAL's own effect
    release(m_hwInfo);   // the sensor library's shutdown runs after its scans stopped
    release(m_volume);
    release(m_deskPixel);
    release(m_weather);
    for (QThread *thread : qAsConst(m_threads)) {
        if (!thread->isRunning())
            delete thread;
    }
    m_threads.clear();
    delete m_notiGuard;
    m_notiGuard = nullptr;
    delete m_shutdownDialog;
    m_shutdownDialog = nullptr;
    delete m_autoUpdate;
    m_autoUpdate = nullptr;
    m_hubRecord.close();
    // Results the workers queued for us before they stopped have nobody left to act on.
    QCoreApplication::removePostedEvents(this);
}

#include "KVRGBMemory.h"

#include "Main_View.h"
#include "ProgramNames.h"
#include "ProgramState.h"
#include "UiResources.h"
#include "Widget_LocationPolicy.h"

#include "LanguageFonts.h"
#include "LightingMetaTypes.h"
#include "MessagePresenter.h"
#include "WindowEndpoint.h"

#include <QApplication>
#include <QDateTime>
#include <QDebug>
#include <QEvent>
#include <QLoggingCategory>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <mutex>

namespace {
// The two polls run every second and every 40 ms: their lines are written only when this
// category is switched on (QT_LOGGING_RULES="veltrima.ui.poll.debug=true").
Q_LOGGING_CATEGORY(lcPoll, "veltrima.ui.poll", QtInfoMsg)

constexpr int kUpdateIntervalMs = 1000;
constexpr int kPreviewIntervalMs = 40;
constexpr int kUiLedCount = 5;
constexpr int kProfileCount = 5;
constexpr int kClockLightMode = 31;
constexpr int kPartNumberBound = kTextSize;

// The channel calls back on a thread of its own; the object may be going away meanwhile.
std::mutex s_instanceMutex;
KVRGBMemory *s_instance = nullptr;

const COLORREF *defaultColours()
{
    static const HWData record = KVRGBMemory::defaultRecord();
    return record.memoryData[0].rgb;
}

QString partNumberOf(const MemoryModuleData &module)
{
    const std::size_t length = std::min<std::size_t>(textLength(module.partNumber), kPartNumberBound);
    return QString::fromLatin1(module.partNumber, int(length));
}
} // namespace

KVRGBMemory::KVRGBMemory(const QString &programFolder, QWidget *parent)
    : QMainWindow(parent)
    , m_clock([] { return QDateTime::currentSecsSinceEpoch(); })
    , m_callCheck([this] { return m_channel.lastCallSucceeded(); })
    , m_launcher(programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder)
{
    initUiResources();
    registerLightingMetaTypes();
    for (int m = 0; m < kModuleCount; ++m)
        m_slotNumbers[m] = m;

    loadLanguage(LanguageEnglish);

    // The base window only receives messages and owns the timers; it never appears.
    setAttribute(Qt::WA_DontShowOnScreen);
    setGeometry(0, 0, 0, 0);
    hide();
    setWindowTitle(QString::fromLatin1(ProgramNames::kBaseWindowInitialTitle));
    m_endpoint = new WindowEndpoint(this);
    m_endpoint->setHandler([](const WindowRequest &) { return qint64(0); });
    connect(m_endpoint, &WindowEndpoint::messageReceived, this,
            [this](const WindowRequest &request, qint64) { handleWindowMessage(request.message, request.wParam); });
    m_endpoint->setTitle(windowTitle());

    startControlProgram();

    if (m_channel.load(m_launcher.folder())) {
        m_channel.SharedDLL_init();
        {
            std::lock_guard<std::mutex> lock(s_instanceMutex);
            s_instance = this;
        }
        m_channel.RegisterUIEventLightModeFunc(&KVRGBMemory::channelEvent);
        for (int i = 0; i < kModuleCount; ++i)
            qDebug() << "KVRGBMemory: slot number of module" << i << m_channel.GetValueMemorySlotNumber(i);
    } else {
        qWarning() << "KVRGBMemory: channel library not loaded:" << m_channel.errorString();
        MessagePresenter::show(QStringLiteral("SharedDll Init Failure"), QStringLiteral("Error"),
                               MessagePresenter::Icon::Warning);
    }

    m_mainView = new Main_View();
    m_mainView->show();
    connectMainView();
    m_mainView->showControlStatus(false, m_watch.statusText());

    m_updateTimer = new QTimer(this);
    m_updateTimer->setInterval(kUpdateIntervalMs);
    connect(m_updateTimer, &QTimer::timeout, this, &KVRGBMemory::requestUpdateData);
    m_previewTimer = new QTimer(this);
    m_previewTimer->setInterval(kPreviewIntervalMs);
    connect(m_previewTimer, &QTimer::timeout, this, &KVRGBMemory::requestUpdate_SoftwareRGB);
    m_updateTimer->start();
    m_previewTimer->start();

    m_locationDialog = new Widget_LocationPolicy();
    m_locationDialog->hide();
    connect(m_locationDialog, &Widget_LocationPolicy::sendPushOK, this, &KVRGBMemory::LocationWarningCheck);
}

KVRGBMemory::~KVRGBMemory()
{
    {
        std::lock_guard<std::mutex> lock(s_instanceMutex);
        if (s_instance == this)
            s_instance = nullptr;
    }
    delete m_locationDialog;
    delete m_mainView;
}

void KVRGBMemory::connectMainView()
{
    Main_View *v = m_mainView;
    const auto direct = Qt::DirectConnection;
    connect(this, &KVRGBMemory::setSystemData, v, &Main_View::setSystemData, direct);
    connect(this, &KVRGBMemory::setSystemData1, v, &Main_View::setSystemData1, direct);
    connect(this, &KVRGBMemory::setHWData, v, &Main_View::setHWData, direct);
    connect(this, &KVRGBMemory::setRGB, v, &Main_View::setRGB, direct);
    connect(this, &KVRGBMemory::setLighting, v, &Main_View::setLighting, direct);
    connect(this, &KVRGBMemory::setMemorySlotNumber, v, &Main_View::setMemorySlotNumber, direct);
    connect(this, &KVRGBMemory::setProfile, v, &Main_View::setProfile, direct);
    connect(this, &KVRGBMemory::setNotiData, v, &Main_View::setNotiData, direct);
    connect(this, &KVRGBMemory::setSettingData, v, &Main_View::setSettingData, direct);
    connect(this, &KVRGBMemory::updatePreview, v, &Main_View::updatePreview, direct);
    connect(this, &KVRGBMemory::updatePreviewList, v, &Main_View::updatePreviewList, direct);
    connect(this, &KVRGBMemory::setSlotNum, v, &Main_View::setSlotNumber, direct);
    connect(this, &KVRGBMemory::setKVModuleType, v, &Main_View::setKVModuleType, direct);
    connect(this, &KVRGBMemory::updateLanguage, v, &Main_View::updateLanguage_MainView, direct);
    connect(this, &KVRGBMemory::updateViewData, v, &Main_View::updateViewData, direct);

    connect(v, &Main_View::slot_Close, this, &KVRGBMemory::closeUI);
    connect(v, &Main_View::changeColor, this, &KVRGBMemory::changeRGBColor, direct);
    connect(v, &Main_View::changeLightMode, this, &KVRGBMemory::changeLightMode, direct);
    connect(v, &Main_View::requestSetRGB, this, &KVRGBMemory::requestSetRGB, direct);
    connect(v, &Main_View::requestSetProfile, this, &KVRGBMemory::requestSetProfile, direct);
    connect(v, &Main_View::requestSetLighting, this, &KVRGBMemory::requestSetLighting, direct);
    connect(v, &Main_View::changeMemorySlotNumber, this, &KVRGBMemory::changeMemorySlotNumber, direct);
    connect(v, &Main_View::requestSetSlotNum, this, &KVRGBMemory::requestSetSlotNum, direct);
    connect(v, &Main_View::select_Profile, this, &KVRGBMemory::select_Profile, direct);
    connect(v, &Main_View::requestNotiData, this, &KVRGBMemory::requestNotiData, direct);
    connect(v, &Main_View::requestSettingData, this, &KVRGBMemory::requestSettingData, direct);
    connect(v, &Main_View::changeSettingData, this, &KVRGBMemory::changeSettingData, direct);
    connect(v, &Main_View::sendNotiData, this, &KVRGBMemory::slot_NotiData, direct);
}

void KVRGBMemory::startControlProgram()
{
    const ControlProgramLauncher::Outcome outcome = m_launcher.start();
    m_watch.startTried(m_clock(), outcome, m_launcher.failureReason());
}

void KVRGBMemory::watchControlProgram(bool stateRead, bool stampFresh)
{
    const bool wasAnswering = m_watch.isAnswering();
    if (m_watch.observe(m_clock(), stateRead, stampFresh, ControlProgramLauncher::isRunning())) {
        qDebug() << "KVRGBMemory: the control program does not answer, starting it";
        startControlProgram();
    }
    if (m_watch.isAnswering() != wasAnswering)
        qInfo() << "KVRGBMemory: the control program" << (m_watch.isAnswering() ? "answers" : "does not answer");
    const QString status = m_watch.statusText();
    if (status != m_controlStatus && m_watch.unansweredTries() >= ControlProgramWatch::kTriesBeforeReport)
        qWarning().noquote() << "KVRGBMemory:" << status;
    m_controlStatus = status;
    m_mainView->showControlStatus(m_watch.isAnswering(), status);
}

bool KVRGBMemory::keepsPage(bool read, const char *operation, int module) const
{
    if (!read)
        qWarning() << "KVRGBMemory:" << operation << module
                   << "could not read the shared state; the page keeps what it shows";
    return read;
}

bool KVRGBMemory::acceptEdit(const char *operation)
{
    if (m_watch.isAnswering())
        return true;
    qWarning() << "KVRGBMemory:" << operation << "refused: the control program does not answer";
    m_mainView->showNotice(tr("Your change was not applied: VELTRIMA RGB Control does not answer."));
    return false;
}

void KVRGBMemory::reportUnappliedWrite(const char *operation, int argument)
{
    if (m_callCheck())
        return;
    qWarning() << "KVRGBMemory:" << operation << argument << "did not reach the shared state; the change was not applied";
    m_mainView->showNotice(
        tr("Your change was not applied: the shared lighting state could not be reached. Please try again."));
}

void KVRGBMemory::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowTitleChange && m_endpoint && m_endpoint->title() != windowTitle()) {
        if (!m_endpoint->setTitle(windowTitle()))
            qWarning() << "KVRGBMemory: no message endpoint for" << windowTitle();
    }
    QMainWindow::changeEvent(event);
}

void KVRGBMemory::channelEvent(int event)
{
    std::lock_guard<std::mutex> lock(s_instanceMutex);
    KVRGBMemory *self = s_instance;
    if (!self)
        return;
    // The call takes the lock before it reads what it carries: Qt's event queue hands it
    // over under QMutex, which ThreadSanitizer cannot see.
    QMetaObject::invokeMethod(
        self,
        [self, event] {
            { std::lock_guard<std::mutex> posted(s_instanceMutex); }
            self->onChannelEvent(event);
        },
        Qt::QueuedConnection);
}

void KVRGBMemory::onChannelEvent(int event)
{
    qDebug() << "KVRGBMemory: channel event" << event;
    emit updateViewData();
}

void KVRGBMemory::handleWindowMessage(quint32 message, quint64 wParam)
{
    qDebug() << "KVRGBMemory: window message" << Qt::hex << message << "wParam" << wParam;
    switch (message) {
    case ProgramNames::kMsgSecondCopy:
        // Someone started the program again: bring the window forward.
        m_mainView->showAndActivate();
        break;
    case ProgramNames::kMsgQuit:
    case ProgramNames::kMsgShow:
    case ProgramNames::kMsgAutoRunQuit:
        m_mainView->handleWindowMessage(message, wParam);
        break;
    default:
        break;
    }
}

HWData KVRGBMemory::defaultRecord()
{
    HWData record = makeZeroHWData();
    record.reset();
    record.channelCount = 0;
    return record;
}

int KVRGBMemory::clampCount(int count)
{
    return std::clamp(count, 0, kModuleCount);
}

void KVRGBMemory::sanitizeSlotNumbers(int (&slotNumbers)[kModuleCount])
{
    bool seen[kModuleCount] = {};
    bool valid = true;
    for (int s : slotNumbers) {
        if (s < 0 || s >= kModuleCount || seen[s]) {
            valid = false;
            break;
        }
        seen[s] = true;
    }
    if (valid)
        return;
    qWarning() << "KVRGBMemory: slot numbers from the channel are not a permutation of 0..7; using 0..7";
    for (int m = 0; m < kModuleCount; ++m)
        slotNumbers[m] = m;
}

bool KVRGBMemory::loadLanguage(int language)
{
    // A number outside the ten languages (another writer of the channel) reads as English.
    const char *code = languageCode(language);
    if (!code) {
        qDebug() << "KVRGBMemory: language" << language << "unknown; English is used";
        code = languageCode(LanguageEnglish);
    }
    auto translator = std::make_unique<QTranslator>();
    const QString file = QStringLiteral(":/KVRGBMemory/VELTRIMA_%1.qm").arg(QLatin1String(code));
    if (!translator->load(file)) {
        qWarning() << "KVRGBMemory: cannot load" << file;
        return false;
    }
    if (m_translator)
        QCoreApplication::removeTranslator(m_translator.get());
    m_translator = std::move(translator);
    QCoreApplication::installTranslator(m_translator.get());
    LanguageFonts::use(language);
    m_loadedLanguage = language;
    return true;
}

void KVRGBMemory::loadLanguageFromChannel()
{
    const SettingData setting = SettingData::unpack(m_channel.GetSettingValue());
    if (!m_callCheck())
        return;
    const bool changed = setting.language != ProgramState::currentLanguage;
    ProgramState::currentLanguage = setting.language;
    if (setting.language != m_loadedLanguage)
        loadLanguage(setting.language);
    // Re-translating every page each second while waiting for data would only burn time.
    if (changed || !m_languageAnnounced)
        emit updateLanguage();
    m_languageAnnounced = true;
}

void KVRGBMemory::closeUI()
{
    qDebug() << "KVRGBMemory::closeUI";
    ProgramState::quitApplication();
}

void KVRGBMemory::requestUpdateData()
{
    qCDebug(lcPoll) << "KVRGBMemory::requestUpdateData";
    const HWData record = m_channel.GetValueHWData();
    const bool stateRead = m_callCheck();
    const bool stampFresh = stateRead && isFreshTimestamp(record.dataTimestamp, m_clock());

    if (!m_firstDataSeen) {
        // Only a record the control program has just published may decide the counts:
        // a zeroed or stale channel would otherwise hide the Lighting menu for good.
        if (stampFresh && record.memoryCount >= 0 && record.slotCount >= 0) {
            emit setSlotNum(clampCount(record.slotCount), clampCount(record.memoryCount));
            QStringList parts;
            for (const MemoryModuleData &module : record.memoryData)
                parts << partNumberOf(module);
            emit setKVModuleType(parts);
            m_firstDataSeen = true;
        }
        loadLanguageFromChannel();
    }

    emit setHWData(stampFresh && record.memoryCount >= 1 ? record : defaultRecord());
    watchControlProgram(stateRead, stampFresh);
}

void KVRGBMemory::requestUpdate_SoftwareRGB()
{
    qCDebug(lcPoll) << "KVRGBMemory::requestUpdate_SoftwareRGB";
    QList<COLORREF *> list;
    list.reserve(kModuleCount);
    for (int i = 0; i < kModuleCount; ++i) {
        const COLORREF *colours = m_channel.GetValueSoftwareRGB(i);
        std::copy_n(colours ? colours : defaultColours(), kLedSlots, m_preview[i]);
        list.append(m_preview[i]);
    }
    emit updatePreviewList(list);
}

void KVRGBMemory::finishEffect(MemoryModuleData *data)
{
    qDebug() << "KVRGBMemory::finishEffect" << static_cast<const void *>(data);
}

void KVRGBMemory::changeRGBColor(int slot, COLORREF *rgb, COLORREF single, float *bright, float singleBright)
{
    qDebug() << "KVRGBMemory::changeRGBColor" << slot;
    if (!rgb || !bright || slot < 0 || slot >= kModuleCount) {
        qWarning() << "KVRGBMemory::changeRGBColor: refused module" << slot;
        return;
    }
    if (!acceptEdit("changeRGBColor"))
        return;
    m_channel.SetValueRGB(slot, rgb, bright, single, singleBright, kUiLedCount);
    reportUnappliedWrite("SetValueRGB", slot);
}

void KVRGBMemory::changeLightMode(int slot, int mode, int colorMode, int speed, bool turnOff)
{
    qDebug() << "KVRGBMemory::changeLightMode" << slot << mode << colorMode << speed << turnOff;
    if (!acceptEdit("changeLightMode"))
        return;
    if (mode == kClockLightMode) {
        const SettingData setting = SettingData::unpack(m_channel.GetSettingValue());
        if (m_callCheck() && !setting.isCurrentLocation) {
            // The clock mode needs the location; the dialog only decides that setting.
            m_locationDialog->updateTexts();
            if (!m_locationDialog->isVisible()) {
                QRect place = m_locationDialog->geometry();
                place.moveCenter(m_mainView->geometry().center());
                m_locationDialog->move(place.topLeft());
            }
            m_locationDialog->show();
            m_locationDialog->raise();
            m_locationDialog->activateWindow();
        }
    }
    m_channel.SetValueLighting(slot, mode, colorMode, speed, turnOff);
    reportUnappliedWrite("SetValueLighting", slot);
}

void KVRGBMemory::requestSetRGB()
{
    qDebug() << "KVRGBMemory::requestSetRGB";
    for (int i = 0; i < kModuleCount; ++i) {
        bool read = true;
        const float singleBright = std::clamp(checked(m_channel.GetValueSingleBright(i), read), 0.0f, 1.0f);
        const float *bright = checked(m_channel.GetValueBright(i), read);
        const COLORREF single = checked(m_channel.GetValueSingleRGB(i), read);
        const COLORREF *rgb = checked(m_channel.GetValueRGB(i), read);
        if (!keepsPage(read, "requestSetRGB", i))
            continue;
        for (int led = 0; led < kLedSlots; ++led) {
            // A NaN brightness fails both comparisons of clamp, so it is caught first.
            const float b = bright ? bright[led] : 1.0f;
            m_bright[i][led] = b == b ? std::clamp(b, 0.0f, 1.0f) : 1.0f;
            m_rgb[i][led] = rgb ? rgb[led] : defaultColours()[led];
        }
        emit setRGB(i, m_rgb[i], single, m_bright[i], singleBright == singleBright ? singleBright : 1.0f);
    }
}

void KVRGBMemory::requestSetLighting()
{
    qDebug() << "KVRGBMemory::requestSetLighting";
    for (int i = 0; i < kModuleCount; ++i) {
        bool read = true;
        const bool turnOff = checked(m_channel.GetValueTurnOff(i), read);
        const int speed = checked(m_channel.GetValueLightSpeed(i), read);
        const int colorMode = checked(m_channel.GetValueColorMode(i), read);
        const int lightMode = checked(m_channel.GetValueLightMode(i), read);
        if (!keepsPage(read, "requestSetLighting", i))
            continue;
        emit setLighting(i, lightMode, colorMode, speed, turnOff);
    }
}

void KVRGBMemory::changeMemorySlotNumber(int count, int *slotNumbers)
{
    qDebug() << "KVRGBMemory::changeMemorySlotNumber" << count;
    if (!slotNumbers || count < 0 || count > kModuleCount) {
        qWarning() << "KVRGBMemory::changeMemorySlotNumber: refused count" << count;
        return;
    }
    if (!acceptEdit("changeMemorySlotNumber"))
        return;
    m_channel.SetSlotNumber(count, slotNumbers);
    reportUnappliedWrite("SetSlotNumber", count);
}

void KVRGBMemory::slot_NotiData(NotiEventData data)
{
    qDebug() << "KVRGBMemory::slot_NotiData" << data.type;
    if (!acceptEdit("slot_NotiData"))
        return;
    m_channel.SetNotiEvent(data);
    reportUnappliedWrite("SetNotiEvent", data.type);
}

void KVRGBMemory::requestSetSlotNum()
{
    qDebug() << "KVRGBMemory::requestSetSlotNum";
    int slotNumbers[kModuleCount];
    bool read = true;
    for (int i = 0; i < kModuleCount; ++i)
        slotNumbers[i] = checked(m_channel.GetValueMemorySlotNumber(i), read);
    if (!keepsPage(read, "requestSetSlotNum", -1))
        return;
    std::copy(std::begin(slotNumbers), std::end(slotNumbers), m_slotNumbers);
    sanitizeSlotNumbers(m_slotNumbers);
    emit setMemorySlotNumber(kModuleCount, m_slotNumbers);
}

void KVRGBMemory::requestNotiData()
{
    qDebug() << "KVRGBMemory::requestNotiData";
    bool read = true;
    const NotiEventData data = checked(m_channel.GetNotiEvent(), read);
    if (keepsPage(read, "requestNotiData", -1))
        emit setNotiData(data);
}

void KVRGBMemory::select_Profile(int profile)
{
    qDebug() << "KVRGBMemory::select_Profile" << profile;
    if (!acceptEdit("select_Profile"))
        return;
    m_channel.SetProfile(profile);
    reportUnappliedWrite("SetProfile", profile);
}

void KVRGBMemory::requestSetProfile()
{
    qDebug() << "KVRGBMemory::requestSetProfile";
    bool read = true;
    const int profile = checked(m_channel.GetProfile(), read);
    if (!keepsPage(read, "requestSetProfile", -1))
        return;
    if (profile < 0 || profile >= kProfileCount) {
        qWarning() << "KVRGBMemory::requestSetProfile: ignored profile" << profile;
        return;
    }
    emit setProfile(profile);
}

void KVRGBMemory::changeSettingData(SettingData data)
{
    qDebug() << "KVRGBMemory::changeSettingData" << data.language;
    if (!acceptEdit("changeSettingData")) {
        // The page already shows the change: it goes back to what is stored.
        requestSettingData();
        return;
    }
    ProgramState::currentLanguage = data.language;
    loadLanguage(data.language);
    m_channel.SetSettingValue(data.pack());
    reportUnappliedWrite("SetSettingValue", data.language);
    emit updateLanguage();
}

void KVRGBMemory::requestSettingData()
{
    qDebug() << "KVRGBMemory::requestSettingData";
    bool read = true;
    const std::uint64_t setting = checked(m_channel.GetSettingValue(), read);
    if (keepsPage(read, "requestSettingData", -1))
        emit setSettingData(SettingData::unpack(setting));
}

void KVRGBMemory::LocationWarningCheck(bool allow)
{
    qDebug() << "KVRGBMemory::LocationWarningCheck" << allow;
    if (!acceptEdit("LocationWarningCheck"))
        return;
    SettingData setting = SettingData::unpack(m_channel.GetSettingValue());
    // Written back from a stand-in, the other settings would become their defaults.
    if (!m_callCheck()) {
        reportUnappliedWrite("GetSettingValue", allow);
        return;
    }
    setting.isCurrentLocation = allow;
    m_channel.SetSettingValue(setting.pack());
    reportUnappliedWrite("SetSettingValue", allow);
}

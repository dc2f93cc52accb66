#include "Lighting_Control.h"

#include "HalGuid.h"
#include "HalRegistry.h"
#include "HalServer.h"

#include <QDebug>
#include <QMetaObject>

#include <algorithm>
#include <mutex>
#include <optional>

namespace {

constexpr int kFrameInterval = 40;
constexpr int kMemoryModuleType = VELTRIMA_HAL_TYPE_MEMORY;
constexpr int kEffectShow = 0;
constexpr int kEffectAfterExit = 5;
// No HAL drives more devices than this; a larger count is a broken server.
constexpr std::uint32_t kMaxHalDevices = 256;
constexpr VeltrimaHalResult kBadClassString = -2147221005; // 0x800401F3, CO_E_CLASSSTRING

QString hex(VeltrimaHalResult hr)
{
    return QStringLiteral("0x%1").arg(std::uint32_t(hr), 8, 16, QLatin1Char('0'));
}

} // namespace

Lighting_Control::Lighting_Control(bool debugMode, QObject *parent)
    : QThread(parent), sendCmdTimer(new QTimer), runEffectTimer(new QTimer), m_debugMode(debugMode ? 1 : 0)
{
    qDebug() << "Zedidid_Memory New";
    if (debugMode)
        qDebug() << "Lighting Start";
    sendCmdTimer->setInterval(kFrameInterval);
    runEffectTimer->setInterval(kFrameInterval);
    // Direct: both run on the timers' (the main) thread, not on the engine object's thread.
    connect(sendCmdTimer.get(), &QTimer::timeout, this, &Lighting_Control::sendCmd, Qt::DirectConnection);
    connect(runEffectTimer.get(), &QTimer::timeout, this, &Lighting_Control::runEffect, Qt::DirectConnection);
}

Lighting_Control::~Lighting_Control()
{
    // Stop asking for frames and sends, let a running frame finish, then leave every module
    // running the HAL's own effect with its last frame.
    sendCmdTimer->stop();
    runEffectTimer->stop();
    wait();

    std::lock_guard<std::mutex> devices(m_deviceMutex);
    const EngineState last = state();
    for (const ModuleDevice &entry : qAsConst(m_devices)) {
        COLORREF frame[kDrivenLeds];
        std::copy_n(last.memoryData[entry.position].softwareRGB, kDrivenLeds, frame);
        entry.device->vtbl->SetColors(entry.device, kEffectAfterExit, frame, kDrivenLeds);
    }
    releaseDevices(m_devices, m_hal);
    m_devices.clear();
    m_hal = nullptr;
}

void Lighting_Control::setDebugMode(bool on)
{
    m_debugMode.storeRelaxed(on ? 1 : 0);
}

void Lighting_Control::releaseDevices(const QVector<ModuleDevice> &devices, VeltrimaHalObject *hal)
{
    for (const ModuleDevice &entry : devices)
        entry.device->vtbl->Release(entry.device);
    if (hal) {
        // The reference of creation and the one added before enumerating.
        hal->vtbl->Release(hal);
        hal->vtbl->Release(hal);
    }
}

int Lighting_Control::setupMemory()
{
    const bool debug = m_debugMode.loadRelaxed() != 0;
    if (debug)
        qDebug() << "Setup Module Lighting";

    const QVector<HalRegistryEntry> servers = HalRegistry::entries();
    const VeltrimaHalGuid iid = HalGuid::halInterfaceId();
    int result = 0;
    bool listCleared = false;
    QVector<ModuleDevice> accepted;
    VeltrimaHalObject *halInUse = nullptr;

    for (const HalRegistryEntry &server : servers) {
        VeltrimaHalObject *hal = nullptr;
        VeltrimaHalResult hr = kBadClassString;
        std::optional<HalServer> library;
        if (const std::optional<VeltrimaHalGuid> clsid = HalGuid::fromString(server.name)) {
            QString error;
            library = HalServer::load(server.serverPath, &error);
            if (library) {
                void *object = nullptr;
                hr = library->createInstance(*clsid, iid, &object);
                hal = static_cast<VeltrimaHalObject *>(object);
            } else {
                hr = VELTRIMA_HAL_E_CLASSNOTREG;
                qWarning().noquote() << "HAL server" << server.name << "did not load:" << error;
            }
        } else {
            qWarning().noquote() << "HAL registry entry" << server.name << "is not a server id";
        }
        qDebug().noquote() << "hr===" << hex(hr);
        if (hr < 0 || !hal) {
            if (hal)
                hal->vtbl->Release(hal);
            continue;
        }

        hal->vtbl->AddRef(hal);
        std::uint32_t count = 0;
        if (hal->vtbl->Enumerate(hal, nullptr, &count) < 0)
            count = 0;
        qDebug() << "hal->Enumerate(NULL, &count)" << count;
        if (debug)
            qDebug() << "Module Count_1:" << count;
        if (count == 0) {
            releaseDevices({}, hal);
            continue;
        }
        if (count > kMaxHalDevices) {
            qWarning() << "HAL reports" << count << "devices; only the first" << kMaxHalDevices << "are read";
            count = kMaxHalDevices;
        }

        qDebug() << "1233211234567";
        QVector<VeltrimaHalDevice *> devices(int(count), nullptr);
        if (hal->vtbl->Enumerate(hal, devices.data(), &count) < 0)
            count = 0;
        count = std::min<std::uint32_t>(count, std::uint32_t(devices.size()));
        devices.resize(int(count));
        devices.removeAll(nullptr);
        count = std::uint32_t(devices.size());
        qDebug() << "count == " << count;
        result = int(count);

        // Each device's own description, or none when it is malformed.
        QVector<std::optional<HalDescription>> own;
        for (VeltrimaHalDevice *device : qAsConst(devices)) {
            char *text = nullptr;
            std::optional<HalDescription> description;
            if (device->vtbl->GetCapabilities(device, &text) >= 0 && text) {
                QString error;
                description = HalDescription::parse(QByteArray(text), &error);
                if (!description)
                    qWarning().noquote() << "HAL device description refused:" << error;
            } else {
                qWarning() << "HAL device gave no description";
            }
            library->freeString(text);
            if (description) {
                std::lock_guard<std::mutex> lock(m_deviceMutex);
                m_descriptions.append(*description);
            }
            own.append(description);
        }

        listCleared = true;
        accepted.clear();
        const int descriptionCount = descriptions().size();
        if (debug)
            qDebug() << "Module Count_2:" << descriptionCount << count;
        qDebug() << descriptionCount << count;

        int totalLedNum = 0;
        {
            std::lock_guard<std::mutex> lock(m_stateMutex);
            // The LED counts follow the devices found now, not earlier discoveries.
            m_state.totalLedNum = 0;
            for (MemoryModuleData &data : m_state.memoryData)
                data.ledNum = 0;
            // Each accepted module takes the next module position, so device list entry i
            // drives position i and carries its LED count there; devices of another type
            // between memory modules leave no gap.
            for (int i = 0; i < int(count); ++i) {
                if (!own.at(i) || own.at(i)->type != kMemoryModuleType)
                    continue;
                const int position = accepted.size();
                if (position >= kModuleCount) {
                    qWarning() << "Memory module at HAL index" << i << "refused: the engine drives" << kModuleCount
                               << "modules";
                    continue;
                }
                const HalDescription &description = *own.at(i);
                int ledNum = description.devices.isEmpty() ? 0 : description.devices.first().led_count;
                if (ledNum < 0 || ledNum > kLedSlots) {
                    qWarning() << "Module" << position << "reports" << ledNum << "LEDs; kept to 0 to" << kLedSlots;
                    ledNum = std::clamp(ledNum, 0, kLedSlots);
                }
                accepted.append({position, devices.at(i)});
                MemoryModuleData &data = m_state.memoryData[position];
                data.ledNum = ledNum;
                m_state.totalLedNum += ledNum;
                std::fill(data.rgb, data.rgb + ledNum, COLORREF(255));
                if (debug)
                    qDebug() << "Module[" << position << "] Led Num:" << ledNum;
            }
            totalLedNum = m_state.totalLedNum;
        }
        qDebug() << "Total====ledNum= ==== " << totalLedNum;

        // Devices that are not kept go back to the server.
        for (int i = 0; i < devices.size(); ++i) {
            const bool kept = std::any_of(accepted.cbegin(), accepted.cend(),
                                          [&](const ModuleDevice &entry) { return entry.device == devices.at(i); });
            if (!kept)
                devices.at(i)->vtbl->Release(devices.at(i));
        }
        if (!accepted.isEmpty()) {
            halInUse = hal;
            break;
        }
        releaseDevices({}, hal);
    }

    if (listCleared) {
        QVector<ModuleDevice> old;
        VeltrimaHalObject *oldHal = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_deviceMutex);
            old = std::exchange(m_devices, accepted);
            // The HAL object in use stays; a later discovery without modules keeps none.
            oldHal = std::exchange(m_hal, halInUse);
        }
        releaseDevices(old, oldHal);
    }
    return result;
}

void Lighting_Control::onTimerThread(QTimer *timer, const std::function<void()> &action)
{
    if (timer->thread() == QThread::currentThread()) {
        action();
        return;
    }
    QMetaObject::invokeMethod(timer, action, Qt::QueuedConnection);
}

void Lighting_Control::startTimers()
{
    QTimer *effect = runEffectTimer.get();
    QTimer *send = sendCmdTimer.get();
    onTimerThread(effect, [effect, send] {
        effect->start(kFrameInterval);
        send->start(kFrameInterval);
    });
}

void Lighting_Control::stopTimers()
{
    QTimer *effect = runEffectTimer.get();
    QTimer *send = sendCmdTimer.get();
    onTimerThread(effect, [effect, send] {
        effect->stop();
        send->stop();
    });
}

bool Lighting_Control::timersActive() const
{
    return runEffectTimer->isActive() || sendCmdTimer->isActive();
}

void Lighting_Control::withState(const std::function<void(EngineState &)> &change)
{
    std::lock_guard<std::mutex> lock(m_stateMutex);
    change(m_state);
}

EngineState Lighting_Control::state() const
{
    std::lock_guard<std::mutex> lock(m_stateMutex);
    return m_state;
}

QVector<HalDescription> Lighting_Control::descriptions() const
{
    std::lock_guard<std::mutex> lock(m_deviceMutex);
    return m_descriptions;
}

QVector<int> Lighting_Control::devicePositions() const
{
    std::lock_guard<std::mutex> lock(m_deviceMutex);
    QVector<int> positions;
    for (const ModuleDevice &entry : m_devices)
        positions.append(entry.position);
    return positions;
}

void Lighting_Control::resetLighting(int module)
{
    withState([module](EngineState &s) { LightingFrame::resetLighting(s, module); });
}

void Lighting_Control::refreshOrderLighting()
{
    withState([](EngineState &s) { LightingFrame::refreshOrderLighting(s); });
}

void Lighting_Control::setHelloIndex(int index)
{
    withState([index](EngineState &s) { s.helloIndex = index; });
}

void Lighting_Control::setMemoryLoad(int load)
{
    withState([load](EngineState &s) { s.memoryLoad = load; });
}

void Lighting_Control::run()
{
    computeFrame();
}

void Lighting_Control::computeFrame()
{
    FrameOutput output;
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        output = LightingFrame::run(m_state);
    }
    for (int m = 0; m < kModuleCount; ++m)
        emit update_SoftwareRGB_DLL(m, output.colours[m], kDrivenLeds);
    if (output.wantsVolume)
        emit GetVolume();
    if (output.wantsDeskPixel)
        emit getDeskPixelRGB(0, 0);
    if (output.wantsSync)
        emit getRGBSync();
}

void Lighting_Control::sendCmd()
{
    if (m_debugMode.loadRelaxed())
        qDebug() << "Send Lighting Cmd";
    std::lock_guard<std::mutex> devices(m_deviceMutex);
    if (m_devices.isEmpty())
        return;
    COLORREF frames[kModuleCount][kDrivenLeds];
    bool skip[kModuleCount];
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        for (int m = 0; m < kModuleCount; ++m) {
            std::copy_n(m_state.memoryData[m].softwareRGB, kDrivenLeds, frames[m]);
            // "MB Sync" leaves the module to the board's own control: nothing is sent.
            skip[m] = m_state.memoryData[m].lightMode == LightingFrame::MbSync;
        }
    }
    for (const ModuleDevice &entry : qAsConst(m_devices)) {
        if (!skip[entry.position])
            entry.device->vtbl->SetColors(entry.device, kEffectShow, frames[entry.position], kDrivenLeds);
    }
}

void Lighting_Control::runEffect()
{
    // QThread::start does nothing while the previous frame still runs.
    start();
}

void Lighting_Control::setRGB(HWData data)
{
    withState([&data](EngineState &s) {
        for (int m = 0; m < kModuleCount; ++m) {
            if (data.memoryData[m].memorySlot < 0)
                continue;
            std::copy_n(data.memoryData[m].rgb, kDrivenLeds, s.memoryData[m].rgb);
        }
    });
}

void Lighting_Control::setRGB(int module, COLORREF *colours, float *brightness, COLORREF singleColour,
                              float singleBrightness, int count)
{
    if (!LightingFrame::isValidModule(module)) {
        qWarning() << "Lighting_Control::setRGB: no module" << module;
        return;
    }
    if (count > 0 && (!colours || !brightness)) {
        qWarning() << "Lighting_Control::setRGB: no colours for module" << module;
        return;
    }
    const int n = std::clamp(count, 0, kLedSlots);
    {
        QDebug line = qDebug();
        line << "Lighting_Control::setRG";
        for (int k = 0; k < n; ++k)
            line << brightness[k];
    }
    withState([&](EngineState &s) {
        MemoryModuleData &data = s.memoryData[module];
        for (int k = 0; k < n; ++k) {
            data.rgb[k] = colours[k];
            data.softwareRGB[k] = colours[k];
            data.bright[k] = brightness[k];
        }
        data.singleRGB = singleColour;
        data.singleBright = singleBrightness;
    });
}

void Lighting_Control::setLightMode(int module, int lightMode, int colorMode, int lightSpeed, bool turnOff)
{
    qDebug() << "Lighting_Control::setLightMode" << module << lightMode << colorMode << lightSpeed;
    if (!LightingFrame::isValidModule(module))
        return;
    withState([&](EngineState &s) {
        MemoryModuleData &data = s.memoryData[module];
        data.lightMode = lightMode;
        data.colorMode = colorMode;
        data.lightSpeed = lightSpeed;
        data.turnOff = turnOff;
        LightingFrame::resetLighting(s, module);
    });
}

void Lighting_Control::setTurnOff(int module, bool off)
{
    if (!LightingFrame::isValidModule(module))
        return;
    withState([&](EngineState &s) {
        MemoryModuleData &data = s.memoryData[module];
        data.turnOff = off;
        // The cross-module paths must leave out (or take back) a module that is turned
        // off, or the shared cursor would stop on its items and freeze the others.
        const int mode = data.lightMode;
        if (mode == LightingFrame::ShootingStar || mode == LightingFrame::BlackHole || mode == LightingFrame::Twinkle)
            LightingFrame::refreshOrderLighting(s);
    });
}

void Lighting_Control::receiveTemp(int temperature)
{
    withState([temperature](EngineState &s) { s.cpuTemperature = temperature; });
}

void Lighting_Control::slot_Volume(int level)
{
    withState([level](EngineState &s) { s.volume = level; });
}

void Lighting_Control::slot_SetWeatherType(int type)
{
    if (m_debugMode.loadRelaxed())
        qDebug() << "Set Weather Type:" << type;
    withState([type](EngineState &s) {
        s.weatherType = type;
        for (int m = 0; m < kModuleCount; ++m) {
            if (s.memoryData[m].lightMode == LightingFrame::Clock)
                LightingFrame::resetLighting(s, m);
        }
    });
}

void Lighting_Control::slot_ReceiveSun(int sunrise, int sunset)
{
    withState([sunrise, sunset](EngineState &s) {
        s.sunrise = sunrise;
        s.sunset = sunset;
        // In 64 bits: two stamps far apart must not overflow.
        s.dayLength = std::int32_t(std::clamp<qint64>(qint64(sunset) - sunrise, INT32_MIN, INT32_MAX));
    });
}

void Lighting_Control::returnDesktopPixelRGB(int red, int green, int blue)
{
    qDebug() << "Desktop----R:" << red << ", G:" << green << ", B:" << blue;
    withState([=](EngineState &s) {
        s.deskRed = red;
        s.deskGreen = green;
        s.deskBlue = blue;
    });
}

void Lighting_Control::receive_RGB_Sync(int count, COLORREF *colours)
{
    if (count > 0 && !colours)
        return;
    const int n = std::clamp(count, 0, kDrivenLeds);
    withState([=](EngineState &s) { std::copy_n(colours, n, s.syncColours); });
}

void Lighting_Control::setMemorySlotNumber(int module, int slot)
{
    qDebug() << "Lighting_Control::setMemorySlotNumber:" << module << slot;
    if (m_debugMode.loadRelaxed())
        qDebug() << "Set Module[" << module << "] Slot Index:" << slot;
    if (!LightingFrame::isValidModule(module) || slot < 0 || slot >= kModuleCount) {
        qWarning() << "Lighting_Control::setMemorySlotNumber: refused" << module << slot;
        return;
    }
    withState([=](EngineState &s) {
        s.memoryData[module].memorySlot = slot;
        const int mode = s.memoryData[module].lightMode;
        if (mode == LightingFrame::ShootingStar || mode == LightingFrame::BlackHole || mode == LightingFrame::Twinkle)
            LightingFrame::resetLighting(s, module);
    });
}

void Lighting_Control::setWarningMode(bool on, COLORREF colour, int level)
{
    qDebug() << "Lighting_Control::setWarningMode" << on;
    withState([=](EngineState &s) {
        s.warningOn = on;
        s.warningColour = colour;
        s.warningLevel = level;
    });
}

void Lighting_Control::getMemoryLedNum()
{
    int ledNum[kModuleCount];
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        for (int m = 0; m < kModuleCount; ++m)
            ledNum[m] = m_state.memoryData[m].ledNum;
    }
    for (int m = 0; m < kModuleCount; ++m)
        emit sendLedNum(m, ledNum[m]);
}

void Lighting_Control::seitchSendCmdTimer(bool run)
{
    QTimer *timer = sendCmdTimer.get();
    onTimerThread(timer, [timer, run] {
        if (run && !timer->isActive())
            timer->start(kFrameInterval);
        else if (!run && timer->isActive())
            timer->stop();
    });
}

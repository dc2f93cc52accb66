#include "Lighting_Control.h"

#include "EngineInput.h"
#include "HalRegistry.h"

#include <QDebug>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace {

constexpr std::chrono::milliseconds kFrameInterval{40};
constexpr int kEffectShow = 0;
constexpr int kEffectAfterExit = 5;
// A server normally answers within a second or two; the whole discovery holds the
// caller (the control program's main thread) for at most the total bound.
constexpr std::chrono::milliseconds kPerServerBound{3000};
constexpr std::chrono::milliseconds kDiscoveryBound{6000};

// One server's scan, shared by the thread that calls into the server and the discovery
// that waits for it. Once the discovery stops waiting (`abandoned`), the result is the
// scan thread's to hand to the engine or give back.
struct PendingScan {
    std::mutex mutex;
    std::condition_variable done;
    std::optional<HalServerScan> scan;
    bool abandoned = false;
};

} // namespace

// The way from a late scan to the engine. The destructor clears `engine` under `mutex`,
// and a late scan holds it while it hands its modules over, so none reaches an engine
// that is gone.
struct Lighting_Control::LateScans {
    std::mutex mutex;
    Lighting_Control *engine = nullptr;
};

Lighting_Control::Lighting_Control(bool debugMode, QObject *parent)
    : QThread(parent)
    , m_perServerBound(kPerServerBound)
    , m_discoveryBound(kDiscoveryBound)
    , m_lateScans(std::make_shared<LateScans>())
    , m_debugMode(debugMode ? 1 : 0)
{
    m_lateScans->engine = this;
    qDebug() << "Zedidid_Memory New";
    if (debugMode)
        qDebug() << "Lighting Start";
}

Lighting_Control::~Lighting_Control()
{
    {
        std::lock_guard<std::mutex> lock(m_lateScans->mutex);
        m_lateScans->engine = nullptr;
    }
    // Stop the frames and let a running one finish, then leave every module running the
    // HAL's own effect with its last frame.
    stopTimers();
    wait();
    // The thread's last step took this lock: what it did is now ordered before what the
    // destructor does (QThread::wait() orders it too, in a way the race checker cannot see).
    { std::lock_guard<std::mutex> ended(m_loopMutex); }

    watchServer(std::nullopt);
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

void Lighting_Control::setDiscoveryBounds(std::chrono::milliseconds perServer, std::chrono::milliseconds total)
{
    m_perServerBound = perServer;
    m_discoveryBound = total;
}

void Lighting_Control::onHalDevicesChanged(void *engine)
{
    emit static_cast<Lighting_Control *>(engine)->halDevicesChanged();
}

void Lighting_Control::watchServer(const std::optional<HalServer> &server)
{
    std::optional<HalServer> previous;
    {
        std::lock_guard<std::mutex> lock(m_deviceMutex);
        previous = std::exchange(m_watchedServer, server);
    }
    // Withdrawn outside the lock: the server waits for a handler call under way.
    if (previous && !(server && *server == *previous))
        previous->watchDevices(nullptr, nullptr);
    if (server)
        server->watchDevices(&Lighting_Control::onHalDevicesChanged, this);
}

void Lighting_Control::releaseDevices(const QVector<ModuleDevice> &devices, VeltrimaHalObject *hal)
{
    for (const ModuleDevice &entry : devices)
        entry.device->vtbl->Release(entry.device);
    HalDiscovery::releaseObject(hal);
}

int Lighting_Control::setupMemory()
{
    using Clock = std::chrono::steady_clock;
    const bool debug = m_debugMode.loadRelaxed() != 0;
    if (debug)
        qDebug() << "Setup Module Lighting";

    // One discovery at a time; a late scan waits here for the one under way to end.
    std::lock_guard<std::mutex> running(m_discoveryMutex);
    const quint64 discovery = ++m_discovery;
    const Clock::time_point deadline = Clock::now() + m_discoveryBound;
    int result = 0;
    for (const HalRegistryEntry &server : HalRegistry::entries()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            qWarning().noquote() << "HAL server" << server.name << "not tried: discovery took its"
                                 << m_discoveryBound.count() << "ms";
            continue;
        }
        const std::optional<HalServerScan> scan = scanWithin(server, std::min(left, m_perServerBound), discovery);
        if (!scan || !scan->hal)
            continue;
        result = scan->devices.size();
        if (adopt(*scan, debug) > 0)
            break;
    }
    return result;
}

std::optional<HalServerScan> Lighting_Control::scanWithin(const HalRegistryEntry &server,
                                                          std::chrono::milliseconds bound, quint64 discovery)
{
    auto pending = std::make_shared<PendingScan>();
    const bool debug = m_debugMode.loadRelaxed() != 0;
    const auto scanning = [pending, late = m_lateScans, server, debug, discovery] {
        HalServerScan scan = HalDiscovery::scan(server, debug);
        {
            std::lock_guard<std::mutex> lock(pending->mutex);
            if (!pending->abandoned) {
                pending->scan = std::move(scan);
                pending->done.notify_all();
                return;
            }
        }
        qInfo().noquote() << "HAL server" << server.name << "answered after discovery passed it over";
        std::lock_guard<std::mutex> lock(late->mutex);
        if (!scan.hal || !late->engine || !late->engine->adoptLate(scan, discovery))
            HalDiscovery::release(scan);
    };
    try {
        std::thread(scanning).detach();
    } catch (const std::system_error &error) {
        qWarning() << "No thread for a HAL scan (" << error.what() << "); scanning without a bound";
        return HalDiscovery::scan(server, debug);
    }

    std::unique_lock<std::mutex> lock(pending->mutex);
    if (pending->done.wait_for(lock, bound, [&] { return pending->scan.has_value(); }))
        return std::move(pending->scan);
    pending->abandoned = true;
    qWarning().noquote() << "HAL server" << server.name << "did not answer within" << bound.count()
                         << "ms; passed over";
    return std::nullopt;
}

int Lighting_Control::adopt(const HalServerScan &scan, bool debug)
{
    const QVector<AcceptedModule> accepted = HalDiscovery::accept(scan, debug);
    // With no module, a server that reports changes is held and watched, so that modules it
    // finds later are taken up; the first such server of a discovery is the one kept.
    const bool standby = accepted.isEmpty() && scan.server && scan.server->canWatchDevices();
    if (accepted.isEmpty() && holdsStandby()) {
        HalDiscovery::release(scan);
        return 0;
    }
    {
        std::lock_guard<std::mutex> lock(m_deviceMutex);
        for (const std::optional<HalDescription> &description : scan.descriptions) {
            if (description)
                m_descriptions.append(*description);
        }
    }
    const int descriptionCount = descriptions().size();
    if (debug)
        qDebug() << "Module Count_2:" << descriptionCount << scan.devices.size();
    qDebug() << descriptionCount << scan.devices.size();

    int totalLedNum = 0;
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        // The LED counts follow the devices found now, not earlier discoveries.
        m_state.totalLedNum = 0;
        for (MemoryModuleData &data : m_state.memoryData)
            data.ledNum = 0;
        for (int position = 0; position < accepted.size(); ++position) {
            MemoryModuleData &data = m_state.memoryData[position];
            data.ledNum = accepted.at(position).ledNum;
            m_state.totalLedNum += data.ledNum;
            std::fill(data.rgb, data.rgb + data.ledNum, COLORREF(255));
        }
        totalLedNum = m_state.totalLedNum;
    }
    qDebug() << "Total====ledNum= ==== " << totalLedNum;

    if (!standby)
        HalDiscovery::releaseExcept(scan, accepted);
    QVector<ModuleDevice> kept;
    for (int position = 0; position < accepted.size(); ++position)
        kept.append({position, accepted.at(position).device});
    QVector<ModuleDevice> old;
    VeltrimaHalObject *oldHal = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_deviceMutex);
        old = std::exchange(m_devices, kept);
        // The HAL object in use stays; a discovery whose devices are all refused keeps none.
        oldHal = std::exchange(m_hal, accepted.isEmpty() && !standby ? nullptr : scan.hal);
    }
    releaseDevices(old, oldHal);
    watchServer(accepted.isEmpty() && !standby ? std::nullopt : scan.server);
    if (standby)
        qInfo().noquote() << "HAL server" << scan.name << "has no memory module now; watching it for some";
    return accepted.size();
}

bool Lighting_Control::holdsStandby() const
{
    std::lock_guard<std::mutex> lock(m_deviceMutex);
    return m_devices.isEmpty() && m_hal;
}

bool Lighting_Control::adoptLate(const HalServerScan &scan, quint64 discovery)
{
    std::lock_guard<std::mutex> running(m_discoveryMutex);
    if (discovery != m_discovery.load() || !devicePositions().isEmpty())
        return false;
    const bool debug = m_debugMode.loadRelaxed() != 0;
    if (HalDiscovery::accept(scan, false).isEmpty())
        return false;
    const int modules = adopt(scan, debug);
    qInfo() << "Memory modules found late:" << modules << "; the frames start now";
    startTimers();
    return true;
}

void Lighting_Control::startTimers()
{
    std::unique_lock<std::mutex> lock(m_loopMutex);
    if (m_loopOn)
        return;
    m_loopOn = true;
    m_sending = true;
    // A loop that was told to stop but has not yet looked carries on.
    if (m_loopAlive)
        return;
    m_loopAlive = true;
    if (isRunning()) {
        // A frame of runEffect(), or a loop on its way out, ends first.
        lock.unlock();
        wait();
        lock.lock();
    }
    m_threadLoops = true;
    start();
}

void Lighting_Control::stopTimers()
{
    {
        std::lock_guard<std::mutex> lock(m_loopMutex);
        m_loopOn = false;
    }
    m_loopSleep.wake();
}

bool Lighting_Control::timersActive() const
{
    std::lock_guard<std::mutex> lock(m_loopMutex);
    return m_loopOn;
}

void Lighting_Control::frameLoop()
{
    using Clock = FrameSleeper::Clock;
    Clock::time_point next = Clock::now() + kFrameInterval;
    for (;;) {
        const unsigned ticket = m_loopSleep.ticket();
        {
            std::lock_guard<std::mutex> lock(m_loopMutex);
            if (!m_loopOn) {
                m_loopAlive = false;
                return;
            }
        }
        if (!m_loopSleep.sleepUntil(next, ticket))
            continue; // woken: look whether to stop
        computeFrame();
        if (m_sending.load())
            sendCmd();
        // Ticks that passed while this frame ran are skipped, keeping the 40 ms rhythm.
        next += kFrameInterval;
        const Clock::time_point now = Clock::now();
        if (next <= now)
            next += kFrameInterval * ((now - next) / kFrameInterval + 1);
    }
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
    bool loops = false;
    {
        std::lock_guard<std::mutex> lock(m_loopMutex);
        loops = std::exchange(m_threadLoops, false);
    }
    if (loops)
        frameLoop();
    else
        computeFrame(); // runEffect(): one frame
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
    std::lock_guard<std::mutex> lock(m_loopMutex);
    // While the frames run they need no help; QThread::start does nothing while a frame
    // of an earlier call still runs.
    if (!m_loopAlive)
        start();
}

void Lighting_Control::setRGB(HWData data)
{
    withState([&data](EngineState &s) {
        for (int m = 0; m < kModuleCount; ++m) {
            if (data.memoryData[m].memorySlot < 0)
                continue;
            for (int k = 0; k < kDrivenLeds; ++k)
                s.memoryData[m].rgb[k] = EngineInput::colour(data.memoryData[m].rgb[k]);
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
            data.rgb[k] = EngineInput::colour(colours[k]);
            data.softwareRGB[k] = data.rgb[k];
            data.bright[k] = EngineInput::brightness(brightness[k]);
        }
        data.singleRGB = EngineInput::colour(singleColour);
        data.singleBright = EngineInput::brightness(singleBrightness);
    });
}

void Lighting_Control::setLightMode(int module, int lightMode, int colorMode, int lightSpeed, bool turnOff)
{
    qDebug() << "Lighting_Control::setLightMode" << module << lightMode << colorMode << lightSpeed;
    if (!LightingFrame::isValidModule(module))
        return;
    const int mode = EngineInput::lightMode(lightMode);
    const int colours = EngineInput::colorMode(colorMode);
    const int speed = EngineInput::lightSpeed(lightSpeed);
    if (mode != lightMode || colours != colorMode || speed != lightSpeed)
        qWarning() << "Lighting_Control::setLightMode: out of range, taken as" << mode << colours << speed;
    withState([&](EngineState &s) {
        MemoryModuleData &data = s.memoryData[module];
        data.lightMode = mode;
        data.colorMode = colours;
        data.lightSpeed = speed;
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
    withState([level](EngineState &s) { s.volume = EngineInput::percent(level); });
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
        s.deskRed = EngineInput::channel(red);
        s.deskGreen = EngineInput::channel(green);
        s.deskBlue = EngineInput::channel(blue);
    });
}

void Lighting_Control::receive_RGB_Sync(int count, COLORREF *colours)
{
    if (count > 0 && !colours)
        return;
    const int n = std::clamp(count, 0, kDrivenLeds);
    withState([=](EngineState &s) {
        for (int k = 0; k < n; ++k)
            s.syncColours[k] = EngineInput::colour(colours[k]);
    });
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
        s.warningColour = EngineInput::colour(colour);
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
    // Only the sending pauses; the frames go on being computed and reported.
    m_sending = run;
}

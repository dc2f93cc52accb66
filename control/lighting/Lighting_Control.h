// The lighting engine: the light-mode state of eight module positions, one frame every
// 40 ms computed on the engine's own thread, and the frames sent to the HAL devices that
// module discovery accepted.
//
// The engine's thread lives from startTimers() to stopTimers(): it sleeps until the next
// 40 ms tick, computes the frame and then sends it, so a tick wakes one thread and
// creates none. Ticks that pass while a frame overruns are skipped, never queued.
//
// The slots are called directly from other threads (the main thread, the channel's and
// the sensors' threads) while a frame may be running, so one lock guards the state: every
// slot holds it while it changes the state, the frame holds it while it computes, and the
// frame emits its signals after releasing it, with copies of the colours, so a handler
// that calls back into the engine (receive_RGB_Sync, slot_Volume) cannot deadlock.
#pragma once

#include "EngineState.h"
#include "FrameSleeper.h"
#include "HalDescription.h"
#include "HalDiscovery.h"
#include "LightingFrame.h"

#include "HWData.h"
#include "veltrima_hal.h"

#include <QString>
#include <QThread>
#include <QVector>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class Lighting_Control : public QThread
{
    Q_OBJECT

public:
    explicit Lighting_Control(bool debugMode = false, QObject *parent = nullptr);
    ~Lighting_Control() override;

    // Module discovery: finds the HAL servers, keeps the memory modules of the first one
    // that has any, and returns its device count (0 when no server reported a device).
    // A server that does not answer within the per-server bound is passed over, and no
    // server is tried once the whole bound is used up, so the caller is never held much
    // longer than that. A server passed over that answers later has its modules taken
    // then, and the frames started, if by that time no discovery runs and no module is
    // driven; otherwise they are given back.
    int setupMemory();
    void setDiscoveryBounds(std::chrono::milliseconds perServer, std::chrono::milliseconds total);
    void resetLighting(int module);
    void refreshOrderLighting();
    void setHelloIndex(int index);
    // The physical memory load in whole percent, written at every sensor update.
    void setMemoryLoad(int load);
    void setDebugMode(bool on);

    // Starts the frames (and their sending) on the engine's thread; any thread may call
    // these. stopTimers() returns at once; wait() then waits for the thread to end.
    void startTimers();
    void stopTimers();
    bool timersActive() const;

    // One frame, as the engine thread computes it; public so that it can be driven
    // frame by frame without the thread.
    void computeFrame();

    // A copy of the state, taken under the lock.
    EngineState state() const;
    // The HAL descriptions read by every discovery so far.
    QVector<HalDescription> descriptions() const;
    // The module positions that have a HAL device, in the order the devices were accepted:
    // device list entry i drives position i, so this is 0, 1, ... one per accepted device.
    QVector<int> devicePositions() const;

public slots:
    void sendCmd();
    // Computes one frame on the engine's thread, unless that thread is already running
    // (a frame under way, or the frames started by startTimers()).
    void runEffect();
    void setRGB(HWData data);
    void setRGB(int module, COLORREF *colours, float *brightness, COLORREF singleColour, float singleBrightness,
                int count);
    void setLightMode(int module, int lightMode, int colorMode, int lightSpeed, bool turnOff);
    void setTurnOff(int module, bool off);
    void receiveTemp(int temperature);
    void slot_Volume(int level);
    void slot_SetWeatherType(int type);
    void slot_ReceiveSun(int sunrise, int sunset);
    void returnDesktopPixelRGB(int red, int green, int blue);
    void receive_RGB_Sync(int count, COLORREF *colours);
    void setMemorySlotNumber(int module, int slot);
    void setWarningMode(bool on, COLORREF colour, int level);
    void getMemoryLedNum();
    void seitchSendCmdTimer(bool run);

signals:
    void update_SoftwareRGB_DLL(int module, COLORREF *colours, int count);
    void sendLedNum(int module, int ledNum);
    void GetVolume();
    void getDeskPixelRGB(int x, int y);
    void getRGBSync();
    void writeErrorLog(QString text);
    // The HAL in use says its devices changed (emitted on one of its threads).
    void halDevicesChanged();

protected:
    void run() override;

private:
    struct ModuleDevice {
        int position;               // the module position this device shows (its list index)
        VeltrimaHalDevice *device;  // one reference held
    };

    struct LateScans;

    void withState(const std::function<void(EngineState &)> &change);
    void releaseDevices(const QVector<ModuleDevice> &devices, VeltrimaHalObject *hal);
    void frameLoop();
    // Follows the device-list changes of the server in use, and only of that one.
    void watchServer(const std::optional<HalServer> &server);
    static void onHalDevicesChanged(void *engine);

    // Scans one server on a thread of its own; nothing when it does not answer in time.
    std::optional<HalServerScan> scanWithin(const HalRegistryEntry &server, std::chrono::milliseconds bound,
                                            quint64 discovery);
    // Makes a scan's memory modules the driven ones (LED counts, colours, device list).
    // Returns the number of modules taken.
    int adopt(const HalServerScan &scan, bool debug);
    // A HAL object without modules is held, waiting for its server to report some.
    bool holdsStandby() const;
    // A scan that came in after its discovery stopped waiting; false when it is not wanted.
    bool adoptLate(const HalServerScan &scan, quint64 discovery);

    // The frame loop runs while `m_loopOn`; `m_loopAlive` from the start of its thread to
    // the moment it leaves; `m_threadLoops` tells the thread being started which it is.
    mutable std::mutex m_loopMutex;
    FrameSleeper m_loopSleep;
    bool m_loopOn = false;
    bool m_loopAlive = false;
    bool m_threadLoops = false;
    std::atomic<bool> m_sending{true};

    // Discovery: its bounds, the number of the latest one started and whether one runs.
    std::chrono::milliseconds m_perServerBound;
    std::chrono::milliseconds m_discoveryBound;
    std::mutex m_discoveryMutex;
    std::atomic<quint64> m_discovery{0};
    std::shared_ptr<LateScans> m_lateScans;

    // std::mutex rather than QMutex: ThreadSanitizer sees its hand-over under contention.
    mutable std::mutex m_stateMutex;
    EngineState m_state;

    // Guards the device list and the HAL object: sending and a rebuild never overlap.
    mutable std::mutex m_deviceMutex;
    QVector<ModuleDevice> m_devices;
    VeltrimaHalObject *m_hal = nullptr;
    QVector<HalDescription> m_descriptions;
    std::optional<HalServer> m_watchedServer; // guarded by m_deviceMutex

    QAtomicInteger<int> m_debugMode;
};

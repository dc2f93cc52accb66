// The lighting engine: the light-mode state of eight module positions, one frame every
// 40 ms computed on the engine's own thread, and the frames sent to the HAL devices that
// module discovery accepted.
//
// The slots are called directly from other threads (the main thread, the channel's and
// the sensors' threads) while a frame may be running, so one lock guards the state: every
// slot holds it while it changes the state, the frame holds it while it computes, and the
// frame emits its signals after releasing it, with copies of the colours, so a handler
// that calls back into the engine (receive_RGB_Sync, slot_Volume) cannot deadlock.
#pragma once

#include "EngineState.h"
#include "HalDescription.h"
#include "LightingFrame.h"

#include "HWData.h"
#include "veltrima_hal.h"

#include <QString>
#include <QThread>
#include <QTimer>
#include <QVector>

#include <functional>
#include <memory>
#include <mutex>

class Lighting_Control : public QThread
{
    Q_OBJECT

public:
    explicit Lighting_Control(bool debugMode = false, QObject *parent = nullptr);
    ~Lighting_Control() override;

    // Module discovery: finds the HAL servers, keeps the memory modules of the first one
    // that has any, and returns its device count (0 when no server reported a device).
    int setupMemory();
    void resetLighting(int module);
    void refreshOrderLighting();
    void setHelloIndex(int index);
    // The physical memory load in whole percent, written at every sensor update.
    void setMemoryLoad(int load);
    void setDebugMode(bool on);

    // Starts runEffectTimer and then sendCmdTimer at 40 ms. The timers have no parent, so
    // they belong to the thread that created the engine; call this from that thread.
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

protected:
    void run() override;

private:
    struct ModuleDevice {
        int position;               // the module position this device shows (its list index)
        VeltrimaHalDevice *device;  // one reference held
    };

    // Runs `action` on the timer's own thread (now, when that is the calling thread).
    static void onTimerThread(QTimer *timer, const std::function<void()> &action);
    void withState(const std::function<void(EngineState &)> &change);
    void releaseDevices(const QVector<ModuleDevice> &devices, VeltrimaHalObject *hal);

    std::unique_ptr<QTimer> sendCmdTimer;
    std::unique_ptr<QTimer> runEffectTimer;

    // std::mutex rather than QMutex: ThreadSanitizer sees its hand-over under contention.
    mutable std::mutex m_stateMutex;
    EngineState m_state;

    // Guards the device list and the HAL object: sending and a rebuild never overlap.
    mutable std::mutex m_deviceMutex;
    QVector<ModuleDevice> m_devices;
    VeltrimaHalObject *m_hal = nullptr;
    QVector<HalDescription> m_descriptions;

    QAtomicInteger<int> m_debugMode;
};

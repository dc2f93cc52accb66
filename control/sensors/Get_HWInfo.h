// The control program's window on the PC's hardware: loads a sensor library, finds the
// maker's memory modules and rescans modules, temperatures, timings and memory use
// once a second into systemData.
//
// Threads: the object is moved to a worker thread of its own; initHWInfo, the scans and
// timer_Hwinfo live there. requestUpdateData, slot_LedNum and snapshot may be called from
// any thread: systemData is only read or written under a lock, so a copy is never torn.
// To stop: invoke stopScans on the worker thread (blocking queued), quit and wait for the
// thread, then delete the object; the destructor shuts the sensor library down.
#pragma once

#include "HWData.h"
#include "LightingMetaTypes.h"
#include "SensorLibrary.h"

#include <QMap>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <functional>
#include <mutex>

class QTimer;

// Set once a CPU temperature has come from the CPU's own sensor; never cleared, so a
// motherboard's "CPU" reading is not used again after that.
extern std::atomic<bool> cpuSensorFound;

class Get_HWInfo : public QObject
{
    Q_OBJECT
public:
    // Shows a message box (text, caption; always the exclamation icon) without blocking.
    using MessagePresenter = std::function<void(const QString &text, const QString &caption)>;

    explicit Get_HWInfo(QObject *parent = nullptr);
    ~Get_HWInfo() override;

    // Process-wide; without one the boxes are only logged.
    static void setMessagePresenter(MessagePresenter presenter);

    // The device file's "DebugMode/isDebugMode" and "DebugMode/isHWDebugMode".
    void setDebugModes(bool debugMode, bool hwDebugMode);

    // A consistent copy of systemData.
    HWData snapshot() const;

public slots:
    void initHWInfo();
    void updateData();
    void requestUpdateData();
    void slot_LedNum(int module, int ledNum);
    // Stops the rescans for good; runs on the worker thread.
    void stopScans();

signals:
    void initInfoStatus(HWData data);
    void sendMessage(HWData data);
    void doneScanComputer(QStringList lines);
    void sendTemp(int cpuTemperature);
    void sendInitStatus(bool ready);
    void writeErrorLog(QString message);

private:
    void initData();
    // One scan: scanMachine reads everything into m_working, finishScan publishes it and
    // reports the scan.
    void getSystemData();
    QStringList scanMachine();
    void finishScan(const QStringList &lines);
    void readSensor(int sensor, const QString &sensorName, int &cpuTemperature, QStringList &lines);
    void applyDimmTemperature(const QString &label, double value);
    void clearEntry(int entry);
    void publish();
    void showMessage(const QString &text) const;

    QTimer *timer_Hwinfo = nullptr;
    // Guarded by m_lock; the scan works on m_working and publishes whole records.
    HWData systemData;
    // Module index of the sensor library -> entry of memoryData; worker thread only.
    QMap<int, int> slotEntryMap;

    HWData m_working;
    // std::mutex rather than QMutex: ThreadSanitizer sees its hand-over.
    mutable std::mutex m_lock;
    SensorLibrary m_library;
    bool m_ready = false; // worker thread only
    // The control program retries a failed start every few seconds; the box comes once
    // and later failures are only logged. Worker thread only.
    bool m_initFailureShown = false;
    std::atomic<bool> m_debugMode{false};
    std::atomic<bool> m_hwDebugMode{false};
};

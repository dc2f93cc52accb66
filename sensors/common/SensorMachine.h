// What a sensor library knows about the machine, in one value that its exports read.
// Absent texts stay null; absent numbers are -1.
#pragma once

#include <QString>
#include <QVector>

struct SensorReading {
    QString label;
    double value = 0.0;
    QString unit;
};

struct SensorDevice {
    QString name;
    QVector<SensorReading> temperatures;
    QVector<SensorReading> others;
};

struct MemoryModule {
    int sizeMB = 0;
    QString manufacturer;
    QString partNumber;
    QString type;
    QString text;
    double frequency = -1.0;
};

struct BoardValues {
    double clock = -1.0;
    QString infoText;
    QString chipset;
    double casLatency = -1.0;
    int tRCD = -1;
    int timing3 = -1;
    int timing4 = -1;
    int channelCount = -1;
};

constexpr int kSensorModuleSlots = 16;

// One implementation per library: the Linux machine or a scenario.
class SensorMachine
{
public:
    virtual ~SensorMachine() = default;
    // Takes the library's configuration text; false refuses it.
    virtual bool configure(const QString &config) = 0;
    // 0 when ready, else an error code. Flags: 1 verbose, 64 quiet.
    virtual int initialise(int flags) = 0;
    virtual void shutdown() = 0;
    // Module at index 0..15; sizeMB < 1 when the slot is empty.
    virtual MemoryModule module(int index) const = 0;
    virtual BoardValues board() const = 0;
    // A fresh reading of every sensor, taken once per scan.
    virtual QVector<SensorDevice> readSensors() = 0;
};

// Each library defines its machine.
SensorMachine *createSensorMachine();

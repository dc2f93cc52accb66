// The C symbols of a sensor library, answered from its SensorMachine. Calls may come
// from more than one thread, so every entry takes the one lock.
#include "SensorMachine.h"
#include "veltrima_sensors.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <mutex>

namespace {

struct LibraryState {
    std::mutex lock;
    std::unique_ptr<SensorMachine> machine;
    bool ready = false;
    QVector<SensorDevice> sensors;
    std::array<MemoryModule, kSensorModuleSlots> modules;
    BoardValues board;
};

LibraryState &state()
{
    static LibraryState s;
    return s;
}

SensorMachine &machine(LibraryState &s)
{
    if (!s.machine)
        s.machine.reset(createSensorMachine());
    return *s.machine;
}

// Writes text cut to the buffer, always terminated; false when there is nothing to write.
int writeText(const QString &text, char *buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    buffer[0] = '\0';
    if (text.isNull())
        return 0;
    const QByteArray bytes = text.toUtf8();
    const int n = std::min(bytes.size(), size - 1);
    std::memcpy(buffer, bytes.constData(), size_t(n));
    buffer[n] = '\0';
    return 1;
}

const MemoryModule *moduleAt(LibraryState &s, int module)
{
    if (!s.ready || module < 0 || module >= kSensorModuleSlots)
        return nullptr;
    return &s.modules[size_t(module)];
}

const SensorReading *readingAt(const QVector<SensorReading> &readings, int reading)
{
    if (reading < 0 || reading >= readings.size())
        return nullptr;
    return &readings[reading];
}

const SensorDevice *sensorAt(LibraryState &s, int sensor)
{
    if (!s.ready || sensor < 0 || sensor >= s.sensors.size())
        return nullptr;
    return &s.sensors[sensor];
}

double readReading(const QVector<SensorReading> *readings, int reading, char *label, int labelSize,
                   char *unit, int unitSize)
{
    writeText(QString(), label, labelSize);
    writeText(QString(), unit, unitSize);
    const SensorReading *r = readings ? readingAt(*readings, reading) : nullptr;
    if (!r)
        return 0.0;
    writeText(r->label, label, labelSize);
    writeText(r->unit, unit, unitSize);
    return r->value;
}

} // namespace

extern "C" {

int veltrima_sensors_configure(const char *config)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.ready = false;
    return machine(s).configure(config ? QString::fromUtf8(config) : QString()) ? 0 : 1;
}

int ordinal_338(int flags)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    const int result = machine(s).initialise(flags);
    s.ready = result == 0;
    s.sensors.clear();
    if (!s.ready)
        return result;
    for (int i = 0; i < kSensorModuleSlots; ++i)
        s.modules[size_t(i)] = s.machine->module(i);
    s.board = s.machine->board();
    return 0;
}

void ordinal_501(void)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.machine)
        s.machine->shutdown();
    s.ready = false;
    s.sensors.clear();
}

int ordinal_448(int module)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    const MemoryModule *m = moduleAt(s, module);
    return m ? m->sizeMB : 0;
}

int ordinal_413(int module, char *buffer, int size)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    const MemoryModule *m = moduleAt(s, module);
    return m && m->sizeMB > 0 ? writeText(m->manufacturer, buffer, size) : writeText(QString(), buffer, size);
}

int ordinal_33(int module, char *buffer, int size)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    const MemoryModule *m = moduleAt(s, module);
    return m && m->sizeMB > 0 ? writeText(m->type, buffer, size) : writeText(QString(), buffer, size);
}

int ordinal_35(int module, char *buffer, int size)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    const MemoryModule *m = moduleAt(s, module);
    return m && m->sizeMB > 0 ? writeText(m->text, buffer, size) : writeText(QString(), buffer, size);
}

int ordinal_987(int module, char *buffer, int size)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    const MemoryModule *m = moduleAt(s, module);
    return m && m->sizeMB > 0 ? writeText(m->partNumber, buffer, size) : writeText(QString(), buffer, size);
}

double ordinal_873(int module)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    const MemoryModule *m = moduleAt(s, module);
    return m && m->sizeMB > 0 ? m->frequency : -1.0;
}

double ordinal_317(void)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.ready ? s.board.clock : -1.0;
}

int ordinal_480(char *buffer, int size)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return writeText(s.ready ? s.board.infoText : QString(), buffer, size);
}

int ordinal_795(char *buffer, int size)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return writeText(s.ready ? s.board.chipset : QString(), buffer, size);
}

double ordinal_493(void)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.ready ? s.board.casLatency : -1.0;
}

int ordinal_215(void)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.ready ? s.board.tRCD : -1;
}

int ordinal_404(void)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.ready ? s.board.timing3 : -1;
}

int ordinal_558(void)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.ready ? s.board.timing4 : -1;
}

int ordinal_256(void)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.ready ? s.board.channelCount : -1;
}

int ordinal_462(void)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.ready)
        return 0;
    s.sensors = s.machine->readSensors();
    return s.sensors.size();
}

int ordinal_947(int sensor, char *buffer, int size)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    const SensorDevice *d = sensorAt(s, sensor);
    return writeText(d ? d->name : QString(), buffer, size);
}

int ordinal_280(int sensor)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return sensorAt(s, sensor) ? 1 : 0;
}

double ordinal_253(int sensor, int reading, char *label, int labelSize)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    const SensorDevice *d = sensorAt(s, sensor);
    return readReading(d ? &d->temperatures : nullptr, reading, label, labelSize, nullptr, 0);
}

double ordinal_475(int sensor, int reading, char *label, int labelSize, char *unit, int unitSize)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    const SensorDevice *d = sensorAt(s, sensor);
    return readReading(d ? &d->others : nullptr, reading, label, labelSize, unit, unitSize);
}

int ordinal_129(void) { return 0; }
int ordinal_590(void) { return 0; }
int ordinal_631(void) { return 0; }
int ordinal_754(void) { return 0; }
int ordinal_808(void) { return 0; }
int ordinal_923(void) { return 0; }

} // extern "C"

#include "ScenarioMachine.h"

#include "BoundedFile.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <atomic>

namespace {

// A described machine is a few kilobytes; this leaves room for long recorded series.
constexpr qint64 kMaxScenarioBytes = 4 * 1024 * 1024;

// What tests may ask the library about its calls.
std::atomic<int> initialiseFlags{-1};
std::atomic<int> shutdownCount{0};

// A text of the scenario: null when absent, so the library reports it as not available.
QString textOf(const QJsonObject &object, const char *key)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isString())
        return QString();
    const QString text = value.toString();
    return text.isNull() ? QStringLiteral("") : text;
}

double numberOf(const QJsonObject &object, const char *key, double absent)
{
    const QJsonValue value = object.value(QLatin1String(key));
    return value.isDouble() ? value.toDouble() : absent;
}

int intOf(const QJsonObject &object, const char *key, int absent)
{
    return int(std::clamp(numberOf(object, key, absent), -1.0e9, 1.0e9));
}

} // namespace

SensorMachine *createSensorMachine()
{
    return new ScenarioMachine;
}

extern "C" __attribute__((visibility("default"))) int veltrima_scenario_init_flags(void)
{
    return initialiseFlags.load();
}

extern "C" __attribute__((visibility("default"))) int veltrima_scenario_shutdown_count(void)
{
    return shutdownCount.load();
}

bool ScenarioMachine::configure(const QString &config)
{
    m_path = config;
    m_loaded = false;
    // The path comes from a file the user edits: a FIFO or a device there must neither
    // hold the reader nor make it read without end.
    const BoundedFile file = BoundedFile::read(config, kMaxScenarioBytes);
    if (!file.isOk()) {
        qWarning() << "Scenario sensors: scenario refused:" << config << file.reason();
        return false;
    }
    return load(file.contents());
}

bool ScenarioMachine::load(const QByteArray &json)
{
    m_loaded = false;
    for (MemoryModule &m : m_modules)
        m = MemoryModule();
    m_board = BoardValues();
    m_sensors.clear();

    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (!document.isObject()) {
        qWarning() << "Scenario sensors: not a scenario:" << error.errorString();
        return false;
    }
    const QJsonObject root = document.object();
    m_initResult = intOf(root, "initResult", 0);

    const QJsonObject board = root.value(QStringLiteral("board")).toObject();
    m_board.clock = numberOf(board, "clock", -1.0);
    m_board.infoText = textOf(board, "infoText");
    m_board.chipset = textOf(board, "chipset");
    m_board.casLatency = numberOf(board, "casLatency", -1.0);
    m_board.tRCD = intOf(board, "tRCD", -1);
    m_board.timing3 = intOf(board, "timing3", -1);
    m_board.timing4 = intOf(board, "timing4", -1);
    m_board.channelCount = intOf(board, "channelCount", -1);

    for (const QJsonValue &value : root.value(QStringLiteral("modules")).toArray()) {
        const QJsonObject object = value.toObject();
        const double index = numberOf(object, "index", -1);
        if (index < 0 || index >= kSensorModuleSlots || index != int(index)) {
            qWarning() << "Scenario sensors: module index out of range:" << index;
            return false;
        }
        MemoryModule &m = m_modules[int(index)];
        m.sizeMB = intOf(object, "size", 0);
        m.manufacturer = textOf(object, "manufacturer");
        m.partNumber = textOf(object, "partNumber");
        m.type = textOf(object, "type");
        m.text = textOf(object, "text");
        m.frequency = numberOf(object, "frequency", -1.0);
    }

    for (const QJsonValue &value : root.value(QStringLiteral("sensors")).toArray()) {
        const QJsonObject object = value.toObject();
        ScenarioSensor sensor;
        sensor.name = textOf(object, "name");
        if (sensor.name.isNull()
            || !parseReadings(object.value(QStringLiteral("temperatures")), sensor.temperatures)
            || !parseReadings(object.value(QStringLiteral("readings")), sensor.others)) {
            qWarning() << "Scenario sensors: a sensor without a name or with a bad reading";
            return false;
        }
        m_sensors.append(sensor);
    }
    m_loaded = true;
    return true;
}

bool ScenarioMachine::parseReadings(const QJsonValue &json, QVector<ScenarioReading> &readings)
{
    if (json.isUndefined())
        return true;
    if (!json.isArray())
        return false;
    for (const QJsonValue &value : json.toArray()) {
        const QJsonObject object = value.toObject();
        ScenarioReading reading;
        reading.label = textOf(object, "label");
        reading.unit = textOf(object, "unit");
        if (reading.label.isNull() || !reading.value.parse(object.value(QStringLiteral("value"))))
            return false;
        readings.append(reading);
    }
    return true;
}

int ScenarioMachine::initialise(int flags)
{
    initialiseFlags = flags;
    if (m_path.isEmpty())
        return kNoScenario;
    if (!m_loaded)
        return kBadScenario;
    m_scan = -1;
    m_clock.start();
    return m_initResult;
}

void ScenarioMachine::shutdown()
{
    ++shutdownCount;
}

MemoryModule ScenarioMachine::module(int index) const
{
    if (index < 0 || index >= kSensorModuleSlots)
        return MemoryModule();
    return m_modules[index];
}

BoardValues ScenarioMachine::board() const
{
    return m_board;
}

QVector<SensorDevice> ScenarioMachine::readSensors()
{
    ++m_scan;
    const double seconds = m_clock.isValid() ? m_clock.elapsed() / 1000.0 : 0.0;
    QVector<SensorDevice> devices;
    for (const ScenarioSensor &sensor : qAsConst(m_sensors)) {
        SensorDevice device;
        device.name = sensor.name;
        for (const ScenarioReading &r : sensor.temperatures) {
            if (const std::optional<double> value = r.value.at(m_scan, seconds))
                device.temperatures.append({r.label, *value, r.unit});
        }
        for (const ScenarioReading &r : sensor.others) {
            if (const std::optional<double> value = r.value.at(m_scan, seconds))
                device.others.append({r.label, *value, r.unit});
        }
        devices.append(device);
    }
    return devices;
}

// Plays a machine described in a JSON file: modules, board values and sensors whose
// readings may change from scan to scan or over time. Used by tests and the demo.
#pragma once

#include "ScenarioValue.h"
#include "SensorMachine.h"

#include <QElapsedTimer>
#include <QJsonObject>

class ScenarioMachine : public SensorMachine
{
public:
    // Error codes of initialise().
    static constexpr int kNoScenario = 2;
    static constexpr int kBadScenario = 3;

    bool configure(const QString &config) override;
    int initialise(int flags) override;
    void shutdown() override;
    MemoryModule module(int index) const override;
    BoardValues board() const override;
    QVector<SensorDevice> readSensors() override;

    // Reads a scenario from JSON text; false (with the reason logged) when it is not one.
    bool load(const QByteArray &json);

private:
    struct ScenarioReading {
        QString label;
        QString unit;
        ScenarioValue value;
    };
    struct ScenarioSensor {
        QString name;
        QVector<ScenarioReading> temperatures;
        QVector<ScenarioReading> others;
    };

    bool parseReadings(const QJsonValue &json, QVector<ScenarioReading> &readings);

    QString m_path;
    bool m_loaded = false;
    int m_initResult = 0;
    MemoryModule m_modules[kSensorModuleSlots];
    BoardValues m_board;
    QVector<ScenarioSensor> m_sensors;
    QElapsedTimer m_clock;
    int m_scan = 0;
};

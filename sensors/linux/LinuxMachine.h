// The real readings of this machine. Every reader takes a root folder that stands for
// "/", so tests run the machine on a fixture tree.
#pragma once

#include "SensorMachine.h"

class LinuxMachine : public SensorMachine
{
public:
    bool configure(const QString &config) override;
    int initialise(int flags) override;
    void shutdown() override;
    MemoryModule module(int index) const override;
    BoardValues board() const override;
    QVector<SensorDevice> readSensors() override;

private:
    QString m_root = QStringLiteral("/");
    MemoryModule m_modules[kSensorModuleSlots];
    BoardValues m_board;
};

// The real readings of this machine. Every reader takes a root folder that stands for
// "/", so tests run the machine on a fixture tree.
#pragma once

#include "SensorMachine.h"

class LinuxMachine : public SensorMachine
{
public:
    // Error code of initialise() when the configured root folder does not exist: the
    // machine asked for is not there, and the real one must not stand in for it.
    static constexpr int kNoRoot = 2;

    bool configure(const QString &config) override;
    int initialise(int flags) override;
    void shutdown() override;
    MemoryModule module(int index) const override;
    BoardValues board() const override;
    QVector<SensorDevice> readSensors() override;

private:
    QString m_root = QStringLiteral("/");
    bool m_rootFound = true;
    MemoryModule m_modules[kSensorModuleSlots];
    BoardValues m_board;
};

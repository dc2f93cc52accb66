#include "LinuxMachine.h"

#include "BoardReader.h"
#include "HwmonReader.h"
#include "MeminfoReader.h"
#include "SmbiosReader.h"

#include <QDir>

bool LinuxMachine::configure(const QString &config)
{
    m_root = config.isEmpty() ? QStringLiteral("/") : config;
    m_rootFound = QDir(m_root).exists();
    return m_rootFound;
}

int LinuxMachine::initialise(int)
{
    if (!m_rootFound)
        return kNoRoot;
    for (MemoryModule &m : m_modules)
        m = MemoryModule();
    m_board = BoardValues();

    const QVector<SmbiosReader::Slot> memorySlots = SmbiosReader(m_root).read();
    for (int i = 0; i < memorySlots.size() && i < kSensorModuleSlots; ++i) {
        m_modules[i] = memorySlots.at(i).module;
        // The memory clock is half the transfer rate the firmware configured.
        if (m_board.clock < 0 && memorySlots.at(i).module.sizeMB > 0 && memorySlots.at(i).configuredSpeedMTs > 0)
            m_board.clock = memorySlots.at(i).configuredSpeedMTs / 2.0;
    }
    const BoardReader board(m_root);
    m_board.infoText = board.boardText();
    m_board.chipset = board.chipset();
    return 0;
}

void LinuxMachine::shutdown()
{
}

MemoryModule LinuxMachine::module(int index) const
{
    if (index < 0 || index >= kSensorModuleSlots)
        return MemoryModule();
    return m_modules[index];
}

BoardValues LinuxMachine::board() const
{
    return m_board;
}

QVector<SensorDevice> LinuxMachine::readSensors()
{
    QVector<SensorDevice> devices = HwmonReader(m_root).read();
    const SensorDevice memory = MeminfoReader(m_root).read();
    if (!memory.others.isEmpty())
        devices.append(memory);
    return devices;
}

// Temperatures from the hwmon devices under <root>/sys/class/hwmon: the CPU packages
// (Intel coretemp, AMD k10temp) and the DIMM sensors (jc42 for DDR4, spd5118 for DDR5).
#pragma once

#include "SensorMachine.h"

class HwmonReader
{
public:
    explicit HwmonReader(const QString &root);

    // One sensor per CPU package, named "CPU [#n]: <model>", and one sensor holding a
    // "DIMM[n] Temperature" reading per DIMM sensor. Devices that give no reading are left out.
    QVector<SensorDevice> read() const;

    // The module number of a DIMM sensor at an SMBus address: its slot on the bus
    // (the low three address bits), after the slots of the buses before it. -1 when the
    // address is not a DIMM sensor's.
    static int dimmNumber(int busRank, int address);

private:
    QString cpuModel() const;

    QString m_root;
};

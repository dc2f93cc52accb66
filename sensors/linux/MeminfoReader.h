// Memory use as `free` shows it, from <root>/proc/meminfo.
#pragma once

#include "SensorMachine.h"

class MeminfoReader
{
public:
    explicit MeminfoReader(const QString &root);

    // "System: Memory" with used and available MB and the load in percent; no readings
    // when meminfo lacks MemTotal or MemAvailable.
    SensorDevice read() const;

private:
    QString m_path;
};

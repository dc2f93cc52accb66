// The reader's binding of a sensor library: opened by file name, every one of the
// 27 entry points required, closed again when the binding ends.
#pragma once

#include "veltrima_sensors.h"

#include <QString>

class SensorLibrary
{
public:
    SensorLibrary() = default;
    ~SensorLibrary();
    SensorLibrary(const SensorLibrary &) = delete;
    SensorLibrary &operator=(const SensorLibrary &) = delete;

    // False, with the reason in errorString(), when the file cannot be opened or an
    // entry point is missing; the binding is then empty.
    bool load(const QString &path);
    void unload();
    bool isLoaded() const { return m_handle != nullptr; }
    QString errorString() const { return m_error; }

    // Hands the library its configuration (may be empty) when it takes one; true when
    // accepted or when the library takes none.
    bool configure(const QString &config) const;

    decltype(&::ordinal_338) initialise = nullptr;
    decltype(&::ordinal_501) shutdown = nullptr;
    decltype(&::ordinal_448) moduleSize = nullptr;
    decltype(&::ordinal_413) moduleManufacturer = nullptr;
    decltype(&::ordinal_33) moduleType = nullptr;
    decltype(&::ordinal_35) moduleText = nullptr;
    decltype(&::ordinal_987) modulePartNumber = nullptr;
    decltype(&::ordinal_873) moduleFrequency = nullptr;
    decltype(&::ordinal_317) memoryClock = nullptr;
    decltype(&::ordinal_480) memoryInfoText = nullptr;
    decltype(&::ordinal_795) chipset = nullptr;
    decltype(&::ordinal_493) casLatency = nullptr;
    decltype(&::ordinal_215) tRCD = nullptr;
    decltype(&::ordinal_404) timing3 = nullptr;
    decltype(&::ordinal_558) timing4 = nullptr;
    decltype(&::ordinal_256) channelCount = nullptr;
    decltype(&::ordinal_462) sensorCount = nullptr;
    decltype(&::ordinal_947) sensorName = nullptr;
    decltype(&::ordinal_280) prepareSensor = nullptr;
    decltype(&::ordinal_253) temperatureReading = nullptr;
    decltype(&::ordinal_475) otherReading = nullptr;

private:
    template <typename Function>
    bool bind(Function &target, const char *symbol);

    void *m_handle = nullptr;
    decltype(&::veltrima_sensors_configure) m_configure = nullptr;
    QString m_error;
};

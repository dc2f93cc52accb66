// A loaded HAL server: its shared object stays loaded for the process's life, since
// objects it handed out may live that long.
#pragma once

#include "veltrima_hal.h"

#include <QString>

#include <optional>

class HalServer
{
public:
    // Loads the server's shared object (once per path) and resolves its two entry points.
    static std::optional<HalServer> load(const QString &path, QString *error = nullptr);

    VeltrimaHalResult createInstance(const VeltrimaHalGuid &clsid, const VeltrimaHalGuid &iid, void **object) const;
    void freeString(char *text) const;
    // Hands the server a handler for changes of its device list (null withdraws it);
    // false when the server's devices never change (it has no such entry point).
    bool watchDevices(VeltrimaHalDevicesChangedFn handler, void *context) const;
    bool canWatchDevices() const { return m_watch != nullptr; }

    bool operator==(const HalServer &other) const { return m_create == other.m_create; }

private:
    HalServer(VeltrimaHalCreateInstanceFn create, VeltrimaHalFreeStringFn freeString, VeltrimaHalWatchDevicesFn watch)
        : m_create(create), m_freeString(freeString), m_watch(watch)
    {
    }

    VeltrimaHalCreateInstanceFn m_create;
    VeltrimaHalFreeStringFn m_freeString;
    VeltrimaHalWatchDevicesFn m_watch; // optional
};

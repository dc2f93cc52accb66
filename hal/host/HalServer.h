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

private:
    HalServer(VeltrimaHalCreateInstanceFn create, VeltrimaHalFreeStringFn freeString)
        : m_create(create), m_freeString(freeString)
    {
    }

    VeltrimaHalCreateInstanceFn m_create;
    VeltrimaHalFreeStringFn m_freeString;
};

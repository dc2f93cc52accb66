// The HAL side of module discovery: asking one registered server for its devices and
// their descriptions, and choosing the memory modules among them. It touches no engine
// state, so the calls into a server (which may take their time, or never return) can run
// on a thread of their own while the engine decides how long to wait.
#pragma once

#include "HalDescription.h"
#include "HalRegistry.h"
#include "HalServer.h"

#include "LightingTypes.h"
#include "veltrima_hal.h"

#include <QVector>

#include <cstdint>
#include <optional>

// What one server reported. Owns its references until they are handed on or released.
struct HalServerScan {
    QString name;
    VeltrimaHalObject *hal = nullptr;     // the creation reference and one added: two in all
    QVector<VeltrimaHalDevice *> devices; // one reference each
    // Each device's own description, or none when it was refused.
    QVector<std::optional<HalDescription>> descriptions;
    std::optional<HalServer> server; // the loaded server, when it yielded a HAL object
};

struct AcceptedModule {
    VeltrimaHalDevice *device;
    int ledNum;
};

class HalDiscovery
{
public:
    // Creates the server's HAL object and reads its devices and their descriptions. No HAL
    // object when the server cannot be created, or reports no device and cannot tell when
    // some come (it is released then).
    static HalServerScan scan(const HalRegistryEntry &server, bool debug);

    // The memory modules among the scanned devices, in device order, at most one per
    // module position; each carries its LED count, kept to 0 to 12.
    static QVector<AcceptedModule> accept(const HalServerScan &scan, bool debug);

    // Gives back the devices that are not in `kept`, and the HAL object when `kept` is empty.
    static void releaseExcept(const HalServerScan &scan, const QVector<AcceptedModule> &kept);
    static void release(const HalServerScan &scan) { releaseExcept(scan, {}); }
    // Gives back a HAL object's two references.
    static void releaseObject(VeltrimaHalObject *hal);
};

// A test-only HAL server that reports whatever descriptions a test wrote for it: the
// files device0.xml, device1.xml, ... in <XDG_DATA_HOME>/veltrima/hal-scripted/<CLSID>/,
// one device per file, the text handed out as it is (malformed on purpose where a test
// wants that). A file enumerate-delay-ms in the folder makes every Enumerate call take
// that long, as a slow or hung server would. A CLSID without a folder cannot be created.
// It counts its live objects and the colour calls, which a test reads through
// ScriptedHal_Counters.
#include "veltrima_hal.h"

#include "HalGuid.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

std::atomic<int> g_aliveObjects{0};
std::atomic<int> g_colourCalls{0};

struct ScriptedObject;

struct ScriptedDevice {
    VeltrimaHalDevice base;
    ScriptedObject *owner;
    QByteArray description;
};

struct ScriptedObject {
    VeltrimaHalObject base;
    std::atomic<std::uint32_t> refs{1};
    std::vector<ScriptedDevice *> devices;
    int enumerateDelayMs = 0;
};

uint32_t objectAddRef(VeltrimaHalObject *self)
{
    return ++reinterpret_cast<ScriptedObject *>(self)->refs;
}

uint32_t objectRelease(VeltrimaHalObject *self)
{
    auto *object = reinterpret_cast<ScriptedObject *>(self);
    const std::uint32_t left = --object->refs;
    if (left == 0) {
        for (ScriptedDevice *device : object->devices)
            delete device;
        delete object;
        --g_aliveObjects;
    }
    return left;
}

VeltrimaHalResult objectQueryInterface(VeltrimaHalObject *, const VeltrimaHalGuid *, void **object)
{
    *object = nullptr;
    return VELTRIMA_HAL_E_NOINTERFACE;
}

VeltrimaHalResult deviceQueryInterface(VeltrimaHalDevice *, const VeltrimaHalGuid *, void **object)
{
    *object = nullptr;
    return VELTRIMA_HAL_E_NOINTERFACE;
}

uint32_t deviceAddRef(VeltrimaHalDevice *self)
{
    return objectAddRef(&reinterpret_cast<ScriptedDevice *>(self)->owner->base);
}

uint32_t deviceRelease(VeltrimaHalDevice *self)
{
    return objectRelease(&reinterpret_cast<ScriptedDevice *>(self)->owner->base);
}

VeltrimaHalResult deviceGetCapabilities(VeltrimaHalDevice *self, char **description)
{
    *description = strdup(reinterpret_cast<ScriptedDevice *>(self)->description.constData());
    return VELTRIMA_HAL_OK;
}

VeltrimaHalResult deviceSetColors(VeltrimaHalDevice *, int32_t, const uint32_t *, int32_t)
{
    ++g_colourCalls;
    return VELTRIMA_HAL_OK;
}

const VeltrimaHalDeviceVtbl kDeviceVtbl = {deviceQueryInterface, deviceAddRef, deviceRelease,
                                           deviceGetCapabilities, deviceSetColors};

VeltrimaHalResult objectEnumerate(VeltrimaHalObject *self, VeltrimaHalDevice **devices, uint32_t *count)
{
    auto *object = reinterpret_cast<ScriptedObject *>(self);
    if (object->enumerateDelayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(object->enumerateDelayMs));
    const auto available = std::uint32_t(object->devices.size());
    if (!devices) {
        *count = available;
        return VELTRIMA_HAL_OK;
    }
    const std::uint32_t filled = std::min(*count, available);
    for (std::uint32_t i = 0; i < filled; ++i) {
        deviceAddRef(&object->devices[i]->base);
        devices[i] = &object->devices[i]->base;
    }
    *count = filled;
    return VELTRIMA_HAL_OK;
}

const VeltrimaHalObjectVtbl kObjectVtbl = {objectQueryInterface, objectAddRef, objectRelease, objectEnumerate};

} // namespace

extern "C" __attribute__((visibility("default"))) VeltrimaHalResult
VeltrimaHal_CreateInstance(const VeltrimaHalGuid *clsid, const VeltrimaHalGuid *iid, void **object)
{
    *object = nullptr;
    if (!HalGuid::equal(*iid, HalGuid::halInterfaceId()))
        return VELTRIMA_HAL_E_NOINTERFACE;
    const QDir folder(QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + QStringLiteral("/veltrima/hal-scripted/")
                      + HalGuid::toString(*clsid));
    if (!folder.exists())
        return VELTRIMA_HAL_E_CLASSNOTREG;

    auto *created = new ScriptedObject;
    created->base.vtbl = &kObjectVtbl;
    QFile delay(folder.filePath(QStringLiteral("enumerate-delay-ms")));
    if (delay.open(QIODevice::ReadOnly))
        created->enumerateDelayMs = delay.readAll().trimmed().toInt();
    for (int i = 0;; ++i) {
        QFile file(folder.filePath(QStringLiteral("device%1.xml").arg(i)));
        if (!file.open(QIODevice::ReadOnly))
            break;
        auto *device = new ScriptedDevice;
        device->base.vtbl = &kDeviceVtbl;
        device->owner = created;
        device->description = file.readAll();
        created->devices.push_back(device);
    }
    ++g_aliveObjects;
    *object = &created->base;
    return VELTRIMA_HAL_OK;
}

extern "C" __attribute__((visibility("default"))) void VeltrimaHal_FreeString(char *text)
{
    std::free(text);
}

extern "C" __attribute__((visibility("default"))) void ScriptedHal_Counters(int *aliveObjects, int *colourCalls)
{
    *aliveObjects = g_aliveObjects.load();
    *colourCalls = g_colourCalls.load();
}

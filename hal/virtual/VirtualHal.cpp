// The virtual DIMM HAL: a server that behaves like a HAL driving memory modules, for
// building, testing and demonstrating without the hardware. Its devices are set up by
// VirtualHalConfig; what they receive is published by VirtualHalPublisher.
#include "veltrima_hal.h"

#include "HalGuid.h"
#include "VirtualHalConfig.h"
#include "VirtualHalPublisher.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct VirtualObject;

struct VirtualDevice {
    VeltrimaHalDevice base;
    std::atomic<std::uint32_t> refs{1};
    VirtualObject *owner;
    int index;
    QByteArray description;
};

struct VirtualObject {
    VeltrimaHalObject base;
    std::atomic<std::uint32_t> refs{1};
    VirtualHalPublisher *publisher;
    std::vector<VirtualDevice *> devices;
};

QByteArray describe(const VirtualHalDeviceConfig &device, int index)
{
    QByteArray xml;
    xml += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<hal>";
    xml += "<version>1.0.0</version>";
    xml += "<type>" + QByteArray::number(device.type) + "</type>";
    xml += "<device><name>" + device.name.toHtmlEscaped().toUtf8() + "</name>";
    xml += "<id>" + QByteArray::number(index) + "</id>";
    xml += "<layout><led_count>" + QByteArray::number(device.ledCount) + "</led_count>";
    xml += "<size><width>" + QByteArray::number(device.ledCount) + "</width><height>1</height></size>";
    xml += "<led_name>";
    for (int i = 0; i < device.ledCount && i < 64; ++i)
        xml += "<led>LED " + QByteArray::number(i) + "</led>";
    xml += "</led_name></layout>";
    xml += "<supported_effect>"
           "<effect><name>Direct</name><id>0</id><synchronizable>1</synchronizable></effect>"
           "<effect><name>Rainbow</name><id>5</id><synchronizable>0</synchronizable></effect>"
           "</supported_effect>";
    xml += "</device></hal>\n";
    return xml;
}

uint32_t objectAddRef(VeltrimaHalObject *self);
uint32_t objectRelease(VeltrimaHalObject *self);

VeltrimaHalResult deviceQueryInterface(VeltrimaHalDevice *self, const VeltrimaHalGuid *, void **object)
{
    if (!self || !object)
        return VELTRIMA_HAL_E_POINTER;
    *object = nullptr;
    return VELTRIMA_HAL_E_NOINTERFACE;
}

// A device's references keep its object (which owns the device's memory) alive.
uint32_t deviceAddRef(VeltrimaHalDevice *self)
{
    auto *device = reinterpret_cast<VirtualDevice *>(self);
    objectAddRef(&device->owner->base);
    return ++device->refs;
}

uint32_t deviceRelease(VeltrimaHalDevice *self)
{
    auto *device = reinterpret_cast<VirtualDevice *>(self);
    const std::uint32_t left = --device->refs;
    objectRelease(&device->owner->base);
    return left;
}

VeltrimaHalResult deviceGetCapabilities(VeltrimaHalDevice *self, char **description)
{
    if (!self || !description)
        return VELTRIMA_HAL_E_POINTER;
    auto *device = reinterpret_cast<VirtualDevice *>(self);
    *description = strdup(device->description.constData());
    if (!*description)
        return VELTRIMA_HAL_E_FAIL;
    if (device->owner->publisher)
        device->owner->publisher->capabilityQueried(device->index);
    return VELTRIMA_HAL_OK;
}

VeltrimaHalResult deviceSetColors(VeltrimaHalDevice *self, int32_t effect, const uint32_t *colors, int32_t count)
{
    if (!self || (count > 0 && !colors))
        return VELTRIMA_HAL_E_POINTER;
    auto *device = reinterpret_cast<VirtualDevice *>(self);
    if (device->owner->publisher)
        device->owner->publisher->coloursReceived(device->index, effect, colors, count);
    return VELTRIMA_HAL_OK;
}

const VeltrimaHalDeviceVtbl kDeviceVtbl = {deviceQueryInterface, deviceAddRef, deviceRelease,
                                           deviceGetCapabilities, deviceSetColors};

VeltrimaHalResult objectQueryInterface(VeltrimaHalObject *self, const VeltrimaHalGuid *iid, void **object)
{
    if (!self || !iid || !object)
        return VELTRIMA_HAL_E_POINTER;
    *object = nullptr;
    if (!HalGuid::equal(*iid, HalGuid::halInterfaceId()))
        return VELTRIMA_HAL_E_NOINTERFACE;
    objectAddRef(self);
    *object = self;
    return VELTRIMA_HAL_OK;
}

uint32_t objectAddRef(VeltrimaHalObject *self)
{
    return ++reinterpret_cast<VirtualObject *>(self)->refs;
}

uint32_t objectRelease(VeltrimaHalObject *self)
{
    auto *object = reinterpret_cast<VirtualObject *>(self);
    const std::uint32_t left = --object->refs;
    if (left != 0)
        return left;
    if (object->publisher)
        object->publisher->objectDestroyed();
    for (VirtualDevice *device : object->devices)
        delete device;
    delete object;
    return 0;
}

VeltrimaHalResult objectEnumerate(VeltrimaHalObject *self, VeltrimaHalDevice **devices, uint32_t *count)
{
    if (!self || !count)
        return VELTRIMA_HAL_E_POINTER;
    auto *object = reinterpret_cast<VirtualObject *>(self);
    const auto available = std::uint32_t(object->devices.size());
    if (!devices) {
        *count = available;
        return VELTRIMA_HAL_OK;
    }
    const std::uint32_t filled = std::min(*count, available);
    for (std::uint32_t i = 0; i < filled; ++i) {
        VirtualDevice *device = object->devices[i];
        deviceAddRef(&device->base);
        devices[i] = &device->base;
    }
    *count = filled;
    return VELTRIMA_HAL_OK;
}

const VeltrimaHalObjectVtbl kObjectVtbl = {objectQueryInterface, objectAddRef, objectRelease, objectEnumerate};

} // namespace

extern "C" __attribute__((visibility("default"))) VeltrimaHalResult
VeltrimaHal_CreateInstance(const VeltrimaHalGuid *clsid, const VeltrimaHalGuid *iid, void **object)
{
    if (!clsid || !iid || !object)
        return VELTRIMA_HAL_E_POINTER;
    *object = nullptr;
    if (!HalGuid::equal(*iid, HalGuid::halInterfaceId()))
        return VELTRIMA_HAL_E_NOINTERFACE;

    const QString id = HalGuid::toString(*clsid);
    const VirtualHalConfig config = VirtualHalConfig::load(id);
    auto *created = new VirtualObject;
    created->base.vtbl = &kObjectVtbl;
    created->publisher = VirtualHalPublisher::forServer(id);
    for (int i = 0; i < config.devices.size(); ++i) {
        auto *device = new VirtualDevice;
        device->base.vtbl = &kDeviceVtbl;
        device->refs = 0; // counts the references handed out
        device->owner = created;
        device->index = i;
        device->description = describe(config.devices.at(i), i);
        created->devices.push_back(device);
    }
    if (created->publisher)
        created->publisher->objectCreated(config);
    *object = &created->base;
    return VELTRIMA_HAL_OK;
}

extern "C" __attribute__((visibility("default"))) void VeltrimaHal_FreeString(char *text)
{
    std::free(text);
}

// The virtual DIMM HAL: a server that behaves like a HAL driving memory modules, for
// building, testing and demonstrating without the hardware. Its devices are set up by
// VirtualHalConfig; what they receive is published by VirtualHalPublisher.
#include "veltrima_hal.h"

#include "HalGuid.h"
#include "HalRefCounting.h"
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
    std::atomic<std::uint32_t> refs{0}; // the references handed out
    VirtualObject *owner;
    int index;
    QByteArray description;
};

struct VirtualObject {
    VeltrimaHalObject base;
    std::atomic<std::uint32_t> refs{1};
    VirtualHalPublisher *publisher;
    std::vector<VirtualDevice *> devices;

    static void destroy(VirtualObject *object)
    {
        if (object->publisher)
            object->publisher->objectDestroyed();
        for (VirtualDevice *device : object->devices)
            delete device;
        delete object;
    }
};

using Refs = HalRefCounting<VirtualObject, VirtualDevice>;

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

VeltrimaHalResult deviceGetCapabilities(VeltrimaHalDevice *self, char **description)
{
    if (!self || !description)
        return VELTRIMA_HAL_E_POINTER;
    VirtualDevice *device = Refs::device(self);
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
    VirtualDevice *device = Refs::device(self);
    if (device->owner->publisher)
        device->owner->publisher->coloursReceived(device->index, effect, colors, count);
    return VELTRIMA_HAL_OK;
}

const VeltrimaHalDeviceVtbl kDeviceVtbl = {Refs::deviceQueryInterface, Refs::deviceAddRef, Refs::deviceRelease,
                                           deviceGetCapabilities, deviceSetColors};

VeltrimaHalResult objectEnumerate(VeltrimaHalObject *self, VeltrimaHalDevice **devices, uint32_t *count)
{
    if (!self || !count)
        return VELTRIMA_HAL_E_POINTER;
    return Refs::enumerate(Refs::object(self)->devices, devices, count);
}

const VeltrimaHalObjectVtbl kObjectVtbl = {Refs::objectQueryInterface, Refs::objectAddRef, Refs::objectRelease,
                                           objectEnumerate};

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

// The OpenRGB HAL: a server that drives the memory controllers (and, on request, other
// devices) of an OpenRGB SDK server, so that the product lights real modules on machines
// where OpenRGB already talks to them. Each HAL object holds one connection, run by
// OrgbConnection on a thread of its own; the device calls only hand data to it.
#include "veltrima_hal.h"

#include "HalGuid.h"
#include "HalRefCounting.h"
#include "OpenRgbHalConfig.h"
#include "OrgbConnection.h"
#include "OrgbLatency.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// Enumerate waits this long for the first listing: a version-0 server costs a second of
// it, and the host passes over a server that takes three.
constexpr std::chrono::milliseconds kListingWait{2000};

struct OpenRgbObject;

struct OpenRgbDevice {
    VeltrimaHalDevice base;
    std::atomic<std::uint32_t> refs{0};
    OpenRgbObject *owner;
    int index;
    QByteArray description;
};

struct OpenRgbObject {
    VeltrimaHalObject base;
    std::atomic<std::uint32_t> refs{1};
    OpenRgbHalConfig config;
    OrgbLatency latency;
    std::unique_ptr<OrgbConnection> connection;
    std::mutex enumerateMutex;
    bool enumerated = false;
    std::vector<OpenRgbDevice *> devices;

    static void destroy(OpenRgbObject *object);
};

using Refs = HalRefCounting<OpenRgbObject, OpenRgbDevice>;

// The host's handler for device-list changes, shared by every object of the server.
struct DeviceWatch {
    std::mutex mutex;
    VeltrimaHalDevicesChangedFn handler = nullptr;
    void *context = nullptr;
};

DeviceWatch &deviceWatch()
{
    static DeviceWatch watch;
    return watch;
}

void devicesChanged()
{
    DeviceWatch &watch = deviceWatch();
    std::lock_guard<std::mutex> lock(watch.mutex);
    if (watch.handler)
        watch.handler(watch.context);
}

QByteArray escaped(const std::string &text)
{
    return QString::fromStdString(text).toHtmlEscaped().toUtf8();
}

QByteArray describe(const OrgbController &controller, int index)
{
    const std::size_t leds = controller.leds.empty() ? controller.colors.size() : controller.leds.size();
    QByteArray xml;
    xml += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<hal>";
    xml += "<version>openrgb-sdk</version>";
    // Every device driven is shown to the engine as a memory module: that is what it drives.
    xml += "<type>" + QByteArray::number(VELTRIMA_HAL_TYPE_MEMORY) + "</type>";
    xml += "<device><name>" + escaped(controller.name) + "</name>";
    xml += "<id>" + QByteArray::number(index) + "</id>";
    xml += "<layout><led_count>" + QByteArray::number(qulonglong(leds)) + "</led_count>";
    xml += "<size><width>" + QByteArray::number(qulonglong(leds)) + "</width><height>1</height></size>";
    xml += "<led_name>";
    for (std::size_t i = 0; i < controller.leds.size() && i < 64; ++i)
        xml += "<led>" + escaped(controller.leds[i].name) + "</led>";
    xml += "</led_name></layout><supported_effect>";
    // Frames sent one by one stay in step across modules; the controllers' own modes do not.
    xml += "<effect><name>Direct</name><id>0</id><synchronizable>1</synchronizable></effect>";
    xml += "<effect><name>Restore</name><id>" + QByteArray::number(OrgbConnection::kEffectRestore)
        + "</id><synchronizable>0</synchronizable></effect>";
    const int direct = controller.directModeIndex();
    for (std::size_t m = 0; m < controller.modes.size(); ++m) {
        if (int(m) == direct)
            continue;
        xml += "<effect><name>" + escaped(controller.modes[m].name) + "</name><id>"
            + QByteArray::number(OrgbConnection::kEffectModeBase + int(m)) + "</id><synchronizable>0</synchronizable></effect>";
    }
    xml += "</supported_effect></device></hal>\n";
    return xml;
}

OrgbConnectionSettings settingsFrom(const OpenRgbHalConfig &config)
{
    OrgbConnectionSettings settings;
    settings.host = config.host.toStdString();
    settings.port = config.port;
    settings.deviceTypes.assign(config.deviceTypes.cbegin(), config.deviceTypes.cend());
    return settings;
}

VeltrimaHalResult deviceGetCapabilities(VeltrimaHalDevice *self, char **description)
{
    if (!self || !description)
        return VELTRIMA_HAL_E_POINTER;
    *description = strdup(Refs::device(self)->description.constData());
    return *description ? VELTRIMA_HAL_OK : VELTRIMA_HAL_E_FAIL;
}

VeltrimaHalResult deviceSetColors(VeltrimaHalDevice *self, int32_t effect, const uint32_t *colors, int32_t count)
{
    if (!self || (count > 0 && !colors))
        return VELTRIMA_HAL_E_POINTER;
    if (count < 0 || count > 4096)
        return VELTRIMA_HAL_E_INVALIDARG;
    OpenRgbDevice *device = Refs::device(self);
    device->owner->connection->show(device->index, effect, colors, count);
    return VELTRIMA_HAL_OK;
}

const VeltrimaHalDeviceVtbl kDeviceVtbl = {Refs::deviceQueryInterface, Refs::deviceAddRef, Refs::deviceRelease,
                                           deviceGetCapabilities, deviceSetColors};

void writeLatencyReport(const OpenRgbObject &object)
{
    if (object.config.latencyReport.isEmpty() || object.latency.count() == 0)
        return;
    QFile file(object.config.latencyReport);
    if (file.open(QIODevice::Append | QIODevice::Text))
        file.write(QByteArray::fromStdString(object.latency.report()));
}

void OpenRgbObject::destroy(OpenRgbObject *object)
{
    object->connection.reset(); // sends what is pending, then ends its thread
    writeLatencyReport(*object);
    for (OpenRgbDevice *device : object->devices)
        delete device;
    delete object;
}

VeltrimaHalResult objectEnumerate(VeltrimaHalObject *self, VeltrimaHalDevice **devices, uint32_t *count)
{
    if (!self || !count)
        return VELTRIMA_HAL_E_POINTER;
    OpenRgbObject *object = Refs::object(self);
    {
        // The list is fixed by the first call, so that counting and filling agree.
        std::lock_guard<std::mutex> lock(object->enumerateMutex);
        if (!object->enumerated) {
            const std::vector<OrgbController> listed = object->connection->devices(kListingWait);
            for (std::size_t i = 0; i < listed.size(); ++i) {
                auto *device = new OpenRgbDevice;
                device->base.vtbl = &kDeviceVtbl;
                device->owner = object;
                device->index = int(i);
                device->description = describe(listed[i], int(i));
                object->devices.push_back(device);
            }
            object->enumerated = true;
        }
    }
    return Refs::enumerate(object->devices, devices, count);
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

    auto *created = new OpenRgbObject;
    created->base.vtbl = &kObjectVtbl;
    created->config = OpenRgbHalConfig::load(HalGuid::toString(*clsid));
    created->connection = std::make_unique<OrgbConnection>(settingsFrom(created->config), &created->latency);
    created->connection->setChangeHandler(devicesChanged);
    *object = &created->base;
    return VELTRIMA_HAL_OK;
}

extern "C" __attribute__((visibility("default"))) void VeltrimaHal_FreeString(char *text)
{
    std::free(text);
}

extern "C" __attribute__((visibility("default"))) void VeltrimaHal_WatchDevices(VeltrimaHalDevicesChangedFn handler,
                                                                                 void *context)
{
    DeviceWatch &watch = deviceWatch();
    std::lock_guard<std::mutex> lock(watch.mutex);
    watch.handler = handler;
    watch.context = context;
}

#include "HalDiscovery.h"

#include "HalGuid.h"

#include <QDebug>

#include <algorithm>
#include <cstring>

namespace {

// No HAL drives more devices than this; a larger count is a broken server.
constexpr std::uint32_t kMaxHalDevices = 256;
constexpr VeltrimaHalResult kBadClassString = -2147221005; // 0x800401F3, CO_E_CLASSSTRING

QString hex(VeltrimaHalResult hr)
{
    return QStringLiteral("0x%1").arg(std::uint32_t(hr), 8, 16, QLatin1Char('0'));
}

std::optional<HalDescription> describe(VeltrimaHalDevice *device, const HalServer &library)
{
    char *text = nullptr;
    std::optional<HalDescription> description;
    if (device->vtbl->GetCapabilities(device, &text) >= 0 && text) {
        // Measured without reading past the bound: a server may hand out anything.
        const std::size_t length = strnlen(text, std::size_t(HalDescription::kMaxSize) + 1);
        QString error;
        description = HalDescription::parse(QByteArray(text, int(length)), &error);
        if (!description)
            qWarning().noquote() << "HAL device description refused:" << error;
    } else {
        qWarning() << "HAL device gave no description";
    }
    library.freeString(text);
    return description;
}

} // namespace

HalServerScan HalDiscovery::scan(const HalRegistryEntry &server, bool debug)
{
    HalServerScan result;
    result.name = server.name;
    VeltrimaHalObject *hal = nullptr;
    VeltrimaHalResult hr = kBadClassString;
    std::optional<HalServer> library;
    if (const std::optional<VeltrimaHalGuid> clsid = HalGuid::fromString(server.name)) {
        QString error;
        library = HalServer::load(server.serverPath, &error);
        if (library) {
            void *object = nullptr;
            hr = library->createInstance(*clsid, HalGuid::halInterfaceId(), &object);
            hal = static_cast<VeltrimaHalObject *>(object);
        } else {
            hr = VELTRIMA_HAL_E_CLASSNOTREG;
            qWarning().noquote() << "HAL server" << server.name << "did not load:" << error;
        }
    } else {
        qWarning().noquote() << "HAL registry entry" << server.name << "is not a server id";
    }
    qDebug().noquote() << "hr===" << hex(hr);
    if (hr < 0 || !hal) {
        if (hal)
            hal->vtbl->Release(hal);
        return result;
    }

    hal->vtbl->AddRef(hal);
    std::uint32_t count = 0;
    if (hal->vtbl->Enumerate(hal, nullptr, &count) < 0)
        count = 0;
    qDebug() << "hal->Enumerate(NULL, &count)" << count;
    if (debug)
        qDebug() << "Module Count_1:" << count;
    if (count == 0) {
        // A server that reports changes is kept: its devices may come later (a daemon
        // started after us), and only a live object notices them.
        if (library->canWatchDevices()) {
            result.hal = hal;
            result.server = library;
        } else {
            releaseObject(hal);
        }
        return result;
    }
    if (count > kMaxHalDevices) {
        qWarning() << "HAL reports" << count << "devices; only the first" << kMaxHalDevices << "are read";
        count = kMaxHalDevices;
    }

    qDebug() << "1233211234567";
    QVector<VeltrimaHalDevice *> devices(int(count), nullptr);
    if (hal->vtbl->Enumerate(hal, devices.data(), &count) < 0)
        count = 0;
    count = std::min<std::uint32_t>(count, std::uint32_t(devices.size()));
    devices.resize(int(count));
    devices.removeAll(nullptr);
    qDebug() << "count == " << devices.size();

    result.hal = hal;
    result.server = library;
    result.devices = devices;
    for (VeltrimaHalDevice *device : qAsConst(devices))
        result.descriptions.append(describe(device, *library));
    return result;
}

QVector<AcceptedModule> HalDiscovery::accept(const HalServerScan &scan, bool debug)
{
    QVector<AcceptedModule> accepted;
    for (int i = 0; i < scan.devices.size(); ++i) {
        const std::optional<HalDescription> &description = scan.descriptions.at(i);
        if (!description || description->type != VELTRIMA_HAL_TYPE_MEMORY)
            continue;
        // Each accepted module takes the next module position, so device list entry i
        // drives position i; devices of another type between memory modules leave no gap.
        const int position = accepted.size();
        if (position >= kModuleCount) {
            qWarning() << "Memory module at HAL index" << i << "refused: the engine drives" << kModuleCount
                       << "modules";
            continue;
        }
        int ledNum = description->devices.isEmpty() ? 0 : description->devices.first().led_count;
        if (ledNum < 0 || ledNum > kLedSlots) {
            qWarning() << "Module" << position << "reports" << ledNum << "LEDs; kept to 0 to" << kLedSlots;
            ledNum = std::clamp(ledNum, 0, kLedSlots);
        }
        if (debug)
            qDebug() << "Module[" << position << "] Led Num:" << ledNum;
        accepted.append({scan.devices.at(i), ledNum});
    }
    return accepted;
}

void HalDiscovery::releaseExcept(const HalServerScan &scan, const QVector<AcceptedModule> &kept)
{
    for (VeltrimaHalDevice *device : scan.devices) {
        const bool isKept = std::any_of(kept.cbegin(), kept.cend(),
                                        [device](const AcceptedModule &module) { return module.device == device; });
        if (!isKept)
            device->vtbl->Release(device);
    }
    if (kept.isEmpty())
        releaseObject(scan.hal);
}

void HalDiscovery::releaseObject(VeltrimaHalObject *hal)
{
    if (!hal)
        return;
    // The reference of creation and the one added before enumerating.
    hal->vtbl->Release(hal);
    hal->vtbl->Release(hal);
}

#include "SensorLibrary.h"

#include "BoundedFile.h"

#include <dlfcn.h>

namespace {

constexpr qint64 kMaxLibraryBytes = qint64(1) << 30;

} // namespace

SensorLibrary::~SensorLibrary()
{
    unload();
}

template <typename Function>
bool SensorLibrary::bind(Function &target, const char *symbol)
{
    target = reinterpret_cast<Function>(dlsym(m_handle, symbol));
    if (!target && m_error.isEmpty())
        m_error = QStringLiteral("missing entry point %1").arg(QLatin1String(symbol));
    return target != nullptr;
}

bool SensorLibrary::load(const QString &path)
{
    unload();
    m_error.clear();
    // dlopen("") would hand back the program itself.
    if (path.isEmpty()) {
        m_error = QStringLiteral("no sensor library named");
        return false;
    }
    // dlopen would wait on a FIFO and read a device; only a regular file is a library.
    // A bare name is looked up by the loader in the system's own folders.
    if (path.contains(QLatin1Char('/'))) {
        const BoundedFile file = BoundedFile::check(path, kMaxLibraryBytes);
        if (!file.isOk()) {
            m_error = QStringLiteral("%1: %2").arg(path, file.reason());
            return false;
        }
    }
    m_handle = dlopen(path.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) {
        const char *reason = dlerror();
        m_error = reason ? QString::fromLocal8Bit(reason) : QStringLiteral("cannot open %1").arg(path);
        return false;
    }
    // The entry points that are required but never called are only checked.
    void (*unused)() = nullptr;
    bool all = true;
    all &= bind(initialise, "ordinal_338");
    all &= bind(shutdown, "ordinal_501");
    all &= bind(moduleSize, "ordinal_448");
    all &= bind(moduleManufacturer, "ordinal_413");
    all &= bind(moduleType, "ordinal_33");
    all &= bind(moduleText, "ordinal_35");
    all &= bind(modulePartNumber, "ordinal_987");
    all &= bind(moduleFrequency, "ordinal_873");
    all &= bind(memoryClock, "ordinal_317");
    all &= bind(memoryInfoText, "ordinal_480");
    all &= bind(chipset, "ordinal_795");
    all &= bind(casLatency, "ordinal_493");
    all &= bind(tRCD, "ordinal_215");
    all &= bind(timing3, "ordinal_404");
    all &= bind(timing4, "ordinal_558");
    all &= bind(channelCount, "ordinal_256");
    all &= bind(sensorCount, "ordinal_462");
    all &= bind(sensorName, "ordinal_947");
    all &= bind(prepareSensor, "ordinal_280");
    all &= bind(temperatureReading, "ordinal_253");
    all &= bind(otherReading, "ordinal_475");
    for (const char *symbol : {"ordinal_129", "ordinal_590", "ordinal_631", "ordinal_754", "ordinal_808", "ordinal_923"})
        all &= bind(unused, symbol);
    m_configure = reinterpret_cast<decltype(m_configure)>(dlsym(m_handle, "veltrima_sensors_configure"));
    if (!all) {
        const QString error = m_error;
        unload();
        m_error = error;
        return false;
    }
    return true;
}

void SensorLibrary::unload()
{
    initialise = nullptr;
    shutdown = nullptr;
    moduleSize = nullptr;
    moduleManufacturer = nullptr;
    moduleType = nullptr;
    moduleText = nullptr;
    modulePartNumber = nullptr;
    moduleFrequency = nullptr;
    memoryClock = nullptr;
    memoryInfoText = nullptr;
    chipset = nullptr;
    casLatency = nullptr;
    tRCD = nullptr;
    timing3 = nullptr;
    timing4 = nullptr;
    channelCount = nullptr;
    sensorCount = nullptr;
    sensorName = nullptr;
    prepareSensor = nullptr;
    temperatureReading = nullptr;
    otherReading = nullptr;
    m_configure = nullptr;
    if (m_handle)
        dlclose(m_handle);
    m_handle = nullptr;
}

bool SensorLibrary::configure(const QString &config) const
{
    if (!m_configure)
        return true;
    return m_configure(config.toUtf8().constData()) == 0;
}

#include "HalServer.h"

#include "BoundedFile.h"

#include <QFile>

#include <dlfcn.h>

namespace {
// Far more than any server needs; bounds what a wrong entry can make the loader map.
constexpr qint64 kMaxServerSize = 256 * 1024 * 1024;
} // namespace

std::optional<HalServer> HalServer::load(const QString &path, QString *error)
{
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("no server path");
        return std::nullopt;
    }
    // dlopen reads whatever the path names; a FIFO would hold it for ever. A bare name is
    // looked up in the system's library folders instead. (A file swapped in between this
    // check and the load is possible, but whoever can do that can register a server too.)
    if (path.contains(QLatin1Char('/'))) {
        const BoundedFile server = BoundedFile::check(path, kMaxServerSize);
        if (!server.isOk()) {
            if (error)
                *error = server.reason();
            return std::nullopt;
        }
    }
    // RTLD_LOCAL keeps each server's symbols apart; a second dlopen of a path returns the
    // same handle, so loading is idempotent. Servers are never unloaded.
    void *handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (error)
            *error = QString::fromLocal8Bit(dlerror());
        return std::nullopt;
    }
    auto create = reinterpret_cast<VeltrimaHalCreateInstanceFn>(dlsym(handle, VELTRIMA_HAL_CREATE_INSTANCE_SYMBOL));
    auto freeString = reinterpret_cast<VeltrimaHalFreeStringFn>(dlsym(handle, VELTRIMA_HAL_FREE_STRING_SYMBOL));
    if (!create || !freeString) {
        if (error)
            *error = QStringLiteral("%1 lacks the HAL entry points").arg(path);
        return std::nullopt;
    }
    auto watch = reinterpret_cast<VeltrimaHalWatchDevicesFn>(dlsym(handle, VELTRIMA_HAL_WATCH_DEVICES_SYMBOL));
    return HalServer(create, freeString, watch);
}

VeltrimaHalResult HalServer::createInstance(const VeltrimaHalGuid &clsid, const VeltrimaHalGuid &iid,
                                            void **object) const
{
    if (!object)
        return VELTRIMA_HAL_E_POINTER;
    *object = nullptr;
    return m_create(&clsid, &iid, object);
}

void HalServer::freeString(char *text) const
{
    if (text)
        m_freeString(text);
}

bool HalServer::watchDevices(VeltrimaHalDevicesChangedFn handler, void *context) const
{
    if (!m_watch)
        return false;
    m_watch(handler, context);
    return true;
}

#include "LightingChannel.h"

#include <QDir>

#include <dlfcn.h>

namespace {
template <typename F>
bool resolve(void *handle, const char *name, F &target)
{
    void *symbol = dlsym(handle, name);
    if (!symbol)
        return false;
    target = reinterpret_cast<F>(symbol);
    return true;
}

HWData defaultHWData()
{
    HWData data = makeZeroHWData();
    data.reset();
    return data;
}

NotiEventData defaultNotiEvent()
{
    return defaultHWData().notiEvent;
}
} // namespace

LightingChannel::LightingChannel()
{
    bindStandIns();
}

LightingChannel::~LightingChannel()
{
    // The callbacks registered through this binding belong to its owner, which is
    // going away: no callback may start after this, nor run on into static
    // destruction at exit. The library itself stays loaded, since a listener that
    // overran its stop timeout may still be returning through its code.
    shutdown();
}

void LightingChannel::bindStandIns()
{
    SharedDLL_init = [] {};
    RegisterReceiveFunc = [](ReceiveIntFunc) {};
    RegisterReceiveLightModeFunc = [](ReceiveIntFunc) {};
    RegisterReceiveMemorySlotNumber = [](ReceiveIntFunc) {};
    RegisterReceiveProfile = [](ReceiveIntFunc) {};
    RegisterReceiveNotiEvent = [](ReceiveNotiEventFunc) {};
    RegisterUIEventLightModeFunc = [](ReceiveIntFunc) {};
    SetValueRGB = [](int, const COLORREF *, const float *, COLORREF, float, int) {};
    SetValueLighting = [](int, int, int, int, bool) {};
    SetSlotNumber = [](int, const int *) {};
    SetProfile = [](int) {};
    SetNotiEvent = [](NotiEventData) {};
    SetSettingValue = [](std::uint64_t) {};
    SetValueHWData = [](const HWData *) {};
    SetValueSoftwareRGB = [](int, const COLORREF *, int) {};
    SetValueSyncRGB = [](int, const COLORREF *) {};
    Refresh_View = [] {};
    GetValueHWData = [] { return defaultHWData(); };
    GetNotiEvent = [] { return defaultNotiEvent(); };
    GetSettingValue = [] { SettingData s; s.reset(); return s.pack(); };
    GetProfile = [] { return 0; };
    GetValueRGB = [](int) -> COLORREF * { return nullptr; };
    GetValueBright = [](int) -> float * { return nullptr; };
    GetValueSoftwareRGB = [](int) -> COLORREF * { return nullptr; };
    GetValueSingleRGB = [](int) { return rgbColor(255, 0, 0); };
    GetValueSingleBright = [](int) { return 1.0f; };
    GetValueLightMode = [](int) { return int(kDefaultLightMode); };
    GetValueColorMode = [](int) { return 0; };
    GetValueLightSpeed = [](int) { return int(SpeedNormal); };
    GetValueTurnOff = [](int) { return false; };
    GetValueMemorySlotNumber = [](int module) { return module; };
    GetValueSyncRGB = [](int) -> COLORREF * { return nullptr; };
    m_lastCallSucceeded = [] { return false; };
}

bool LightingChannel::load(const QString &folder)
{
    if (m_handle)
        return true;
    const QString local = QDir(folder).filePath(QString::fromLatin1(libraryFileName()));
    void *handle = dlopen(QFile::encodeName(local).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        handle = dlopen(libraryFileName(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        m_error = QString::fromLocal8Bit(dlerror());
        return false;
    }
    m_handle = handle;
    if (!bindAll()) {
        dlclose(m_handle);
        m_handle = nullptr;
        bindStandIns();
        return false;
    }
    m_shutdown = reinterpret_cast<void (*)()>(dlsym(m_handle, "SharedDLL_shutdown"));
    m_setLedNum = reinterpret_cast<void (*)(int, int)>(dlsym(m_handle, "SetValueLedNum"));
    // An older library without the call cannot say; it is taken at its word.
    if (!resolve(m_handle, "SharedDLL_lastCallSucceeded", m_lastCallSucceeded))
        m_lastCallSucceeded = [] { return true; };
    return true;
}

bool LightingChannel::setLedNum(int module, int ledNum)
{
    if (!m_setLedNum)
        return false;
    m_setLedNum(module, ledNum);
    return true;
}

void LightingChannel::shutdown()
{
    if (m_shutdown)
        m_shutdown();
}

bool LightingChannel::bindAll()
{
    void *h = m_handle;
    const bool ok = resolve(h, "SharedDLL_init", SharedDLL_init)
        && resolve(h, "RegisterReceiveFunc", RegisterReceiveFunc)
        && resolve(h, "RegisterReceiveLightModeFunc", RegisterReceiveLightModeFunc)
        && resolve(h, "RegisterReceiveMemorySlotNumber", RegisterReceiveMemorySlotNumber)
        && resolve(h, "RegisterReceiveProfile", RegisterReceiveProfile)
        && resolve(h, "RegisterReceiveNotiEvent", RegisterReceiveNotiEvent)
        && resolve(h, "RegisterUIEventLightModeFunc", RegisterUIEventLightModeFunc)
        && resolve(h, "SetValueRGB", SetValueRGB)
        && resolve(h, "SetValueLighting", SetValueLighting)
        && resolve(h, "SetSlotNumber", SetSlotNumber)
        && resolve(h, "SetProfile", SetProfile)
        && resolve(h, "SetNotiEvent", SetNotiEvent)
        && resolve(h, "SetSettingValue", SetSettingValue)
        && resolve(h, "SetValueHWData", SetValueHWData)
        && resolve(h, "SetValueSoftwareRGB", SetValueSoftwareRGB)
        && resolve(h, "SetValueSyncRGB", SetValueSyncRGB)
        && resolve(h, "Refresh_View", Refresh_View)
        && resolve(h, "GetValueHWData", GetValueHWData)
        && resolve(h, "GetNotiEvent", GetNotiEvent)
        && resolve(h, "GetSettingValue", GetSettingValue)
        && resolve(h, "GetProfile", GetProfile)
        && resolve(h, "GetValueRGB", GetValueRGB)
        && resolve(h, "GetValueBright", GetValueBright)
        && resolve(h, "GetValueSoftwareRGB", GetValueSoftwareRGB)
        && resolve(h, "GetValueSingleRGB", GetValueSingleRGB)
        && resolve(h, "GetValueSingleBright", GetValueSingleBright)
        && resolve(h, "GetValueLightMode", GetValueLightMode)
        && resolve(h, "GetValueColorMode", GetValueColorMode)
        && resolve(h, "GetValueLightSpeed", GetValueLightSpeed)
        && resolve(h, "GetValueTurnOff", GetValueTurnOff)
        && resolve(h, "GetValueMemorySlotNumber", GetValueMemorySlotNumber)
        && resolve(h, "GetValueSyncRGB", GetValueSyncRGB);
    if (!ok)
        m_error = QStringLiteral("missing symbol: ") + QString::fromLocal8Bit(dlerror());
    return ok;
}

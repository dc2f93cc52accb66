// The programs' binding of the channel library. The library is loaded at run time
// from the program's own folder; when it is missing, every operation goes to a
// stand-in that stores nothing and returns the records' defaults (the array getters
// return nullptr, as the library does when it has no state), so callers never check
// whether it loaded. Destroying the binding stops the library's listener.
#pragma once

#include "VELTRIMA_Lighting.h"
#include "VELTRIMA_LightingExtras.h"

#include <QString>

class LightingChannel
{
public:
    LightingChannel();
    ~LightingChannel();
    LightingChannel(const LightingChannel &) = delete;
    LightingChannel &operator=(const LightingChannel &) = delete;

    // Tries the folder first, then the loader's own search path.
    bool load(const QString &folder);
    bool isLoaded() const { return m_handle != nullptr; }
    QString errorString() const { return m_error; }

    decltype(&::SharedDLL_init) SharedDLL_init;
    decltype(&::RegisterReceiveFunc) RegisterReceiveFunc;
    decltype(&::RegisterReceiveLightModeFunc) RegisterReceiveLightModeFunc;
    decltype(&::RegisterReceiveMemorySlotNumber) RegisterReceiveMemorySlotNumber;
    decltype(&::RegisterReceiveProfile) RegisterReceiveProfile;
    decltype(&::RegisterReceiveNotiEvent) RegisterReceiveNotiEvent;
    decltype(&::RegisterUIEventLightModeFunc) RegisterUIEventLightModeFunc;
    decltype(&::SetValueRGB) SetValueRGB;
    decltype(&::SetValueLighting) SetValueLighting;
    decltype(&::SetSlotNumber) SetSlotNumber;
    decltype(&::SetProfile) SetProfile;
    decltype(&::SetNotiEvent) SetNotiEvent;
    decltype(&::SetSettingValue) SetSettingValue;
    decltype(&::SetValueHWData) SetValueHWData;
    decltype(&::SetValueSoftwareRGB) SetValueSoftwareRGB;
    decltype(&::SetValueSyncRGB) SetValueSyncRGB;
    decltype(&::Refresh_View) Refresh_View;
    decltype(&::GetValueHWData) GetValueHWData;
    decltype(&::GetNotiEvent) GetNotiEvent;
    decltype(&::GetSettingValue) GetSettingValue;
    decltype(&::GetProfile) GetProfile;
    decltype(&::GetValueRGB) GetValueRGB;
    decltype(&::GetValueBright) GetValueBright;
    decltype(&::GetValueSoftwareRGB) GetValueSoftwareRGB;
    decltype(&::GetValueSingleRGB) GetValueSingleRGB;
    decltype(&::GetValueSingleBright) GetValueSingleBright;
    decltype(&::GetValueLightMode) GetValueLightMode;
    decltype(&::GetValueColorMode) GetValueColorMode;
    decltype(&::GetValueLightSpeed) GetValueLightSpeed;
    decltype(&::GetValueTurnOff) GetValueTurnOff;
    decltype(&::GetValueMemorySlotNumber) GetValueMemorySlotNumber;
    decltype(&::GetValueSyncRGB) GetValueSyncRGB;

    // Whether this thread's last operation reached the shared state. False after any
    // stand-in (library missing), a lock that timed out or refused arguments: a
    // getter's result is then not the user's state and must never be written to a
    // file, and a setter stored nothing.
    bool lastCallSucceeded() const { return m_lastCallSucceeded(); }

    // Stores one module's LED count, 0 included. False when the library is older than
    // this call; the caller then goes through SetValueHWData, which cannot store a 0.
    bool setLedNum(int module, int ledNum);

    // Stops the library's listener: no callback runs once this returns.
    void shutdown();

    static const char *libraryFileName() { return "libVELTRIMA_Lighting.so"; }

private:
    void bindStandIns();
    bool bindAll();

    void (*m_shutdown)() = nullptr;
    void (*m_setLedNum)(int, int) = nullptr;
    bool (*m_lastCallSucceeded)() = [] { return false; };
    void *m_handle = nullptr;
    QString m_error;
};

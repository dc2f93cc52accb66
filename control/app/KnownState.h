// The control program's own copy of the lasting state: what it loaded from its files,
// brought up to date by every read of the channel that succeeded. When the channel
// cannot be read (no library, no shared state, a lock that timed out) this copy, never
// a getter's stand-in defaults, is what the program trusts and writes.
#pragma once

#include "HWData.h"

class KnownState
{
public:
    KnownState();

    const HWData &record() const { return m_record; }
    SettingData settings() const { return m_record.settingData; }

    // The device file's part: settings, notifications, slot order, selected profile.
    void takeDevice(const HWData &device);
    // A profile file's part: the lighting of every module.
    void takeProfile(const HWData &profile);
    // A whole record read from the channel.
    void takeChannel(const HWData &channel) { m_record = channel; }

    void setSettings(const SettingData &settings) { m_record.settingData = settings; }
    void setSelectedProfile(int profile) { m_record.selectProfile = profile; }

private:
    HWData m_record;
};

#include "KnownState.h"

#include <algorithm>

KnownState::KnownState()
    : m_record(makeZeroHWData())
{
    m_record.reset();
}

void KnownState::takeDevice(const HWData &device)
{
    m_record.settingData = device.settingData;
    m_record.notiEvent = device.notiEvent;
    m_record.selectProfile = device.selectProfile;
    for (int m = 0; m < kModuleCount; ++m)
        m_record.memoryData[m].slotSequence = device.memoryData[m].slotSequence;
}

void KnownState::takeProfile(const HWData &profile)
{
    for (int m = 0; m < kModuleCount; ++m) {
        const MemoryModuleData &from = profile.memoryData[m];
        MemoryModuleData &to = m_record.memoryData[m];
        std::copy_n(from.rgb, kLedSlots, to.rgb);
        std::copy_n(from.bright, kLedSlots, to.bright);
        to.singleRGB = from.singleRGB;
        to.singleBright = from.singleBright;
        to.lightMode = from.lightMode;
        to.colorMode = from.colorMode;
        to.lightSpeed = from.lightSpeed;
        to.turnOff = from.turnOff;
    }
}

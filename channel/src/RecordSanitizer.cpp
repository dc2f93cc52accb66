#include "RecordSanitizer.h"

#include <cstdint>
#include <cstring>

namespace {
void cleanFlag(bool &stored)
{
    stored = RecordSanitizer::flag(stored);
}

void terminate(char (&text)[kTextSize])
{
    text[kTextSize - 1] = '\0';
}
} // namespace

bool RecordSanitizer::flag(const bool &stored)
{
    std::uint8_t byte = 0;
    std::memcpy(&byte, &stored, 1);
    return byte != 0;
}

void RecordSanitizer::clean(NotiEventData &event)
{
    cleanFlag(event.loadingOn);
    cleanFlag(event.shutdownMemoryOn);
    cleanFlag(event.fanSpeedOn);
    cleanFlag(event.shutdownCPUOn);
}

void RecordSanitizer::clean(SettingData &setting)
{
    cleanFlag(setting.isAutoUpdate);
    cleanFlag(setting.isAutoRun);
    cleanFlag(setting.isCurrentLocation);
}

void RecordSanitizer::clean(HWData &data)
{
    terminate(data.memoryInfoText);
    terminate(data.chipset);
    for (MemoryModuleData &module : data.memoryData) {
        terminate(module.manufacturer);
        terminate(module.partNumber);
        terminate(module.memoryType);
        terminate(module.moduleText);
        cleanFlag(module.turnOff);
        cleanFlag(module.engineFlag);
        cleanFlag(module.effect.blinkOn);
    }
    clean(data.notiEvent);
    clean(data.settingData);
}

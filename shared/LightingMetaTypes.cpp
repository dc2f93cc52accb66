#include "LightingMetaTypes.h"

void registerLightingMetaTypes()
{
    qRegisterMetaType<HWData>("HWData");
    qRegisterMetaType<NotiEventData>("NotiEventData");
    qRegisterMetaType<SettingData>("SettingData");
}

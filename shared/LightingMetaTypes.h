// Lets the records travel by queued signals between threads.
#pragma once

#include "HWData.h"

#include <QMetaType>

Q_DECLARE_METATYPE(HWData)
Q_DECLARE_METATYPE(NotiEventData)
Q_DECLARE_METATYPE(SettingData)

void registerLightingMetaTypes();

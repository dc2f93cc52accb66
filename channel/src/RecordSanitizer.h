#pragma once

#include "HWData.h"

// The shared state is plain memory that any process of the user can write. Before a
// record leaves the library, each flag is read as "byte not zero" (a bool holding
// another byte is undefined behaviour) and each text is cut at its last byte.
class RecordSanitizer
{
public:
    static bool flag(const bool &stored);
    static void clean(NotiEventData &event);
    static void clean(SettingData &setting);
    static void clean(HWData &data);
};

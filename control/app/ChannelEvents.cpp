#include "ChannelEvents.h"

#include "KVRGBMemoryControl.h"

namespace {
using Kind = ChannelEventBacklog::Kind;

void queue(Kind kind, int argument)
{
    if (KVRGBMemoryControl *control = KVRGBMemoryControl::instance())
        control->queueChannelEvent(kind, argument);
}

bool isModule(int module)
{
    return module >= 0 && module < kModuleCount;
}
} // namespace

void receiveRGB_Event(const int module)
{
    if (isModule(module))
        queue(Kind::Rgb, module);
}

void receiveLightMode_Event(int module)
{
    if (isModule(module))
        queue(Kind::LightMode, module);
}

void receiveMemorySlot_Event(int)
{
    queue(Kind::MemorySlot, 0);
}

void receiveNoti_Event(NotiEventData event)
{
    if (KVRGBMemoryControl *control = KVRGBMemoryControl::instance())
        control->queueNotiEvent(event);
}

void receiveProfile_Event(int profile)
{
    queue(Kind::Profile, profile);
}

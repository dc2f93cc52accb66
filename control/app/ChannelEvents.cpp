#include "ChannelEvents.h"

#include "KVRGBMemoryControl.h"

#include <QMetaObject>

#include <mutex>

namespace {
// Held while a call is queued and taken by the call before it reads what it carries:
// Qt's event queue hands the call over under QMutex, which ThreadSanitizer cannot see.
std::mutex &postLock()
{
    static std::mutex lock;
    return lock;
}

template <typename Work>
void toMainThread(Work work)
{
    KVRGBMemoryControl *control = KVRGBMemoryControl::instance();
    if (!control)
        return;
    std::lock_guard<std::mutex> posting(postLock());
    QMetaObject::invokeMethod(
        control,
        [control, work] {
            { std::lock_guard<std::mutex> posted(postLock()); }
            work(control);
        },
        Qt::QueuedConnection);
}

bool isModule(int module)
{
    return module >= 0 && module < kModuleCount;
}
} // namespace

void receiveRGB_Event(const int module)
{
    if (!isModule(module))
        return;
    toMainThread([module](KVRGBMemoryControl *c) { c->onRGBEvent(module); });
}

void receiveLightMode_Event(int module)
{
    if (!isModule(module))
        return;
    toMainThread([module](KVRGBMemoryControl *c) { c->onLightModeEvent(module); });
}

void receiveMemorySlot_Event(int)
{
    toMainThread([](KVRGBMemoryControl *c) { c->onMemorySlotEvent(); });
}

void receiveNoti_Event(NotiEventData event)
{
    toMainThread([event](KVRGBMemoryControl *c) { c->onNotiEvent(event); });
}

void receiveProfile_Event(int profile)
{
    toMainThread([profile](KVRGBMemoryControl *c) { c->onProfileEvent(profile); });
}

// The C operations of the channel. Every one validates its arguments before it
// touches the shared state, and every state access happens under the shared lock,
// except the preview colours (see ChannelSegment::lockForPreview) and what callers
// read through the pointers they are given.
#include "VELTRIMA_Lighting.h"
#include "VELTRIMA_LightingExtras.h"

#include "ChannelListener.h"
#include "ChannelLog.h"
#include "ChannelSegment.h"
#include "RecordSanitizer.h"

#include <algorithm>
#include <ctime>
#include <utility>

namespace {
// Whether this thread's last operation reached the shared state; see
// SharedDLL_lastCallSucceeded.
thread_local bool t_lastCallSucceeded = false;

bool succeeded(bool reached)
{
    t_lastCallSucceeded = reached;
    return reached;
}

bool validModule(int module, const char *operation)
{
    if (module >= 0 && module < kModuleCount)
        return true;
    logChannel("%s: refusing module %d", operation, module);
    return succeeded(false);
}

// Runs change on the shared state under the lock; false when there is no state.
template <typename Change>
bool store(Change &&change)
{
    ChannelSegment *segment = ChannelSegment::instance();
    if (!segment || !segment->lock())
        return succeeded(false);
    change(segment->layout());
    segment->unlock();
    return succeeded(true);
}

// Stores like store(), appends one event and wakes the other processes' listeners.
template <typename Change>
void publish(ChannelEventKind kind, int argument, Change &&change)
{
    ChannelSegment *segment = ChannelSegment::instance();
    if (!succeeded(segment && segment->lock()))
        return;
    ChannelLayout &shared = segment->layout();
    const NotiEventData notiEvent = change(shared);
    segment->appendEvent(kind, argument, notiEvent);
    segment->unlock();
    segment->wake();
}

template <typename Result, typename Read>
Result read(Result fallback, Read &&reader)
{
    ChannelSegment *segment = ChannelSegment::instance();
    if (!succeeded(segment && segment->lock()))
        return fallback;
    const Result value = reader(std::as_const(segment->layout()));
    segment->unlock();
    return value;
}

HWData defaultHWData()
{
    return ChannelSegment::initialHWData();
}

// The pointer getters take no lock (the caller reads through the pointer later), but
// still refuse a mapping whose file has shrunk.
ChannelSegment *usableSegment()
{
    ChannelSegment *segment = ChannelSegment::instance();
    return succeeded(segment && segment->usable()) ? segment : nullptr;
}

MemoryModuleData *moduleRecord(int module)
{
    ChannelSegment *segment = usableSegment();
    return segment ? &segment->layout().hwData.memoryData[module] : nullptr;
}
} // namespace

void SharedDLL_init()
{
    if (!succeeded(ChannelSegment::instance(true) != nullptr))
        logChannel("the shared state is not available");
}

bool SharedDLL_lastCallSucceeded()
{
    return t_lastCallSucceeded;
}

bool SharedDLL_isAvailable()
{
    return ChannelSegment::instance() != nullptr;
}

void SharedDLL_shutdown()
{
    ChannelListener &listener = ChannelListener::instance();
    listener.clearCallbacks();
    listener.stop();
}

void RegisterReceiveFunc(ReceiveIntFunc f)
{
    ChannelListener::instance().setCallback(ChannelEventKind::Rgb, f);
}

void RegisterReceiveLightModeFunc(ReceiveIntFunc f)
{
    ChannelListener::instance().setCallback(ChannelEventKind::LightMode, f);
}

void RegisterReceiveMemorySlotNumber(ReceiveIntFunc f)
{
    ChannelListener::instance().setCallback(ChannelEventKind::SlotNumber, f);
}

void RegisterReceiveProfile(ReceiveIntFunc f)
{
    ChannelListener::instance().setCallback(ChannelEventKind::Profile, f);
}

void RegisterReceiveNotiEvent(ReceiveNotiEventFunc f)
{
    ChannelListener::instance().setNotiCallback(f);
}

void RegisterUIEventLightModeFunc(ReceiveIntFunc f)
{
    ChannelListener::instance().setCallback(ChannelEventKind::RefreshView, f);
}

void SetValueRGB(int module, const COLORREF *rgb, const float *bright, COLORREF singleRGB, float singleBright,
                 int count)
{
    if (!validModule(module, "SetValueRGB"))
        return;
    if (!rgb || !bright || count < 0) {
        logChannel("SetValueRGB: refusing a missing array or count %d", count);
        succeeded(false);
        return;
    }
    const int stored = std::min(count, kLedSlots);
    publish(ChannelEventKind::Rgb, module, [&](ChannelLayout &shared) {
        MemoryModuleData &record = shared.hwData.memoryData[module];
        std::copy(rgb, rgb + stored, record.rgb);
        std::copy(bright, bright + stored, record.bright);
        record.singleRGB = singleRGB;
        record.singleBright = singleBright;
        return shared.hwData.notiEvent;
    });
}

void SetValueLighting(int module, int lightMode, int colorMode, int lightSpeed, bool turnOff)
{
    if (!validModule(module, "SetValueLighting"))
        return;
    publish(ChannelEventKind::LightMode, module, [&](ChannelLayout &shared) {
        MemoryModuleData &record = shared.hwData.memoryData[module];
        record.lightMode = lightMode;
        record.colorMode = colorMode;
        record.lightSpeed = lightSpeed;
        record.turnOff = turnOff;
        return shared.hwData.notiEvent;
    });
}

// The slot callback carries no module; its argument is always 0.
void SetSlotNumber(int count, const int *slotNumbers)
{
    if (!slotNumbers || count < 0) {
        logChannel("SetSlotNumber: refusing a missing array or count %d", count);
        succeeded(false);
        return;
    }
    const int stored = std::min(count, kModuleCount);
    publish(ChannelEventKind::SlotNumber, 0, [&](ChannelLayout &shared) {
        for (int m = 0; m < stored; ++m)
            shared.hwData.memoryData[m].slotSequence = slotNumbers[m];
        return shared.hwData.notiEvent;
    });
}

void SetProfile(int profile)
{
    publish(ChannelEventKind::Profile, profile, [&](ChannelLayout &shared) {
        shared.hwData.selectProfile = profile;
        return shared.hwData.notiEvent;
    });
}

void SetNotiEvent(NotiEventData event)
{
    publish(ChannelEventKind::NotiEvent, event.type, [&](ChannelLayout &shared) {
        shared.hwData.notiEvent = event;
        return event;
    });
}

// Receivers learn of a settings change as a notification event of type 5 that
// carries the current notification settings.
void SetSettingValue(std::uint64_t packedSetting)
{
    const SettingData setting = SettingData::unpack(packedSetting);
    publish(ChannelEventKind::NotiEvent, NotiSettings, [&](ChannelLayout &shared) {
        shared.hwData.settingData = setting;
        NotiEventData event = shared.hwData.notiEvent;
        event.type = NotiSettings;
        return event;
    });
}

void SetValueHWData(const HWData *data)
{
    if (!data) {
        logChannel("SetValueHWData: refusing a missing record");
        succeeded(false);
        return;
    }
    const HWData &in = *data;
    store([&](ChannelLayout &shared) {
        HWData &out = shared.hwData;
        out.copyReaderReadings(in);
        copyText(out.chipset, in.chipset);
        // A scan carries 0 or -1 until the engine has counted the LEDs; only a real
        // count replaces the stored one, and never more than the arrays hold.
        for (int m = 0; m < kModuleCount; ++m) {
            const std::int32_t ledNum = in.memoryData[m].ledNum;
            if (ledNum > 0)
                out.memoryData[m].ledNum = std::min(ledNum, std::int32_t(kLedSlots));
        }
        out.dataTimestamp = std::int32_t(std::time(nullptr));
    });
}

void SetValueLedNum(int module, int ledNum)
{
    if (!validModule(module, "SetValueLedNum"))
        return;
    store([&](ChannelLayout &shared) {
        shared.hwData.memoryData[module].ledNum = std::clamp(ledNum, 0, int(kLedSlots));
    });
}

void SetValueSoftwareRGB(int module, const COLORREF *colours, int count)
{
    if (!validModule(module, "SetValueSoftwareRGB"))
        return;
    if (!colours || count < 0) {
        logChannel("SetValueSoftwareRGB: refusing a missing array or count %d", count);
        succeeded(false);
        return;
    }
    const int stored = std::min(count, kLedSlots);
    ChannelSegment *segment = ChannelSegment::instance();
    if (!succeeded(segment && segment->lockForPreview()))
        return;
    std::copy(colours, colours + stored, segment->layout().hwData.memoryData[module].softwareRGB);
    segment->unlock();
}

void SetValueSyncRGB(int count, const COLORREF *colours)
{
    if (!colours || count < 0) {
        logChannel("SetValueSyncRGB: refusing a missing array or count %d", count);
        succeeded(false);
        return;
    }
    const int stored = std::min(count, kSyncColourCount);
    store([&](ChannelLayout &shared) { std::copy(colours, colours + stored, shared.syncRGB); });
}

void Refresh_View()
{
    publish(ChannelEventKind::RefreshView, 0, [](ChannelLayout &shared) { return shared.hwData.notiEvent; });
}

HWData GetValueHWData()
{
    HWData copy;
    if (!store([&](const ChannelLayout &shared) { copy = shared.hwData; }))
        return defaultHWData();
    RecordSanitizer::clean(copy);
    return copy;
}

NotiEventData GetNotiEvent()
{
    NotiEventData copy;
    if (!store([&](const ChannelLayout &shared) { copy = shared.hwData.notiEvent; }))
        return defaultHWData().notiEvent;
    RecordSanitizer::clean(copy);
    return copy;
}

std::uint64_t GetSettingValue()
{
    SettingData copy;
    if (!store([&](const ChannelLayout &shared) { copy = shared.hwData.settingData; }))
        return defaultHWData().settingData.pack();
    RecordSanitizer::clean(copy);
    return copy.pack();
}

int GetProfile()
{
    return read(0, [](const ChannelLayout &shared) { return int(shared.hwData.selectProfile); });
}

COLORREF *GetValueRGB(int module)
{
    if (!validModule(module, "GetValueRGB"))
        return nullptr;
    MemoryModuleData *record = moduleRecord(module);
    return record ? record->rgb : nullptr;
}

float *GetValueBright(int module)
{
    if (!validModule(module, "GetValueBright"))
        return nullptr;
    MemoryModuleData *record = moduleRecord(module);
    return record ? record->bright : nullptr;
}

COLORREF *GetValueSoftwareRGB(int module)
{
    if (!validModule(module, "GetValueSoftwareRGB"))
        return nullptr;
    MemoryModuleData *record = moduleRecord(module);
    return record ? record->softwareRGB : nullptr;
}

namespace {
template <typename Result, typename Field>
Result readModule(int module, const char *operation, Result fallback, Field &&field)
{
    if (!validModule(module, operation))
        return fallback;
    return read(fallback, [&](const ChannelLayout &shared) { return Result(field(shared.hwData.memoryData[module])); });
}
} // namespace

COLORREF GetValueSingleRGB(int module)
{
    return readModule(module, "GetValueSingleRGB", COLORREF(0), [](const MemoryModuleData &d) { return d.singleRGB; });
}

float GetValueSingleBright(int module)
{
    return readModule(module, "GetValueSingleBright", 0.0f, [](const MemoryModuleData &d) { return d.singleBright; });
}

int GetValueLightMode(int module)
{
    return readModule(module, "GetValueLightMode", 0, [](const MemoryModuleData &d) { return d.lightMode; });
}

int GetValueColorMode(int module)
{
    return readModule(module, "GetValueColorMode", 0, [](const MemoryModuleData &d) { return d.colorMode; });
}

int GetValueLightSpeed(int module)
{
    return readModule(module, "GetValueLightSpeed", 0, [](const MemoryModuleData &d) { return d.lightSpeed; });
}

bool GetValueTurnOff(int module)
{
    return readModule(module, "GetValueTurnOff", false,
                      [](const MemoryModuleData &d) { return RecordSanitizer::flag(d.turnOff); });
}

int GetValueMemorySlotNumber(int module)
{
    return readModule(module, "GetValueMemorySlotNumber", 0,
                      [](const MemoryModuleData &d) { return d.slotSequence; });
}

// The array holds five colours; a caller asking for more would read past it.
COLORREF *GetValueSyncRGB(int count)
{
    if (count < 0 || count > kSyncColourCount) {
        logChannel("GetValueSyncRGB: refusing count %d", count);
        succeeded(false);
        return nullptr;
    }
    ChannelSegment *segment = usableSegment();
    return segment ? segment->layout().syncRGB : nullptr;
}

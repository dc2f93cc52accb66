// Floods the channel from a process of its own, as a runaway or hostile window would:
// <count> changes of every kind spread evenly over <milliseconds>, then one last,
// known state (see finalState below), which is what the control program must keep.
// Prints "flooded <count> <elapsed ms>" when done; exits 3 when the channel is not
// there, 4 when a change did not reach it.
#include "VELTRIMA_Lighting.h"
#include "VELTRIMA_LightingExtras.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {
// Modes that draw a frame each tick, so that the frame count stays meaningful.
constexpr int kModes[] = {0, 1, 2, 3, 4, 5, 6, 15, 17, 19};
constexpr int kModeCount = int(sizeof kModes / sizeof kModes[0]);

bool change(int i)
{
    const int module = i % kModuleCount;
    COLORREF colours[kLedSlots];
    float bright[kLedSlots];
    for (int k = 0; k < kLedSlots; ++k) {
        colours[k] = rgbColor(i & 0xFF, (i >> 8) & 0xFF, k * 20);
        bright[k] = 0.5f;
    }
    switch (i % 5) {
    case 0:
        SetValueLighting(module, kModes[(i / 5) % kModeCount], i % 2, i % 4, false);
        break;
    case 1:
        SetValueRGB(module, colours, bright, colours[0], 0.5f, kLedSlots);
        break;
    case 2: {
        SettingData settings;
        settings.reset();
        settings.language = i % 10;
        settings.isAutoRun = i % 2 == 0;
        SetSettingValue(settings.pack());
        break;
    }
    case 3: {
        int slots[kModuleCount];
        for (int m = 0; m < kModuleCount; ++m)
            slots[m] = (m + i) % kModuleCount;
        SetSlotNumber(kModuleCount, slots);
        break;
    }
    default: {
        NotiEventData event = GetNotiEvent();
        event.type = NotiLoading;
        event.loadingOn = false;
        event.loadingValue = i % 100;
        SetNotiEvent(event);
        break;
    }
    }
    return SharedDLL_lastCallSucceeded();
}

// Module m: Static, colour mode 0, speed m % 4, LED k = 0x00BBGGRR (m * 16 + k, k, m).
bool finalState()
{
    bool ok = true;
    for (int m = 0; m < kModuleCount; ++m) {
        COLORREF colours[kLedSlots];
        float bright[kLedSlots];
        for (int k = 0; k < kLedSlots; ++k) {
            colours[k] = rgbColor(m * 16 + k, k, m);
            bright[k] = 1.0f;
        }
        SetValueRGB(m, colours, bright, rgbColor(0, 0, 255), 1.0f, kLedSlots);
        ok = ok && SharedDLL_lastCallSucceeded();
        SetValueLighting(m, 6, 0, m % 4, false);
        ok = ok && SharedDLL_lastCallSucceeded();
    }
    const int slots[kModuleCount] = {7, 6, 5, 4, 3, 2, 1, 0};
    SetSlotNumber(kModuleCount, slots);
    ok = ok && SharedDLL_lastCallSucceeded();
    SettingData settings;
    settings.reset();
    settings.language = 0;
    settings.isAutoRun = true;
    SetSettingValue(settings.pack());
    return ok && SharedDLL_lastCallSucceeded();
}
} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: channel_flood <count> <milliseconds>\n");
        return 2;
    }
    const int count = std::atoi(argv[1]);
    const int spanMs = std::atoi(argv[2]);
    SharedDLL_init();
    if (!SharedDLL_isAvailable())
        return 3;

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    bool ok = true;
    for (int i = 0; i < count; ++i) {
        ok = change(i) && ok;
        // Paced in small bursts, as a client hammering the channel would be.
        if (i % 50 == 49)
            std::this_thread::sleep_until(start + std::chrono::microseconds(std::int64_t(spanMs) * 1000 * i / count));
    }
    ok = finalState() && ok;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    std::printf("flooded %d %lld\n", count, static_cast<long long>(elapsed));
    std::fflush(stdout);
    return ok ? 0 : 4;
}

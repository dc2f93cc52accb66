/*
 * VELTRIMA_Lighting: one copy of the lighting, setting and notification state for
 * all processes of a user, and callbacks into the process that registered them when
 * another process changes it.
 *
 * Decisions this library makes (the programs rely on them):
 * - A process's own changes never reach its own callbacks; only changes made by
 *   another process do. Callbacks run on one listener thread per process, never with
 *   the library's lock held, so a callback may call any operation.
 * - SetValueHWData takes only what the hardware reader owns: memoryIndex,
 *   memoryCount, the system readings and chipset, and per module memorySlot,
 *   temperature, the four texts, memoryModuleSize and frequency, and ledNum only when
 *   the given one is above 0 (the reader's record carries 0 or -1 until the lighting
 *   engine has counted the LEDs, and that must not wipe the count). Lighting, slot
 *   order, profile, notification and setting fields come only from their own setters.
 * - dataTimestamp is stamped by the library on every SetValueHWData.
 * - SetSlotNumber writes each module's slotSequence; GetValueMemorySlotNumber reads it.
 * - Module numbers outside 0..7, negative counts and null pointers are refused
 *   (nothing is stored, getters return 0 / nullptr); setters clamp counts above 12
 *   (5 for the sync colours, 8 for the slot numbers); GetValueSyncRGB refuses a count
 *   above 5, since its array holds five colours.
 * - The shared state lives in the file lighting-v<layout version>.shm of the user's
 *   runtime folder, so libraries of different versions never share (or resize) one
 *   file. A file is only ever grown; one whose header fails its checks (foreign,
 *   unfinished or overwritten) is rebuilt with the defaults, never trusted.
 * - The shared lock is an exclusive flock on that file, held by the kernel: bytes
 *   written into the mapping cannot damage it, and the kernel releases it when its
 *   holder dies. An operation that cannot take it within a second (its holder hangs
 *   or was stopped) does nothing: setters store nothing, getters return what they
 *   return without a channel (0, or the new channel's records for GetValueHWData,
 *   GetNotiEvent, GetSettingValue); SharedDLL_lastCallSucceeded() then says false.
 *   Joining a whole segment needs no lock; making or rebuilding one waits for it at
 *   most a second as well. The pointer getters and SetValueSoftwareRGB (the preview
 *   colours, written every frame) do not wait for another process's lock, so they
 *   keep working while a holder is stopped; a preview may be seen half written.
 * - Every operation first checks that the file still has its full size: one that
 *   shrank or was removed is not touched (that would raise SIGBUS); the file that
 *   now has the name is mapped at the same address instead, so pointers stay valid.
 * - SetValueSyncRGB (at most 5 colours) sets the colours behind GetValueSyncRGB for
 *   hub synchronisation; nothing else changes them.
 * - Pointers returned by getters point into the shared state and stay valid for the
 *   life of the process; another process may change what they point at at any time.
 */
#ifndef VELTRIMA_LIGHTING_H
#define VELTRIMA_LIGHTING_H

#include "HWData.h"

#include <cstdint>

#if defined(VELTRIMA_LIGHTING_BUILD)
#define VELTRIMA_LIGHTING_API extern "C" __attribute__((visibility("default")))
#else
#define VELTRIMA_LIGHTING_API extern "C"
#endif

typedef void (*ReceiveIntFunc)(int);
typedef void (*ReceiveNotiEventFunc)(NotiEventData);

VELTRIMA_LIGHTING_API void SharedDLL_init();

VELTRIMA_LIGHTING_API void RegisterReceiveFunc(ReceiveIntFunc f);
VELTRIMA_LIGHTING_API void RegisterReceiveLightModeFunc(ReceiveIntFunc f);
VELTRIMA_LIGHTING_API void RegisterReceiveMemorySlotNumber(ReceiveIntFunc f);
VELTRIMA_LIGHTING_API void RegisterReceiveProfile(ReceiveIntFunc f);
VELTRIMA_LIGHTING_API void RegisterReceiveNotiEvent(ReceiveNotiEventFunc f);
VELTRIMA_LIGHTING_API void RegisterUIEventLightModeFunc(ReceiveIntFunc f);

VELTRIMA_LIGHTING_API void SetValueRGB(int module, const COLORREF *rgb, const float *bright, COLORREF singleRGB,
                                       float singleBright, int count);
VELTRIMA_LIGHTING_API void SetValueLighting(int module, int lightMode, int colorMode, int lightSpeed, bool turnOff);
VELTRIMA_LIGHTING_API void SetSlotNumber(int count, const int *slotNumbers);
VELTRIMA_LIGHTING_API void SetProfile(int profile);
VELTRIMA_LIGHTING_API void SetNotiEvent(NotiEventData event);
VELTRIMA_LIGHTING_API void SetSettingValue(std::uint64_t packedSetting);
VELTRIMA_LIGHTING_API void SetValueHWData(const HWData *data);
VELTRIMA_LIGHTING_API void SetValueSoftwareRGB(int module, const COLORREF *colours, int count);
VELTRIMA_LIGHTING_API void SetValueSyncRGB(int count, const COLORREF *colours);
VELTRIMA_LIGHTING_API void Refresh_View();

VELTRIMA_LIGHTING_API HWData GetValueHWData();
VELTRIMA_LIGHTING_API NotiEventData GetNotiEvent();
VELTRIMA_LIGHTING_API std::uint64_t GetSettingValue();
VELTRIMA_LIGHTING_API int GetProfile();
VELTRIMA_LIGHTING_API COLORREF *GetValueRGB(int module);
VELTRIMA_LIGHTING_API float *GetValueBright(int module);
VELTRIMA_LIGHTING_API COLORREF *GetValueSoftwareRGB(int module);
VELTRIMA_LIGHTING_API COLORREF GetValueSingleRGB(int module);
VELTRIMA_LIGHTING_API float GetValueSingleBright(int module);
VELTRIMA_LIGHTING_API int GetValueLightMode(int module);
VELTRIMA_LIGHTING_API int GetValueColorMode(int module);
VELTRIMA_LIGHTING_API int GetValueLightSpeed(int module);
VELTRIMA_LIGHTING_API bool GetValueTurnOff(int module);
VELTRIMA_LIGHTING_API int GetValueMemorySlotNumber(int module);
VELTRIMA_LIGHTING_API COLORREF *GetValueSyncRGB(int count);

#endif

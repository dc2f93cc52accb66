// The record shared with the maker's hub program: the file SpectraHubSyncVELTRIMA in the
// runtime folder, 780 bytes of little-endian 32-bit fields, mapped shared. We mirror the
// modules' lighting into it; the hub writes its animation choice for light mode 16.
// Every writer is a no-op until open() succeeded, so callers need not check.
#pragma once

#include "HWData.h"

#include <QString>

#include <cstdint>

class HubSyncRecord
{
public:
    static constexpr int kSize = 780;
    static constexpr int kMirroredLeds = 8;
    // Field offsets in bytes.
    static constexpr int kModuleCountAt = 0;
    static constexpr int kSlotAt = 4;
    static constexpr int kLedCountAt = 36;
    static constexpr int kLightModeAt = 68;
    static constexpr int kColorModeAt = 100;
    static constexpr int kSpeedAt = 132;
    static constexpr int kLedColourAt = 164;
    static constexpr int kLedBrightAt = 420;
    static constexpr int kSingleColourAt = 676;
    static constexpr int kSingleBrightAt = 708;
    static constexpr int kTurnOffAt = 740;
    static constexpr int kProfileAt = 772;
    static constexpr int kAnimationAt = 776;

    HubSyncRecord() = default;
    ~HubSyncRecord();
    HubSyncRecord(const HubSyncRecord &) = delete;
    HubSyncRecord &operator=(const HubSyncRecord &) = delete;

    // "<runtime>/SpectraHubSyncVELTRIMA"; empty when the runtime folder is unusable.
    static QString defaultPath();

    // Maps the file at path. A symlink or anything but a regular file of ours is
    // removed and replaced; a new file is zero-filled; a short one is grown, a long one
    // is left as it is. False (logged) on failure.
    bool open(const QString &path);
    void close();
    bool isOpen() const { return m_view != nullptr; }

    // Everything the record holds of data, as after the first hardware initialisation.
    void fill(const HWData &data, int moduleCount, int profile);
    // LEDs 0..7 of colour and brightness, the single colour and brightness.
    void writeColours(int module, const MemoryModuleData &data);
    // Light mode, colour mode, speed and turn-off; light mode 20 is never mirrored.
    void writeLighting(int module, const MemoryModuleData &data);
    void writeSlot(int module, int slot);
    void writeLedCount(int module, int ledCount);
    void writeProfile(int profile);

    // The hub's animation choice; 0 while the record is not open.
    int animationChoice() const;

private:
    void writeWord(int offset, std::uint32_t value);
    std::uint32_t readWord(int offset) const;
    void writeInt(int offset, std::int32_t value) { writeWord(offset, std::uint32_t(value)); }
    void writeFloat(int offset, float value);

    unsigned char *m_view = nullptr;
};

// The byte layout of the shared segment. Every process of the user maps the same
// file, so the layout holds only plain data, never pointers, and any change to it
// must bump kChannelLayoutVersion. The version is part of the file's name, so a
// library of another version (an upgrade while the old program still runs) uses a
// file of its own and never resizes or rebuilds one that this version maps.
// Nothing in the layout is needed for exclusion: the lock is held by the kernel on
// the file, so stray bytes written into the mapping cannot break it.
#pragma once

#include "HWData.h"

#include <cstdint>
#include <string>

constexpr std::uint32_t kChannelMagic = 0x48434C56; // "VLCH"
constexpr std::uint32_t kChannelLayoutVersion = 2;
constexpr int kChannelRingSize = 256;
constexpr int kSyncColourCount = 5;

// What a setter changed; each kind that raises a callback has its own value.
enum class ChannelEventKind : std::uint32_t {
    None = 0,
    Rgb = 1,
    LightMode = 2,
    SlotNumber = 3,
    Profile = 4,
    NotiEvent = 5,
    RefreshView = 6,
};

struct ChannelEvent {
    std::uint32_t sequence;
    ChannelEventKind kind;
    std::int32_t argument;
    std::int32_t originPid;
    NotiEventData notiEvent;
};

struct ChannelLayout {
    std::uint32_t magic;
    std::uint32_t version;
    std::uint64_t size;
    // Number of events ever appended; also the futex word the listeners wait on.
    // Written under the lock; listeners read it through the file (see readSequence).
    std::uint32_t sequence;
    std::uint32_t reserved;
    ChannelEvent ring[kChannelRingSize];
    HWData hwData;
    COLORREF syncRGB[kSyncColourCount];
};

static_assert(std::is_trivially_copyable<ChannelEvent>::value, "lives in shared memory");
static_assert(std::is_standard_layout<ChannelLayout>::value, "lives in shared memory");
static_assert(alignof(ChannelLayout) <= 64, "a page-aligned mapping aligns every field");

// The segment's file name in the runtime folder, e.g. "lighting-v2.shm".
inline std::string channelSegmentFileName()
{
    return "lighting-v" + std::to_string(kChannelLayoutVersion) + ".shm";
}

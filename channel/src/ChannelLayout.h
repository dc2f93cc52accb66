// The byte layout of the shared segment. Every process of the user maps the same
// file, so the layout holds only plain data, never pointers, and any change to it
// must bump kChannelLayoutVersion so that an older segment is rebuilt, not misread.
#pragma once

#include "HWData.h"

#include <pthread.h>

#include <cstdint>

constexpr std::uint32_t kChannelMagic = 0x48434C56; // "VLCH"
constexpr std::uint32_t kChannelLayoutVersion = 1;
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
    pthread_mutex_t mutex;
    // Number of events ever appended; also the futex word the listeners wait on.
    // Written under the mutex, read with atomic loads.
    std::uint32_t sequence;
    std::uint32_t reserved;
    ChannelEvent ring[kChannelRingSize];
    HWData hwData;
    COLORREF syncRGB[kSyncColourCount];
};

static_assert(std::is_trivially_copyable<ChannelEvent>::value, "lives in shared memory");
static_assert(std::is_standard_layout<ChannelLayout>::value, "lives in shared memory");
static_assert(alignof(ChannelLayout) <= 64, "a page-aligned mapping aligns every field");

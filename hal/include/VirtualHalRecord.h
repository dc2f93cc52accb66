// What the virtual DIMM HAL publishes about the calls it receives: a file of this layout
// in the runtime folder, named "hal-virtual-" + CLSID + ".state", mapped shared by the
// server and read by tests and viewers. Each device entry is guarded by a sequence word
// that is odd while the server writes the entry; a reader retries until it reads the same
// even value before and after copying.
#pragma once

#include <atomic>
#include <cstdint>

constexpr std::uint32_t kVirtualHalMagic = 0x56484C31; // "VHL1"
constexpr std::uint32_t kVirtualHalVersion = 1;
constexpr int kVirtualHalMaxDevices = 16;
constexpr int kVirtualHalMaxColours = 16;

struct VirtualHalDeviceRecord {
    std::atomic<std::uint32_t> sequence;
    std::int32_t type;
    std::int32_t ledCount;
    std::int32_t lastEffect;      // -1 until the first colour call
    std::int32_t lastCount;       // the count argument of the last colour call
    std::uint32_t reserved;
    std::uint64_t colourCalls;
    std::uint64_t effectCalls[8]; // colour calls per effect 0..7
    std::uint64_t capabilityCalls;
    std::uint32_t lastColours[kVirtualHalMaxColours]; // the colours of the last call (at most 16 kept)
};

struct VirtualHalRecord {
    std::uint32_t magic;
    std::uint32_t version;
    std::uint32_t size;
    std::int32_t serverPid;
    std::int32_t deviceCount;     // devices the server reports (0 when it reports none)
    std::uint32_t reserved;
    std::atomic<std::uint64_t> objectsCreated;
    std::atomic<std::int64_t> objectsAlive;
    VirtualHalDeviceRecord devices[kVirtualHalMaxDevices];
};

static_assert(std::atomic<std::uint32_t>::is_always_lock_free, "shared between processes");
static_assert(std::atomic<std::uint64_t>::is_always_lock_free, "shared between processes");

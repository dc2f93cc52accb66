#include "DebugFlags.h"

#include <atomic>

namespace {
std::atomic<bool> s_debugMode{false};
std::atomic<bool> s_hwDebugMode{false};
}

bool DebugFlags::isDebugMode()
{
    return s_debugMode.load(std::memory_order_relaxed);
}

void DebugFlags::setDebugMode(bool on)
{
    s_debugMode.store(on, std::memory_order_relaxed);
}

bool DebugFlags::isHWDebugMode()
{
    return s_hwDebugMode.load(std::memory_order_relaxed);
}

void DebugFlags::setHWDebugMode(bool on)
{
    s_hwDebugMode.store(on, std::memory_order_relaxed);
}

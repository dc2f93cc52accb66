#pragma once

#include "ChannelLayout.h"
#include "VELTRIMA_Lighting.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

// The one thread of a process that waits for other processes' changes and calls
// the callbacks this process registered. It starts with the first registration.
class ChannelListener
{
public:
    static ChannelListener &instance();

    void setCallback(ChannelEventKind kind, ReceiveIntFunc callback);
    void setNotiCallback(ReceiveNotiEventFunc callback);
    void clearCallbacks();

    // Ends the thread; waits (bounded) for a running callback unless called from one.
    void stop();

private:
    ChannelListener() = default;
    void ensureRunning();
    void run(std::uint64_t generation, std::uint32_t seen);
    void deliver(const ChannelEvent &event) const;
    bool isCurrent(std::uint64_t generation) const { return m_generation.load() == generation; }

    std::atomic<ReceiveIntFunc> m_rgb{nullptr};
    std::atomic<ReceiveIntFunc> m_lightMode{nullptr};
    std::atomic<ReceiveIntFunc> m_slotNumber{nullptr};
    std::atomic<ReceiveIntFunc> m_profile{nullptr};
    std::atomic<ReceiveIntFunc> m_refreshView{nullptr};
    std::atomic<ReceiveNotiEventFunc> m_notiEvent{nullptr};

    std::mutex m_mutex;
    std::condition_variable m_threadEnded;
    std::atomic<std::uint64_t> m_generation{0};
    bool m_running = false;
    int m_threads = 0;
};

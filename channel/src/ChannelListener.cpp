#include "ChannelListener.h"

#include "ChannelLog.h"
#include "ChannelSegment.h"
#include "LogThrottle.h"
#include "RecordSanitizer.h"

#include <pthread.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {
// Bounds how long a stop request waits for the thread to notice it.
constexpr int kWaitTimeoutMs = 200;
constexpr auto kStopTimeout = std::chrono::seconds(2);

thread_local bool t_onListenerThread = false;

// Forged events could otherwise fill the log.
LogThrottle g_refusedEventLog(std::chrono::seconds(10));

// Stops the thread before the process's static objects go away at exit.
struct ExitStopper {
    ~ExitStopper() { ChannelListener::instance().stop(); }
};
} // namespace

ChannelListener &ChannelListener::instance()
{
    // Never destroyed, so a listener still finishing at exit finds its members.
    static ChannelListener *const listener = [] {
        auto *created = new ChannelListener;
        // A forked child has no listener thread, whatever its parent had.
        pthread_atfork([] { instance().m_mutex.lock(); }, [] { instance().m_mutex.unlock(); },
                       [] {
                           ChannelListener &self = instance();
                           self.m_running = false;
                           self.m_threads = 0;
                           ++self.m_generation;
                           self.m_mutex.unlock();
                       });
        return created;
    }();
    static ExitStopper stopper;
    return *listener;
}

void ChannelListener::setCallback(ChannelEventKind kind, ReceiveIntFunc callback)
{
    switch (kind) {
    case ChannelEventKind::Rgb: m_rgb = callback; break;
    case ChannelEventKind::LightMode: m_lightMode = callback; break;
    case ChannelEventKind::SlotNumber: m_slotNumber = callback; break;
    case ChannelEventKind::Profile: m_profile = callback; break;
    case ChannelEventKind::RefreshView: m_refreshView = callback; break;
    case ChannelEventKind::NotiEvent:
    case ChannelEventKind::None: return;
    }
    if (callback)
        ensureRunning();
}

void ChannelListener::setNotiCallback(ReceiveNotiEventFunc callback)
{
    m_notiEvent = callback;
    if (callback)
        ensureRunning();
}

void ChannelListener::clearCallbacks()
{
    m_rgb = nullptr;
    m_lightMode = nullptr;
    m_slotNumber = nullptr;
    m_profile = nullptr;
    m_refreshView = nullptr;
    m_notiEvent = nullptr;
}

void ChannelListener::ensureRunning()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_running)
        return;
    ChannelSegment *segment = ChannelSegment::instance();
    if (!segment)
        return;
    // Events from before the registration are not delivered.
    std::uint32_t seen = 0;
    segment->readSequence(seen);
    const std::uint64_t generation = ++m_generation;
    m_running = true;
    ++m_threads;
    std::thread([this, generation, seen] { run(generation, seen); }).detach();
}

void ChannelListener::stop()
{
    std::unique_lock<std::mutex> guard(m_mutex);
    if (!m_running)
        return;
    m_running = false;
    ++m_generation;
    if (ChannelSegment *segment = ChannelSegment::instance())
        segment->wake();
    if (t_onListenerThread)
        return;
    if (!m_threadEnded.wait_for(guard, kStopTimeout, [this] { return m_threads == 0; }))
        logChannel("the listener did not stop in time (a callback is still running)");
}

void ChannelListener::run(std::uint64_t generation, std::uint32_t seen)
{
    t_onListenerThread = true;
    pthread_setname_np(pthread_self(), "veltrima-chan");
    ChannelSegment *segment = ChannelSegment::instance();
    const pid_t ownPid = getpid();
    while (isCurrent(generation)) {
        // Pages of a file that shrank raise SIGBUS when touched: the file is checked
        // (and a replacement mapped) before each look, and the sequence is read
        // through the file, where a shrink cannot turn into a fault.
        std::uint32_t current = seen;
        if (!segment->usable() || !segment->readSequence(current)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kWaitTimeoutMs));
            continue;
        }
        if (current == seen) {
            segment->waitForChange(seen, kWaitTimeoutMs);
            continue;
        }
        // Copies are made under the lock; callbacks run without it, so they may call
        // any operation of the library.
        const std::uint32_t before = seen;
        const std::vector<ChannelEvent> events = segment->eventsSince(seen);
        if (seen == before) {
            // The lock could not be had: try again later rather than spin on it.
            std::this_thread::sleep_for(std::chrono::milliseconds(kWaitTimeoutMs));
            continue;
        }
        for (const ChannelEvent &event : events) {
            if (!isCurrent(generation))
                break;
            if (event.originPid != ownPid)
                deliver(event);
        }
    }
    std::lock_guard<std::mutex> guard(m_mutex);
    --m_threads;
    m_threadEnded.notify_all();
}

void ChannelListener::deliver(const ChannelEvent &event) const
{
    const bool moduleEvent = event.kind == ChannelEventKind::Rgb || event.kind == ChannelEventKind::LightMode;
    if (moduleEvent && (event.argument < 0 || event.argument >= kModuleCount)) {
        unsigned suppressed = 0;
        if (g_refusedEventLog.allow(suppressed))
            logChannel("ignoring an event for module %d (and %u more since the last report)", event.argument,
                       suppressed);
        return;
    }
    ReceiveIntFunc callback = nullptr;
    switch (event.kind) {
    case ChannelEventKind::Rgb: callback = m_rgb; break;
    case ChannelEventKind::LightMode: callback = m_lightMode; break;
    case ChannelEventKind::SlotNumber: callback = m_slotNumber; break;
    case ChannelEventKind::Profile: callback = m_profile; break;
    case ChannelEventKind::RefreshView: callback = m_refreshView; break;
    case ChannelEventKind::NotiEvent:
        if (ReceiveNotiEventFunc noti = m_notiEvent) {
            NotiEventData copy = event.notiEvent;
            RecordSanitizer::clean(copy);
            noti(copy);
        }
        return;
    case ChannelEventKind::None: return;
    }
    if (callback)
        callback(event.argument);
}

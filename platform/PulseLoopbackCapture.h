// Records the monitor of the sound server's default playback device (PulseAudio, or
// PipeWire through its PulseAudio server) on the server library's own thread.
//
// The recording looks after itself: without a server it tries again every second;
// when the server's devices change (another count, another default) or the recording is
// lost, it sets up a new one on the then default device. Readers only take the state and
// the packets under a short lock that the sound thread holds for copies, never while it
// talks to the server.
//
// Nobody is listening most of the time (only the sound-driven light modes read the
// level), so a recording that nobody took packets from for a while is paused and its
// history flushed with silence; the next take wakes it through an event descriptor.
#pragma once

#include "SoundCapture.h"

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>

struct pa_context;
struct pa_io_event;
struct pa_mainloop_api;
struct pa_stream;
struct pa_threaded_mainloop;
struct pa_time_event;

class PulseLoopbackCapture final : public SoundCapture
{
public:
    // A reader that stops coming leaves at most this many packets behind. A level meter
    // keeps only its newest 256 samples, so the newest packets carry all it would use.
    static constexpr std::size_t kMaxPackets = 32;
    static constexpr std::size_t kKeptOnOverflow = 8;
    static constexpr int kRetryMs = 1000;
    // How much the server gathers before it hands the recording over.
    static constexpr int kFragmentMs = 20;
    static constexpr int kIdleMs = 2000;

    PulseLoopbackCapture();
    ~PulseLoopbackCapture() override;
    PulseLoopbackCapture(const PulseLoopbackCapture &) = delete;
    PulseLoopbackCapture &operator=(const PulseLoopbackCapture &) = delete;

    void start() override;
    Status status() const override;
    void takePackets(std::vector<Packet> &packets) override;

private:
    // Everything below runs on the sound thread, or before it starts.
    pa_mainloop_api *api() const;
    void connectContext();
    void contextStateChanged();
    void contextLost();
    void subscriptionEvent(unsigned type);
    void refresh();
    void serverInfoArrived(const char *defaultSink);
    void sinkListed();
    void sinkListEnded();
    void setUpStream(int sinkCount, const std::string &defaultSink);
    void dropStream();
    void streamStateChanged();
    void streamReadable();
    void streamSuspended();
    void append(const void *data, std::size_t bytes);
    void pushPartial();
    void scheduleRetry();
    void retry();
    void checkIdle();
    void pause();
    void woken();

    pa_threaded_mainloop *m_loop = nullptr;
    pa_context *m_context = nullptr;
    pa_context *m_lostContext = nullptr; // released at the next retry, outside its callbacks
    pa_stream *m_stream = nullptr;
    pa_time_event *m_retry = nullptr;
    pa_time_event *m_idleCheck = nullptr;
    pa_io_event *m_wakeEvent = nullptr;
    int m_listedSinks = 0;
    std::string m_listedDefault;
    int m_streamSinks = -1;
    std::string m_streamDefault;
    bool m_streamLost = false;
    bool m_serverMissingLogged = false;
    bool m_failureLogged = false;
    std::uint64_t m_serial = 0;
    Packet m_partial{};
    std::size_t m_partialBytes = 0;

    // Shared with readers without a lock.
    std::atomic<int> m_wakeFd{-1};
    std::atomic<bool> m_paused{false};
    std::atomic<bool> m_wakeAsked{false};
    std::atomic<std::int64_t> m_lastTakeMs{-kIdleMs};

    mutable std::mutex m_mutex;
    Status m_status;               // guarded by m_mutex
    std::vector<Packet> m_packets; // guarded by m_mutex
};

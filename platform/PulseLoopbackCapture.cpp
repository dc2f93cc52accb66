#include "PulseLoopbackCapture.h"

#include <QDebug>

#include <pulse/pulseaudio.h>

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {
constexpr std::size_t kPacketBytes = sizeof(SoundCapture::Packet);
constexpr int kSilentPacketsOnSuspend = 3;

PulseLoopbackCapture *self(void *userdata)
{
    return static_cast<PulseLoopbackCapture *>(userdata);
}

const char *errorText(pa_context *context)
{
    return context ? pa_strerror(pa_context_errno(context)) : "no context";
}

std::int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

timeval after(int ms)
{
    timeval when;
    pa_timeval_add(pa_gettimeofday(&when), pa_usec_t(ms) * PA_USEC_PER_MSEC);
    return when;
}
} // namespace

PulseLoopbackCapture::PulseLoopbackCapture()
{
    m_packets.reserve(kMaxPackets);
}

PulseLoopbackCapture::~PulseLoopbackCapture()
{
    if (!m_loop)
        return;
    pa_threaded_mainloop_lock(m_loop);
    dropStream();
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_set_subscribe_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
    }
    if (m_lostContext)
        pa_context_unref(m_lostContext);
    if (m_retry)
        api()->time_free(m_retry);
    if (m_idleCheck)
        api()->time_free(m_idleCheck);
    if (m_wakeEvent)
        api()->io_free(m_wakeEvent);
    pa_threaded_mainloop_unlock(m_loop);
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

void PulseLoopbackCapture::start()
{
    if (m_loop)
        return;
    m_loop = pa_threaded_mainloop_new();
    if (!m_loop) {
        qWarning() << "PulseLoopbackCapture: no sound thread; the sound level stays unknown";
        return;
    }
    pa_threaded_mainloop_set_name(m_loop, "sound");
    // The thread does not run yet, so nothing else touches the loop before it starts.
    const int wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd >= 0) {
        m_wakeEvent = api()->io_new(
            api(), wakeFd, PA_IO_EVENT_INPUT,
            [](pa_mainloop_api *, pa_io_event *, int, pa_io_event_flags_t, void *userdata) { self(userdata)->woken(); },
            this);
        m_wakeFd = wakeFd;
        const timeval when = after(kIdleMs / 2);
        m_idleCheck = api()->time_new(
            api(), &when,
            [](pa_mainloop_api *, pa_time_event *, const timeval *, void *userdata) { self(userdata)->checkIdle(); },
            this);
    }
    connectContext();
    if (pa_threaded_mainloop_start(m_loop) < 0)
        qWarning() << "PulseLoopbackCapture: the sound thread did not start";
}

SoundCapture::Status PulseLoopbackCapture::status() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_status;
}

void PulseLoopbackCapture::takePackets(std::vector<Packet> &packets)
{
    packets.clear();
    m_lastTakeMs.store(nowMs(), std::memory_order_relaxed);
    if (m_paused.load() && !m_wakeAsked.exchange(true)) {
        const std::uint64_t one = 1;
        if (::write(m_wakeFd, &one, sizeof one) < 0)
            m_wakeAsked = false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    packets.swap(m_packets);
}

pa_mainloop_api *PulseLoopbackCapture::api() const
{
    return pa_threaded_mainloop_get_api(m_loop);
}

void PulseLoopbackCapture::connectContext()
{
    m_context = pa_context_new(api(), "VELTRIMA RGB Control");
    if (!m_context) {
        scheduleRetry();
        return;
    }
    pa_context_set_state_callback(
        m_context, [](pa_context *, void *userdata) { self(userdata)->contextStateChanged(); }, this);
    // Never start a server of our own: the user's session owns it.
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        contextLost();
}

void PulseLoopbackCapture::contextStateChanged()
{
    if (!m_context)
        return;
    switch (pa_context_get_state(m_context)) {
    case PA_CONTEXT_READY:
        qInfo() << "PulseLoopbackCapture: connected to the sound server" << pa_context_get_server(m_context);
        m_serverMissingLogged = false;
        pa_context_set_subscribe_callback(
            m_context,
            [](pa_context *, pa_subscription_event_type_t type, uint32_t, void *userdata) {
                self(userdata)->subscriptionEvent(type);
            },
            this);
        if (pa_operation *op = pa_context_subscribe(
                m_context, pa_subscription_mask_t(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SERVER), nullptr,
                nullptr))
            pa_operation_unref(op);
        refresh();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        contextLost();
        break;
    default:
        break;
    }
}

void PulseLoopbackCapture::contextLost()
{
    if (!m_context)
        return;
    const bool wasReady = [this] {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_status.serverReady;
    }();
    if (wasReady)
        qWarning() << "PulseLoopbackCapture: lost the sound server:" << errorText(m_context);
    else if (!m_serverMissingLogged)
        qInfo().nospace() << "PulseLoopbackCapture: no sound server (" << errorText(m_context)
                          << "); trying again every " << kRetryMs << " ms";
    m_serverMissingLogged = true;
    dropStream();
    pa_context_set_state_callback(m_context, nullptr, nullptr);
    pa_context_set_subscribe_callback(m_context, nullptr, nullptr);
    // This may run inside the context's own callback: it is released at the retry.
    if (m_lostContext)
        pa_context_unref(m_lostContext);
    m_lostContext = m_context;
    m_context = nullptr;
    m_streamSinks = -1;
    m_streamDefault.clear();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_status.serverReady = false;
        m_status.sinkCount = 0;
        m_status.defaultSink.clear();
        m_status.streamReady = false;
        m_packets.clear();
    }
    scheduleRetry();
}

void PulseLoopbackCapture::subscriptionEvent(unsigned type)
{
    const unsigned facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    const unsigned kind = type & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
    // A sink's own changes (volume, running or idle) come often and change nothing here.
    if (facility == PA_SUBSCRIPTION_EVENT_SINK && kind == PA_SUBSCRIPTION_EVENT_CHANGE)
        return;
    refresh();
}

// The server answers in the order it was asked: the server's information, then the
// sinks, and only the end of the list acts on both.
void PulseLoopbackCapture::refresh()
{
    if (!m_context)
        return;
    if (pa_operation *op = pa_context_get_server_info(
            m_context,
            [](pa_context *, const pa_server_info *info, void *userdata) {
                self(userdata)->serverInfoArrived(info ? info->default_sink_name : nullptr);
            },
            this))
        pa_operation_unref(op);
    if (pa_operation *op = pa_context_get_sink_info_list(
            m_context,
            [](pa_context *, const pa_sink_info *info, int eol, void *userdata) {
                if (eol != 0)
                    self(userdata)->sinkListEnded();
                else if (info)
                    self(userdata)->sinkListed();
            },
            this))
        pa_operation_unref(op);
}

void PulseLoopbackCapture::serverInfoArrived(const char *defaultSink)
{
    m_listedDefault = defaultSink ? defaultSink : "";
    m_listedSinks = 0;
}

void PulseLoopbackCapture::sinkListed()
{
    ++m_listedSinks;
}

void PulseLoopbackCapture::sinkListEnded()
{
    const bool changed = m_listedSinks != m_streamSinks || m_listedDefault != m_streamDefault;
    if (changed || m_streamLost || (!m_stream && m_listedSinks > 0))
        setUpStream(m_listedSinks, m_listedDefault);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_status.serverReady = true;
    m_status.sinkCount = m_listedSinks;
    m_status.defaultSink = m_listedDefault;
    m_status.streamSerial = m_serial;
}

void PulseLoopbackCapture::setUpStream(int sinkCount, const std::string &defaultSink)
{
    dropStream();
    m_streamSinks = sinkCount;
    m_streamDefault = defaultSink;
    m_streamLost = false;
    ++m_serial;
    if (sinkCount == 0)
        return;
    const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, uint32_t(kSampleRate), uint8_t(kChannels)};
    m_stream = pa_stream_new(m_context, "sound level", &format, nullptr);
    if (!m_stream) {
        qWarning() << "pAudioClient->GetService---------------FAILED" << errorText(m_context);
        m_streamLost = true;
        scheduleRetry();
        return;
    }
    pa_stream_set_state_callback(
        m_stream, [](pa_stream *, void *userdata) { self(userdata)->streamStateChanged(); }, this);
    pa_stream_set_read_callback(
        m_stream, [](pa_stream *, std::size_t, void *userdata) { self(userdata)->streamReadable(); }, this);
    pa_stream_set_suspended_callback(
        m_stream, [](pa_stream *, void *userdata) { self(userdata)->streamSuspended(); }, this);
    pa_buffer_attr attributes;
    std::memset(&attributes, 0xff, sizeof attributes); // the server's choice for the rest
    attributes.fragsize = uint32_t(pa_usec_to_bytes(pa_usec_t(kFragmentMs) * PA_USEC_PER_MSEC, &format));
    // A recording that loses its device ends rather than follow the server elsewhere; a
    // listener alone must not keep a sound card from resting.
    const bool idle = m_wakeFd >= 0 && nowMs() - m_lastTakeMs.load(std::memory_order_relaxed) > kIdleMs;
    m_paused = idle;
    const auto flags = pa_stream_flags_t(PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE
                                         | PA_STREAM_DONT_INHIBIT_AUTO_SUSPEND | (idle ? PA_STREAM_START_CORKED : 0));
    if (pa_stream_connect_record(m_stream, "@DEFAULT_MONITOR@", &attributes, flags) < 0) {
        qWarning() << "pAudioClient->GetService---------------FAILED" << errorText(m_context);
        m_streamLost = true;
        scheduleRetry();
    }
}

void PulseLoopbackCapture::dropStream()
{
    m_partialBytes = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_status.streamReady = false;
    }
    if (!m_stream)
        return;
    pa_stream_set_state_callback(m_stream, nullptr, nullptr);
    pa_stream_set_read_callback(m_stream, nullptr, nullptr);
    pa_stream_set_suspended_callback(m_stream, nullptr, nullptr);
    if (pa_stream_get_state(m_stream) == PA_STREAM_READY || pa_stream_get_state(m_stream) == PA_STREAM_CREATING)
        pa_stream_disconnect(m_stream);
    pa_stream_unref(m_stream);
    m_stream = nullptr;
}

void PulseLoopbackCapture::streamStateChanged()
{
    switch (pa_stream_get_state(m_stream)) {
    case PA_STREAM_READY: {
        m_failureLogged = false;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_status.streamReady = true;
        break;
    }
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        // The first recording's failure and a later one's read differently in the log;
        // a device that keeps refusing is logged once, not at every retry.
        if (!m_failureLogged && m_serial <= 1)
            qWarning() << "pAudioClient->GetService---------------FAILED" << errorText(m_context);
        else if (!m_failureLogged)
            qWarning() << "pAudioClient->GetService---------------FAILED---222222" << errorText(m_context);
        m_failureLogged = true;
        m_streamLost = true;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_status.streamReady = false;
        }
        scheduleRetry();
        break;
    default:
        break;
    }
}

void PulseLoopbackCapture::streamReadable()
{
    const void *data = nullptr;
    std::size_t bytes = 0;
    while (m_stream && pa_stream_peek(m_stream, &data, &bytes) == 0 && bytes > 0) {
        append(data, bytes); // no data with a size: a hole, heard as silence
        pa_stream_drop(m_stream);
    }
}

// A resting device plays nothing: what the meter holds is flushed out with silence.
void PulseLoopbackCapture::streamSuspended()
{
    if (m_stream && pa_stream_is_suspended(m_stream) == 1)
        append(nullptr, kSilentPacketsOnSuspend * kPacketBytes);
}

void PulseLoopbackCapture::append(const void *data, std::size_t bytes)
{
    const auto *from = static_cast<const unsigned char *>(data);
    auto *packet = reinterpret_cast<unsigned char *>(m_partial.data());
    while (bytes > 0) {
        const std::size_t step = std::min(bytes, kPacketBytes - m_partialBytes);
        if (from) {
            std::memcpy(packet + m_partialBytes, from, step);
            from += step;
        } else {
            std::memset(packet + m_partialBytes, 0, step);
        }
        m_partialBytes += step;
        bytes -= step;
        if (m_partialBytes == kPacketBytes)
            pushPartial();
    }
}

void PulseLoopbackCapture::pushPartial()
{
    m_partialBytes = 0;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_packets.size() >= kMaxPackets)
        m_packets.erase(m_packets.begin(), m_packets.end() - kKeptOnOverflow);
    m_packets.push_back(m_partial);
}

void PulseLoopbackCapture::scheduleRetry()
{
    const timeval when = after(kRetryMs);
    if (m_retry) {
        api()->time_restart(m_retry, &when);
        return;
    }
    m_retry = api()->time_new(
        api(), &when,
        [](pa_mainloop_api *, pa_time_event *, const timeval *, void *userdata) { self(userdata)->retry(); }, this);
}

void PulseLoopbackCapture::retry()
{
    api()->time_free(m_retry);
    m_retry = nullptr;
    if (m_lostContext) {
        pa_context_unref(m_lostContext);
        m_lostContext = nullptr;
    }
    if (!m_context)
        connectContext();
    else if (m_streamLost)
        refresh();
}

void PulseLoopbackCapture::checkIdle()
{
    const timeval when = after(kIdleMs / 2);
    api()->time_restart(m_idleCheck, &when);
    if (m_stream && pa_stream_get_state(m_stream) == PA_STREAM_READY && !m_paused
        && nowMs() - m_lastTakeMs.load(std::memory_order_relaxed) > kIdleMs)
        pause();
}

void PulseLoopbackCapture::pause()
{
    if (pa_operation *op = pa_stream_cork(m_stream, 1, nullptr, nullptr))
        pa_operation_unref(op);
    m_paused = true;
    // What the reader holds is old by the time it comes back: it starts from silence.
    m_partialBytes = 0;
    append(nullptr, kSilentPacketsOnSuspend * kPacketBytes);
}

void PulseLoopbackCapture::woken()
{
    std::uint64_t count = 0;
    while (::read(m_wakeFd, &count, sizeof count) > 0) {
    }
    m_wakeAsked = false;
    if (!m_paused)
        return;
    m_paused = false;
    if (m_stream) {
        if (pa_operation *op = pa_stream_cork(m_stream, 0, nullptr, nullptr))
            pa_operation_unref(op);
    }
}

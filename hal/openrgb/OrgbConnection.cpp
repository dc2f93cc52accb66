#include "OrgbConnection.h"

#include "OrgbCodec.h"
#include "OrgbLatency.h"
#include "OrgbPacket.h"

#include <QDebug>
#include <QString>

#include <algorithm>
#include <map>

namespace {

using Clock = OrgbSocket::Clock;

// No machine has more; a larger count is a server that lies.
constexpr std::uint32_t kMaxControllers = 256;
constexpr std::uint32_t kPerLedColourFlag = 1u << 5;
constexpr std::uint32_t kModeColourFlag = 1u << 6;
constexpr std::uint32_t kColourModePerLed = 1;
constexpr std::uint32_t kColourModeSpecific = 2;

bool sameController(const OrgbController &a, const OrgbController &b)
{
    return a.type == b.type && a.name == b.name && a.location == b.location && a.serial == b.serial
        && a.leds.size() == b.leds.size() && a.colors.size() == b.colors.size();
}

bool sameListing(const std::vector<OrgbController> &a, const std::vector<OrgbController> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), sameController);
}

// The engine's colours spread over the controller's LEDs: equal counts map one to one.
std::vector<std::uint32_t> spread(const std::vector<std::uint32_t> &colours, std::size_t leds)
{
    std::vector<std::uint32_t> out(leds, 0);
    if (colours.empty())
        return out;
    for (std::size_t i = 0; i < leds; ++i)
        out[i] = colours[std::min(colours.size() - 1, i * colours.size() / leds)] & 0x00ffffffu;
    return out;
}

} // namespace

OrgbController OrgbConnection::firstSeen(const OrgbController &controller) const
{
    // Kept for the process's life: a later connection (after a restart of the server, or a
    // new discovery) sees the controllers in our direct mode, not in the one to give back.
    static std::mutex mutex;
    static std::map<std::string, OrgbController> seen;
    const std::string key = m_settings.host + ':' + std::to_string(m_settings.port) + '\n' + controller.name + '\n'
        + controller.location + '\n' + controller.serial;
    std::lock_guard<std::mutex> lock(mutex);
    return seen.emplace(key, controller).first->second;
}

OrgbConnection::OrgbConnection(OrgbConnectionSettings settings, OrgbLatency *latency)
    : m_settings(std::move(settings)), m_latency(latency)
{
    m_thread = std::thread([this] { run(); });
}

OrgbConnection::~OrgbConnection()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_listed.notify_all();
    m_socket.wake();
    m_thread.join();
}

std::vector<OrgbController> OrgbConnection::devices(std::chrono::milliseconds bound)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_handedOut) {
        m_listed.wait_for(lock, bound, [this] { return m_firstListingDone; });
        m_handedOut = true;
        m_handedOutDevices = m_listing;
        m_pending.assign(m_handedOutDevices.size(), Pending());
    }
    return m_handedOutDevices;
}

void OrgbConnection::show(int device, int effect, const std::uint32_t *colours, int count)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (device < 0 || std::size_t(device) >= m_pending.size())
            return;
        Pending &pending = m_pending[std::size_t(device)];
        pending.fresh = true;
        pending.effect = effect;
        pending.colours.assign(colours, colours + std::max(count, 0));
        pending.stamp = Clock::now();
    }
    m_socket.wake();
}

void OrgbConnection::setChangeHandler(std::function<void()> handler)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_changed = std::move(handler);
}

bool OrgbConnection::stopping() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_stop;
}

void OrgbConnection::refuse(const std::string &what)
{
    qWarning().noquote() << QStringLiteral("OpenRGB server %1:%2 refused: %3")
                                .arg(QString::fromStdString(m_settings.host))
                                .arg(m_settings.port)
                                .arg(QString::fromStdString(what));
}

void OrgbConnection::finishFirstListing()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_firstListingDone = true;
    }
    m_listed.notify_all();
}

void OrgbConnection::run()
{
    std::chrono::milliseconds backoff = m_settings.backoffFirst;
    while (!stopping()) {
        std::string error;
        if (m_socket.connectTo(m_settings.host, m_settings.port, m_settings.connectWait, &error)) {
            // A server that restarted has forgotten that we chose the direct mode.
            for (Driven &driven : m_driven)
                driven.direct = false;
            Outcome listed = Outcome::Lost;
            if (handshake())
                listed = enumerate();
            if (listed != Outcome::Lost) {
                qInfo().noquote() << QStringLiteral("OpenRGB server %1:%2: protocol %3, %4 controller(s) driven")
                                         .arg(QString::fromStdString(m_settings.host))
                                         .arg(m_settings.port)
                                         .arg(m_version)
                                         .arg(m_driven.size());
                m_failureLogged = false;
                backoff = m_settings.backoffFirst;
                const bool reconnect = serve(listed == Outcome::Restart);
                m_socket.close();
                if (!reconnect)
                    break;
                qWarning().noquote() << "OpenRGB server connection lost; reconnecting";
                continue;
            }
        } else if (!m_failureLogged) {
            // Logged once per outage: the retries below would otherwise fill the log.
            qWarning().noquote() << QStringLiteral("OpenRGB server %1:%2 not reachable (%3); retrying")
                                        .arg(QString::fromStdString(m_settings.host))
                                        .arg(m_settings.port)
                                        .arg(QString::fromStdString(error));
            m_failureLogged = true;
        }
        m_socket.close();
        finishFirstListing();
        std::unique_lock<std::mutex> lock(m_mutex);
        m_listed.wait_for(lock, backoff, [this] { return m_stop; });
        backoff = std::min(backoff * 2, m_settings.backoffMost);
    }
    // What the engine handed over last (its exit effect, above all) still goes out.
    if (m_socket.isOpen())
        sendFrames(false);
    m_socket.close();
}

bool OrgbConnection::handshake()
{
    if (!sendPacket(OrgbPacket::protocolVersion(OrgbCodec::kMaxVersion)))
        return false;
    m_version = 0;
    std::string payload;
    const Outcome answered = await(OrgbPacket::ProtocolVersion, 0, payload, m_settings.versionWait);
    if (answered == Outcome::Done) {
        const std::optional<std::uint32_t> serverMax = OrgbPacket::u32Reply(payload);
        if (!serverMax) {
            refuse("a protocol version reply of " + std::to_string(payload.size()) + " bytes");
            return false;
        }
        m_version = std::min(*serverMax, OrgbCodec::kMaxVersion);
    } else if (!m_socket.isOpen()) {
        return false;
    } else {
        qInfo().noquote() << "OpenRGB server gave no protocol version within" << m_settings.versionWait.count()
                          << "ms: talking protocol 0";
    }
    return sendPacket(OrgbPacket::clientName(m_settings.clientName));
}

OrgbConnection::Outcome OrgbConnection::await(std::uint32_t id, std::uint32_t device, std::string &payload,
                                              std::chrono::milliseconds bound)
{
    const Clock::time_point deadline = Clock::now() + bound;
    for (;;) {
        const OrgbSocket::Result ready = m_socket.waitReadable(deadline, false);
        if (ready == OrgbSocket::Result::Timeout)
            return Outcome::Silent;
        OrgbHeader header;
        std::string error;
        const OrgbSocket::Result read =
            ready == OrgbSocket::Result::Ok ? m_socket.readPacket(header, payload, deadline, &error) : ready;
        if (read == OrgbSocket::Result::Refused)
            refuse(error);
        else if (read == OrgbSocket::Result::Timeout)
            refuse("a packet cut short (its announced size never arrived)");
        if (read != OrgbSocket::Result::Ok) {
            m_socket.close();
            return Outcome::Lost;
        }
        if (header.id == id && header.device == device)
            return Outcome::Done;
        if (header.id == OrgbPacket::DeviceListUpdated)
            m_listChanged = true;
    }
}

OrgbConnection::Outcome OrgbConnection::enumerate()
{
    m_listChanged = false;
    std::string payload;
    if (!sendPacket(OrgbPacket::controllerCount()))
        return Outcome::Lost;
    Outcome got = await(OrgbPacket::ControllerCount, 0, payload, m_settings.replyWait);
    const std::optional<std::uint32_t> count = got == Outcome::Done ? OrgbPacket::u32Reply(payload) : std::nullopt;
    if (!count || *count > kMaxControllers) {
        refuse(got == Outcome::Done ? "a controller count of " + (count ? std::to_string(*count) : "bad size")
                                    : std::string("no answer to the controller count"));
        return Outcome::Lost;
    }
    std::vector<std::pair<int, OrgbController>> listing;
    for (std::uint32_t i = 0; i < *count; ++i) {
        if (!sendPacket(OrgbPacket::controllerData(i, m_version)))
            return Outcome::Lost;
        got = await(OrgbPacket::ControllerData, i, payload, m_settings.replyWait);
        if (got != Outcome::Done) {
            if (got == Outcome::Silent)
                refuse("no answer for controller " + std::to_string(i));
            return Outcome::Lost;
        }
        std::string error;
        std::optional<OrgbController> controller = OrgbCodec::decodeController(payload, m_version, &error);
        if (!controller) {
            refuse("controller " + std::to_string(i) + ": " + error);
            continue;
        }
        if (std::find(m_settings.deviceTypes.begin(), m_settings.deviceTypes.end(), controller->type)
            != m_settings.deviceTypes.end())
            listing.emplace_back(int(i), std::move(*controller));
    }
    // A list that changed while it was read is read again once the changes settle.
    if (m_listChanged)
        return Outcome::Restart;
    adopt(listing);
    return Outcome::Done;
}

void OrgbConnection::adopt(const std::vector<std::pair<int, OrgbController>> &listing)
{
    std::vector<OrgbController> controllers;
    for (const auto &entry : listing)
        controllers.push_back(entry.second);

    std::vector<OrgbController> handedOut;
    bool handedOutYet = false;
    std::function<void()> changed;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_listing = controllers;
        handedOutYet = m_handedOut;
        handedOut = m_handedOutDevices;
        changed = m_changed;
    }
    finishFirstListing();
    if (!handedOutYet) {
        // Before the devices are handed out, they are numbered as this listing.
        handedOut = controllers;
    }

    for (const auto &entry : listing)
        firstSeen(entry.second);
    // Each device handed out follows its controller to wherever it is listed now.
    std::vector<bool> taken(listing.size(), false);
    m_driven.resize(handedOut.size());
    m_lastSent.resize(handedOut.size());
    for (std::size_t d = 0; d < handedOut.size(); ++d) {
        Driven &driven = m_driven[d];
        const int before = driven.serverIndex;
        driven.serverIndex = -1;
        for (std::size_t i = 0; i < listing.size(); ++i) {
            if (!taken[i] && sameController(handedOut[d], listing[i].second)) {
                taken[i] = true;
                driven.serverIndex = listing[i].first;
                driven.controller = listing[i].second;
                break;
            }
        }
        if (driven.serverIndex != before)
            driven.direct = false;
    }

    if (!handedOutYet || sameListing(controllers, handedOut) || sameListing(controllers, m_lastNotified))
        return;
    m_lastNotified = controllers;
    qInfo().noquote() << "OpenRGB device list changed:" << controllers.size() << "controller(s) now";
    if (changed)
        changed();
}

bool OrgbConnection::serve(bool listAgain)
{
    Clock::time_point listAt = listAgain ? Clock::now() + m_settings.debounce : Clock::time_point::max();
    // After a reconnection the lights come back at once, not at the next change.
    if (!sendFrames(true))
        return true;
    for (;;) {
        if (stopping())
            return false;
        if (Clock::now() >= listAt) {
            const Outcome listed = enumerate();
            if (listed == Outcome::Lost)
                return true;
            listAt = listed == Outcome::Restart ? Clock::now() + m_settings.debounce : Clock::time_point::max();
            if (!sendFrames(true))
                return true;
            continue;
        }
        const Clock::time_point deadline = std::min(listAt, Clock::now() + std::chrono::seconds(1));
        const OrgbSocket::Result ready = m_socket.waitReadable(deadline, true);
        if (ready == OrgbSocket::Result::Woken) {
            m_socket.clearWake();
            if (!sendFrames(false))
                return true;
            continue;
        }
        if (ready == OrgbSocket::Result::Timeout)
            continue;
        OrgbHeader header;
        std::string payload, error;
        const OrgbSocket::Result read =
            m_socket.readPacket(header, payload, Clock::now() + m_settings.replyWait, &error);
        if (read == OrgbSocket::Result::Refused)
            refuse(error);
        else if (read == OrgbSocket::Result::Timeout)
            refuse("a packet cut short (its announced size never arrived)");
        if (read != OrgbSocket::Result::Ok)
            return true;
        // Changes come in bursts: the list is read once they have settled.
        if (header.id == OrgbPacket::DeviceListUpdated)
            listAt = Clock::now() + m_settings.debounce;
    }
}

bool OrgbConnection::sendFrames(bool resendAll)
{
    std::vector<std::pair<std::size_t, Pending>> frames;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (std::size_t d = 0; d < m_pending.size() && d < m_driven.size(); ++d) {
            Pending &pending = m_pending[d];
            if (pending.fresh) {
                frames.emplace_back(d, pending);
                pending.fresh = false;
            } else if (resendAll && m_lastSent[d].fresh) {
                frames.emplace_back(d, m_lastSent[d]);
            }
        }
    }
    // Every frame of this wake-up leaves in one write: one system call, not one per module.
    std::string batch;
    for (auto &frame : frames) {
        // Kept before it is sent: one lost with the connection goes out again after it.
        frame.second.fresh = true; // in the record of the last frame: there is one to send again
        m_lastSent[frame.first] = frame.second;
        // A frame that needs no packet is not measured either.
        if (!appendFrame(m_driven[frame.first], frame.second, batch))
            frame.second.effect = -1;
    }
    if (batch.empty())
        return true;
    if (!sendPacket(batch))
        return false;
    const Clock::time_point sent = Clock::now();
    for (const auto &frame : frames) {
        if (m_latency && frame.second.effect == kEffectShow)
            m_latency->record(sent - frame.second.stamp);
    }
    return true;
}

bool OrgbConnection::appendFrame(Driven &driven, const Pending &frame, std::string &out)
{
    if (driven.serverIndex < 0)
        return false;
    const auto index = std::uint32_t(driven.serverIndex);
    const OrgbController &controller = driven.controller;
    if (frame.effect == kEffectShow) {
        if (!driven.direct) {
            out += OrgbPacket::setCustomMode(index);
            const int direct = controller.directModeIndex();
            if (direct >= 0) {
                OrgbMode mode = controller.modes[std::size_t(direct)];
                if (mode.flags & kPerLedColourFlag)
                    mode.colorMode = kColourModePerLed;
                out += OrgbPacket::updateMode(index, direct, mode, m_version);
            }
            driven.direct = true;
        }
        if (controller.colors.empty())
            return false;
        out += OrgbPacket::updateLeds(index, spread(frame.colours, controller.colors.size()));
        return true;
    }

    driven.direct = false;
    std::size_t modeIndex = 0;
    OrgbMode mode;
    if (frame.effect == kEffectRestore) {
        const OrgbController original = firstSeen(controller);
        if (original.activeMode < 0 || std::size_t(original.activeMode) >= original.modes.size())
            return false;
        modeIndex = std::size_t(original.activeMode);
        mode = original.modes[modeIndex];
    } else if (frame.effect >= kEffectModeBase
               && std::size_t(frame.effect - kEffectModeBase) < controller.modes.size()) {
        modeIndex = std::size_t(frame.effect - kEffectModeBase);
        mode = controller.modes[modeIndex];
        if ((mode.flags & kModeColourFlag) && mode.colorsMax > 0 && !frame.colours.empty()) {
            const std::size_t wanted = std::clamp<std::size_t>(frame.colours.size(), std::max(mode.colorsMin, 1u),
                                                               mode.colorsMax);
            mode.colors = spread(frame.colours, std::min<std::size_t>(wanted, 64));
            mode.colorMode = kColourModeSpecific;
        }
    } else {
        return false; // not an effect this server offers
    }
    out += OrgbPacket::updateMode(index, std::int32_t(modeIndex), mode, m_version);
    return true;
}

bool OrgbConnection::sendPacket(const std::string &bytes)
{
    if (m_socket.send(bytes, m_settings.sendWait) == OrgbSocket::Result::Ok)
        return true;
    m_socket.close();
    return false;
}

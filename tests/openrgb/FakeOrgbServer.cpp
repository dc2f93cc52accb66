#include "FakeOrgbServer.h"

#include "OrgbCodec.h"
#include "OrgbPacket.h"
#include "OrgbReader.h"
#include "OrgbWriter.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

OrgbMode mode(const std::string &name, std::uint32_t flags, std::uint32_t colourMode, std::uint32_t colours)
{
    OrgbMode m;
    m.name = name;
    m.value = name == "Direct" ? 0xff : 0x01;
    m.flags = flags;
    m.colorsMin = colours;
    m.colorsMax = colours;
    m.colorMode = colourMode;
    m.colors.assign(colours, 0x0000ff00);
    return m;
}

OrgbController controller(std::int32_t type, const std::string &name, int leds)
{
    OrgbController c;
    c.type = type;
    c.name = name;
    c.vendor = "Test Vendor";
    c.description = name + " for tests";
    c.version = "1.0";
    c.serial = name + "-serial";
    c.location = "I2C: /dev/i2c-0, address 0x" + std::to_string(0x70 + leds);
    c.modes = {mode("Direct", 1u << 5, 1, 0), mode("Static", 1u << 6, 2, 1)};
    c.activeMode = 1;
    OrgbZone zone;
    zone.name = name + " zone";
    zone.type = 1;
    zone.ledsMin = zone.ledsMax = zone.ledsCount = std::uint32_t(leds);
    c.zones = {zone};
    for (int i = 0; i < leds; ++i)
        c.leds.push_back({"LED " + std::to_string(i + 1), std::uint32_t(i)});
    c.colors.assign(std::size_t(leds), 0);
    return c;
}

} // namespace

OrgbController FakeOrgbServer::dram(const std::string &name, int leds)
{
    return controller(OrgbController::kTypeDram, name, leds);
}

OrgbController FakeOrgbServer::keyboard()
{
    return controller(5, "Test Keyboard", 12);
}

FakeOrgbServer::FakeOrgbServer() : m_wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

FakeOrgbServer::~FakeOrgbServer()
{
    stop();
    ::close(m_wakeFd);
}

bool FakeOrgbServer::start(std::uint16_t port)
{
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const int on = 1;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    socklen_t length = sizeof address;
    if (bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || listen(m_listener, 8) != 0
        || getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        ::close(m_listener);
        m_listener = -1;
        return false;
    }
    m_port = ntohs(address.sin_port);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = false;
    }
    m_thread = std::thread([this] { run(); });
    return true;
}

void FakeOrgbServer::stop()
{
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    wake();
    m_thread.join();
    for (Client &client : m_clients)
        ::close(client.fd);
    m_clients.clear();
    ::close(m_listener);
    m_listener = -1;
}

void FakeOrgbServer::setProtocol(std::uint32_t version)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_protocol = version;
}

void FakeOrgbServer::setControllers(std::vector<OrgbController> controllers)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_controllers = std::move(controllers);
}

void FakeOrgbServer::announceChange(int burst)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_announce += burst;
    }
    wake();
}

void FakeOrgbServer::dropClients()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_drop = true;
    }
    wake();
}

std::vector<FakeOrgbServer::Packet> FakeOrgbServer::packets() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_packets;
}

std::vector<FakeOrgbServer::Packet> FakeOrgbServer::packets(std::uint32_t id) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<Packet> matching;
    std::copy_if(m_packets.begin(), m_packets.end(), std::back_inserter(matching),
                 [id](const Packet &packet) { return packet.id == id; });
    return matching;
}

std::size_t FakeOrgbServer::clientsAccepted() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_accepted;
}

std::vector<OrgbController> FakeOrgbServer::controllers() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_controllers;
}

void FakeOrgbServer::clearPackets()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_packets.clear();
}

bool FakeOrgbServer::waitFor(const std::function<bool()> &condition, std::chrono::milliseconds bound) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, bound, condition);
}

void FakeOrgbServer::wake()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &one, sizeof one);
}

void FakeOrgbServer::run()
{
    for (;;) {
        std::vector<pollfd> fds{{m_listener, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
        for (const Client &client : m_clients)
            fds.push_back({client.fd, POLLIN, 0});
        if (poll(fds.data(), fds.size(), 1000) < 0)
            continue;
        int announce = 0;
        bool drop = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stop)
                return;
            announce = std::exchange(m_announce, 0);
            drop = std::exchange(m_drop, false);
        }
        if (fds[1].revents & POLLIN) {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t drained = ::read(m_wakeFd, &count, sizeof count);
        }
        if (drop) {
            for (Client &client : m_clients)
                ::close(client.fd);
            m_clients.clear();
            continue;
        }
        for (Client &client : m_clients) {
            for (int i = 0; i < announce; ++i)
                reply(client, OrgbPacket::DeviceListUpdated, 0, {});
        }
        std::vector<Client> kept;
        for (std::size_t i = 0; i < m_clients.size(); ++i) {
            Client &client = m_clients[i];
            if ((fds[i + 2].revents & (POLLIN | POLLHUP | POLLERR)) && !serve(client)) {
                ::close(client.fd);
                continue;
            }
            kept.push_back(std::move(client));
        }
        m_clients = std::move(kept);
        if (fds[0].revents & POLLIN)
            accept();
    }
}

void FakeOrgbServer::accept()
{
    const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0)
        return;
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    Client client;
    client.fd = fd;
    m_clients.push_back(std::move(client));
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_accepted;
    m_changed.notify_all();
}

bool FakeOrgbServer::serve(Client &client)
{
    char buffer[65536];
    const ssize_t n = ::recv(client.fd, buffer, sizeof buffer, 0);
    if (n <= 0)
        return n < 0 && (errno == EAGAIN || errno == EINTR);
    client.input.append(buffer, std::size_t(n));
    while (client.input.size() >= OrgbPacket::kHeaderSize) {
        const std::optional<OrgbHeader> header = OrgbPacket::parseHeader(client.input.data());
        if (!header || header->size > OrgbPacket::kMaxPayload)
            return false;
        if (client.input.size() < OrgbPacket::kHeaderSize + header->size)
            break;
        const std::string payload = client.input.substr(OrgbPacket::kHeaderSize, header->size);
        client.input.erase(0, OrgbPacket::kHeaderSize + header->size);
        if (!handle(client, header->device, header->id, payload))
            return false;
    }
    return true;
}

bool FakeOrgbServer::handle(Client &client, std::uint32_t device, std::uint32_t id, const std::string &payload)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_packets.push_back({device, id, payload, Clock::now()});
    m_changed.notify_all();
    OrgbReader in(payload.data(), payload.size());
    // The 1.0 candidates' rule: a block whose size is not the packet's drops the client.
    const auto sizedBlock = [&] { return in.u32() == payload.size(); };
    const bool known = device < m_controllers.size();
    switch (id) {
    case OrgbPacket::ProtocolVersion: {
        const std::uint32_t wanted = in.u32();
        if (m_protocol == 0)
            return true;
        client.version = std::min(wanted, m_protocol);
        const std::string answer = OrgbWriter().u32(m_protocol).data();
        lock.unlock();
        reply(client, id, 0, answer);
        return true;
    }
    case OrgbPacket::ControllerCount: {
        const std::string answer = OrgbWriter().u32(std::uint32_t(m_controllers.size())).data();
        lock.unlock();
        reply(client, id, 0, answer);
        return true;
    }
    case OrgbPacket::ControllerData: {
        if (!known)
            return true;
        const std::uint32_t version = payload.size() == 4 ? std::min(in.u32(), m_protocol) : 0;
        const std::string block = OrgbCodec::encodeController(m_controllers[device], version);
        lock.unlock();
        reply(client, id, device, block);
        return true;
    }
    case OrgbPacket::UpdateLeds: {
        if (!sizedBlock())
            return false;
        const std::size_t n = in.u16();
        std::vector<std::uint32_t> colours(std::min<std::size_t>(n, in.remaining() / 4));
        for (std::uint32_t &colour : colours)
            colour = in.u32();
        if (known && colours.size() == m_controllers[device].colors.size())
            m_controllers[device].colors = colours;
        return true;
    }
    case OrgbPacket::SetCustomMode:
        if (known)
            m_controllers[device].activeMode = std::max(0, m_controllers[device].directModeIndex());
        return true;
    case OrgbPacket::UpdateMode: {
        if (!sizedBlock())
            return false;
        const std::int32_t index = in.i32();
        const OrgbMode mode = OrgbCodec::readMode(in, client.version);
        if (known && !in.failed() && index >= 0 && std::size_t(index) < m_controllers[device].modes.size()) {
            m_controllers[device].modes[std::size_t(index)] = mode;
            m_controllers[device].activeMode = index;
        }
        return true;
    }
    case 140: // rescan: the list is announced as changed
        ++m_announce;
        lock.unlock();
        wake();
        return true;
    default:
        return true;
    }
}

void FakeOrgbServer::reply(Client &client, std::uint32_t id, std::uint32_t device, const std::string &payload)
{
    const std::string bytes = OrgbPacket::frame(id, device, payload);
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(client.fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += std::size_t(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return;
        pollfd writable{client.fd, POLLOUT, 0};
        if (poll(&writable, 1, 1000) != 1)
            return;
    }
}

#include "OrgbSocket.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int msUntil(OrgbSocket::Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - OrgbSocket::Clock::now());
    return left.count() <= 0 ? 0 : int(std::min<long long>(left.count(), 60000));
}

} // namespace

OrgbSocket::OrgbSocket() : m_wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

OrgbSocket::~OrgbSocket()
{
    close();
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

bool OrgbSocket::connectTo(const std::string &host, std::uint16_t port, std::chrono::milliseconds bound,
                           std::string *error)
{
    close();
    const Clock::time_point deadline = Clock::now() + bound;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo *found = nullptr;
    const int resolved = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (resolved != 0) {
        *error = std::string("cannot resolve ") + host + ": " + gai_strerror(resolved);
        return false;
    }
    *error = "no address";
    for (addrinfo *address = found; address; address = address->ai_next) {
        const int fd = socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                              address->ai_protocol);
        if (fd < 0)
            continue;
        int result = ::connect(fd, address->ai_addr, address->ai_addrlen);
        if (result != 0 && errno == EINPROGRESS) {
            pollfd waiting{fd, POLLOUT, 0};
            result = poll(&waiting, 1, msUntil(deadline)) == 1 ? 0 : -1;
            int soError = result == 0 ? 0 : ETIMEDOUT;
            socklen_t length = sizeof soError;
            if (result == 0)
                getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &length);
            errno = soError;
            result = soError == 0 ? 0 : -1;
        }
        if (result == 0) {
            // The server writes and reads small packets: without this a frame may wait ~40 ms.
            const int on = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            m_fd = fd;
            break;
        }
        *error = std::strerror(errno);
        ::close(fd);
    }
    freeaddrinfo(found);
    return m_fd >= 0;
}

void OrgbSocket::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

OrgbSocket::Result OrgbSocket::send(const std::string &bytes, std::chrono::milliseconds bound)
{
    const Clock::time_point deadline = Clock::now() + bound;
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(m_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += std::size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd waiting{m_fd, POLLOUT, 0};
            if (poll(&waiting, 1, msUntil(deadline)) != 1)
                return Result::Timeout;
            continue;
        }
        return Result::Closed;
    }
    return Result::Ok;
}

OrgbSocket::Result OrgbSocket::waitReadable(Clock::time_point deadline, bool wakeable)
{
    for (;;) {
        pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
        const int ready = poll(fds, wakeable ? 2 : 1, msUntil(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return Result::Closed;
        if (wakeable && (fds[1].revents & POLLIN))
            return Result::Woken;
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR))
            return Result::Ok;
        if (ready == 0 || Clock::now() >= deadline)
            return Result::Timeout;
    }
}

OrgbSocket::Result OrgbSocket::readExact(char *into, std::size_t size, Clock::time_point deadline)
{
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::recv(m_fd, into + got, size - got, 0);
        if (n > 0) {
            got += std::size_t(n);
            continue;
        }
        if (n == 0)
            return Result::Closed;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return Result::Closed;
        const Result ready = waitReadable(deadline, false);
        if (ready != Result::Ok)
            return ready;
    }
    return Result::Ok;
}

OrgbSocket::Result OrgbSocket::readPacket(OrgbHeader &header, std::string &payload, Clock::time_point deadline,
                                          std::string *error)
{
    char raw[OrgbPacket::kHeaderSize];
    Result result = readExact(raw, sizeof raw, deadline);
    if (result != Result::Ok)
        return result;
    const std::optional<OrgbHeader> parsed = OrgbPacket::parseHeader(raw);
    if (!parsed) {
        *error = "a packet without the protocol's magic";
        return Result::Refused;
    }
    if (parsed->size > OrgbPacket::kMaxPayload) {
        *error = "a packet announcing " + std::to_string(parsed->size) + " bytes";
        return Result::Refused;
    }
    header = *parsed;
    payload.assign(header.size, '\0');
    return header.size == 0 ? Result::Ok : readExact(&payload[0], header.size, deadline);
}

void OrgbSocket::wake()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &one, sizeof one);
}

void OrgbSocket::clearWake()
{
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t drained = ::read(m_wakeFd, &count, sizeof count);
}

// A TCP connection to an OpenRGB SDK server in blocking style with a deadline on every
// step, plus a wake-up descriptor so that the thread waiting on it can be called away.
// Used by one thread only (wake() excepted, which any thread may call).
#pragma once

#include "OrgbPacket.h"

#include <chrono>
#include <cstdint>
#include <string>

class OrgbSocket
{
public:
    using Clock = std::chrono::steady_clock;

    enum class Result { Ok, Timeout, Closed, Refused, Woken };

    OrgbSocket();
    ~OrgbSocket();
    OrgbSocket(const OrgbSocket &) = delete;
    OrgbSocket &operator=(const OrgbSocket &) = delete;

    // Connects (IPv4 or IPv6, names resolved) within `bound`; false with the reason in `error`.
    bool connectTo(const std::string &host, std::uint16_t port, std::chrono::milliseconds bound, std::string *error);
    void close();
    bool isOpen() const { return m_fd >= 0; }

    // Sends all of `bytes` in as few writes as the kernel allows, within `bound`.
    Result send(const std::string &bytes, std::chrono::milliseconds bound);
    // Waits until a packet starts to arrive, the socket closes, `deadline` passes or
    // wake() is called; Ok means readable.
    Result waitReadable(Clock::time_point deadline, bool wakeable);
    // Reads one whole packet, waiting at most until `deadline` for its bytes. Refused when
    // the magic is wrong or the announced size passes the cap (`error` says which).
    Result readPacket(OrgbHeader &header, std::string &payload, Clock::time_point deadline, std::string *error);

    void wake();
    void clearWake();

private:
    Result readExact(char *into, std::size_t size, Clock::time_point deadline);

    int m_fd = -1;
    int m_wakeFd = -1;
};

// An OpenRGB SDK server for tests: answers as a server of protocol 0 to 5 would, keeps
// its controllers' colours and modes as the packets change them, records every packet it
// receives, and can drop its clients, restart on the same port and announce a changed
// device list. It runs on a thread of its own on 127.0.0.1.
#pragma once

#include "OrgbController.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FakeOrgbServer
{
public:
    using Clock = std::chrono::steady_clock;

    struct Packet {
        std::uint32_t device = 0;
        std::uint32_t id = 0;
        std::string payload;
        Clock::time_point received;
    };

    // A memory controller as OpenRGB describes one: "Direct" and "Static" modes, one
    // linear zone, `leds` LEDs and colours; the active mode is Static.
    static OrgbController dram(const std::string &name, int leds);
    static OrgbController keyboard();

    FakeOrgbServer();
    ~FakeOrgbServer();

    // Listens on 127.0.0.1 (`port` 0: any free port). False when it cannot.
    bool start(std::uint16_t port = 0);
    void stop(); // closes the listener and every client
    bool restart() { stop(); return start(m_port); }
    std::uint16_t port() const { return m_port; }

    // The version a server answers to the version request; 0 never answers it.
    void setProtocol(std::uint32_t version);
    void setControllers(std::vector<OrgbController> controllers);
    // Sends DeviceListUpdated to every client, `burst` times.
    void announceChange(int burst = 1);
    void dropClients();

    std::vector<Packet> packets() const;
    std::vector<Packet> packets(std::uint32_t id) const;
    std::size_t clientsAccepted() const;
    std::vector<OrgbController> controllers() const;
    void clearPackets();
    // Waits until `condition` holds (checked under the server's lock) or `bound` passes.
    bool waitFor(const std::function<bool()> &condition, std::chrono::milliseconds bound) const;

private:
    struct Client {
        int fd = -1;
        std::string input;
        std::uint32_t version = 0; // negotiated; 0 until the client asked
    };

    void run();
    void accept();
    bool serve(Client &client); // false: the client is dropped
    bool handle(Client &client, std::uint32_t device, std::uint32_t id, const std::string &payload);
    void reply(Client &client, std::uint32_t id, std::uint32_t device, const std::string &payload);
    void wake();

    std::uint16_t m_port = 0;
    int m_listener = -1;
    int m_wakeFd = -1;
    std::thread m_thread;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_stop = false;
    std::uint32_t m_protocol = 5;
    int m_announce = 0;
    bool m_drop = false;
    std::vector<OrgbController> m_controllers;
    std::vector<Packet> m_packets;
    std::vector<Client> m_clients; // the server thread's own
    std::size_t m_accepted = 0;
};

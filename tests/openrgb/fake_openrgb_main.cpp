// The test server as a program: `veltrima-fake-openrgb [--port N] [--dram N] [--leds N]
// [--protocol V]` serves N memory controllers and one keyboard on 127.0.0.1, prints its
// port, and on SIGTERM or SIGINT prints the LED updates each controller received.
#include "FakeOrgbServer.h"
#include "OrgbPacket.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

int main(int argc, char *argv[])
{
    int port = 0, drams = 2, leds = 5, protocol = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        const int value = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--port"))
            port = value;
        else if (!std::strcmp(argv[i], "--dram"))
            drams = value;
        else if (!std::strcmp(argv[i], "--leds"))
            leds = value;
        else if (!std::strcmp(argv[i], "--protocol"))
            protocol = value;
    }
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr); // before the server's thread exists

    FakeOrgbServer server;
    std::vector<OrgbController> controllers;
    for (int i = 0; i < drams; ++i)
        controllers.push_back(FakeOrgbServer::dram("Test DRAM " + std::to_string(i), leds));
    controllers.push_back(FakeOrgbServer::keyboard());
    server.setControllers(controllers);
    server.setProtocol(std::uint32_t(protocol));
    if (!server.start(std::uint16_t(port))) {
        std::fprintf(stderr, "cannot listen on port %d\n", port);
        return 1;
    }
    std::printf("port %u\n", server.port());
    std::fflush(stdout);

    int received = 0;
    sigwait(&signals, &received);
    server.stop();
    std::map<std::uint32_t, int> updates;
    for (const FakeOrgbServer::Packet &packet : server.packets(OrgbPacket::UpdateLeds))
        ++updates[packet.device];
    for (const auto &entry : updates)
        std::printf("controller %u: %d LED updates\n", entry.first, entry.second);
    return 0;
}

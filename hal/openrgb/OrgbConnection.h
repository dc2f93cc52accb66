// One HAL object's link to an OpenRGB SDK server, run by a thread of its own: connects,
// negotiates the protocol version, lists the controllers, sends the newest colours of
// each device, follows the server's "device list updated" and reconnects with back-off
// when the server goes away. show() only hands a frame over and wakes the thread: the
// caller (the engine's frame) never waits for the network, and a frame not yet sent is
// replaced by a newer one rather than queued behind it.
#pragma once

#include "OrgbController.h"
#include "OrgbSocket.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class OrgbLatency;

struct OrgbConnectionSettings {
    std::string host = "127.0.0.1";
    std::uint16_t port = 6742;
    std::vector<std::int32_t> deviceTypes{OrgbController::kTypeDram}; // the controllers driven
    std::string clientName = "VELTRIMA RGB";
    std::chrono::milliseconds connectWait{1000};
    std::chrono::milliseconds versionWait{1000}; // no answer by then: a version-0 server
    std::chrono::milliseconds replyWait{1500};
    std::chrono::milliseconds sendWait{1000};
    std::chrono::milliseconds debounce{250};
    std::chrono::milliseconds backoffFirst{200};
    std::chrono::milliseconds backoffMost{1000};
};

class OrgbConnection
{
public:
    // Effects beside 0 (the colours as given): what ran before we took over, and each of
    // the controller's own modes from kEffectModeBase on.
    static constexpr int kEffectShow = 0;
    static constexpr int kEffectRestore = 5;
    static constexpr int kEffectModeBase = 16;

    OrgbConnection(OrgbConnectionSettings settings, OrgbLatency *latency);
    ~OrgbConnection(); // sends what is pending (bounded), then closes

    // The driven controllers of the first listing, waiting at most `bound` for it; the same
    // list on every later call, since the HAL's devices are numbered by it.
    std::vector<OrgbController> devices(std::chrono::milliseconds bound);
    void show(int device, int effect, const std::uint32_t *colours, int count);
    // Called on the connection's thread when a listing differs from the one handed out.
    void setChangeHandler(std::function<void()> handler);

private:
    enum class Outcome { Done, Restart, Silent, Lost };

    struct Pending {
        bool fresh = false;
        int effect = 0;
        std::vector<std::uint32_t> colours;
        OrgbSocket::Clock::time_point stamp;
    };
    struct Driven {            // what this connection knows of a device handed out
        int serverIndex = -1;  // -1: not on the server now
        OrgbController controller;
        bool direct = false;   // the direct mode was selected on this connection
    };

    void run();
    bool handshake();
    Outcome enumerate();
    Outcome await(std::uint32_t id, std::uint32_t device, std::string &payload, std::chrono::milliseconds bound);
    bool serve(bool listAgain); // true: reconnect; false: stopped
    bool sendFrames(bool resendAll);
    // Appends the packets that show `frame`; false when it needs none.
    bool appendFrame(Driven &driven, const Pending &frame, std::string &out);
    bool sendPacket(const std::string &bytes);
    void adopt(const std::vector<std::pair<int, OrgbController>> &listing);
    void finishFirstListing();
    bool stopping() const;
    // The controller as this process first saw it on this server (what effect 5 restores).
    OrgbController firstSeen(const OrgbController &controller) const;
    void refuse(const std::string &what);

    const OrgbConnectionSettings m_settings;
    OrgbLatency *const m_latency;
    OrgbSocket m_socket;
    std::uint32_t m_version = 0;
    bool m_failureLogged = false;
    bool m_listChanged = false; // a DeviceListUpdated came while waiting for a reply

    mutable std::mutex m_mutex;
    std::condition_variable m_listed;
    bool m_stop = false;
    bool m_firstListingDone = false;
    bool m_handedOut = false;
    std::vector<OrgbController> m_listing;         // the newest listing of driven controllers
    std::vector<OrgbController> m_handedOutDevices;
    std::vector<Pending> m_pending;                // per device handed out
    std::function<void()> m_changed;

    // The connection thread's own view (no lock needed).
    std::vector<Driven> m_driven;
    std::vector<Pending> m_lastSent;
    std::vector<OrgbController> m_lastNotified;

    std::thread m_thread;
};

// OpenRGB SDK packets: the 16-byte header that frames every packet in both directions,
// and the requests this HAL sends, each built whole so that it leaves in one write.
#pragma once

#include "OrgbController.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct OrgbHeader {
    std::uint32_t device = 0;
    std::uint32_t id = 0;
    std::uint32_t size = 0;
};

class OrgbPacket
{
public:
    enum Id : std::uint32_t {
        ControllerCount = 0,
        ControllerData = 1,
        ProtocolVersion = 40,
        ClientName = 50,
        DeviceListUpdated = 100,
        UpdateLeds = 1050,
        UpdateZoneLeds = 1051,
        UpdateSingleLed = 1052,
        SetCustomMode = 1100,
        UpdateMode = 1101,
        SaveMode = 1102,
    };
    static constexpr std::size_t kHeaderSize = 16;
    // No reply of a server we talk to comes near this; a larger one is refused unread.
    static constexpr std::uint32_t kMaxPayload = 1u << 20;

    // Nothing when the magic is wrong: the stream is not (or no longer) the protocol.
    static std::optional<OrgbHeader> parseHeader(const char *bytes);
    static std::string frame(std::uint32_t id, std::uint32_t device, const std::string &payload = {});

    static std::string protocolVersion(std::uint32_t clientMax);
    static std::string clientName(const std::string &name);
    static std::string controllerCount();
    static std::string controllerData(std::uint32_t index, std::uint32_t version);
    // Exactly the colours given, in a block whose data size counts itself.
    static std::string updateLeds(std::uint32_t index, const std::vector<std::uint32_t> &colours);
    static std::string setCustomMode(std::uint32_t index);
    static std::string updateMode(std::uint32_t index, std::int32_t modeIndex, const OrgbMode &mode,
                                  std::uint32_t version);

    // The u32 that answers ControllerCount and ProtocolVersion; nothing unless the payload
    // is exactly that.
    static std::optional<std::uint32_t> u32Reply(const std::string &payload);
};

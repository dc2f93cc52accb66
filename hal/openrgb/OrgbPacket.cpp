#include "OrgbPacket.h"

#include "OrgbCodec.h"
#include "OrgbReader.h"
#include "OrgbWriter.h"

#include <cstring>

std::optional<OrgbHeader> OrgbPacket::parseHeader(const char *bytes)
{
    if (std::memcmp(bytes, "ORGB", 4) != 0)
        return std::nullopt;
    OrgbReader in(bytes + 4, kHeaderSize - 4);
    OrgbHeader header;
    header.device = in.u32();
    header.id = in.u32();
    header.size = in.u32();
    return header;
}

std::string OrgbPacket::frame(std::uint32_t id, std::uint32_t device, const std::string &payload)
{
    OrgbWriter out;
    out.bytes("ORGB").u32(device).u32(id).u32(std::uint32_t(payload.size())).bytes(payload);
    return out.data();
}

std::string OrgbPacket::protocolVersion(std::uint32_t clientMax)
{
    return frame(ProtocolVersion, 0, OrgbWriter().u32(clientMax).data());
}

std::string OrgbPacket::clientName(const std::string &name)
{
    return frame(ClientName, 0, name + '\0');
}

std::string OrgbPacket::controllerCount()
{
    return frame(ControllerCount, 0);
}

std::string OrgbPacket::controllerData(std::uint32_t index, std::uint32_t version)
{
    // A version-0 server takes no payload here; later ones read the block's version from it.
    return frame(ControllerData, index, version == 0 ? std::string() : OrgbWriter().u32(version).data());
}

std::string OrgbPacket::updateLeds(std::uint32_t index, const std::vector<std::uint32_t> &colours)
{
    OrgbWriter out;
    out.u32(std::uint32_t(6 + 4 * colours.size())).u16(std::uint16_t(colours.size()));
    for (std::uint32_t colour : colours)
        out.u32(colour);
    return frame(UpdateLeds, index, out.data());
}

std::string OrgbPacket::setCustomMode(std::uint32_t index)
{
    return frame(SetCustomMode, index);
}

std::string OrgbPacket::updateMode(std::uint32_t index, std::int32_t modeIndex, const OrgbMode &mode,
                                   std::uint32_t version)
{
    OrgbWriter out;
    out.u32(0).i32(modeIndex);
    OrgbCodec::writeMode(out, mode, version);
    out.patchU32(0, std::uint32_t(out.size()));
    return frame(UpdateMode, index, out.data());
}

std::optional<std::uint32_t> OrgbPacket::u32Reply(const std::string &payload)
{
    if (payload.size() != 4)
        return std::nullopt;
    OrgbReader in(payload.data(), payload.size());
    return in.u32();
}

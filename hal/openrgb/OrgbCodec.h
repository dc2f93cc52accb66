// The OpenRGB SDK's blocks in each protocol version: the controller block a server sends
// for REQUEST_CONTROLLER_DATA and the mode inside it (which UpdateMode sends back). Pure
// functions over bytes, shared by the HAL and the test server.
#pragma once

#include "OrgbController.h"

#include <cstdint>
#include <optional>
#include <string>

class OrgbReader;
class OrgbWriter;

class OrgbCodec
{
public:
    static constexpr std::uint32_t kMaxVersion = 5;

    // A controller block as received (the payload after the header); nothing, with the
    // reason in `error`, when it is malformed or its data size is not the payload's size.
    static std::optional<OrgbController> decodeController(const std::string &payload, std::uint32_t version,
                                                          std::string *error = nullptr);
    static std::string encodeController(const OrgbController &controller, std::uint32_t version);

    static OrgbMode readMode(OrgbReader &in, std::uint32_t version);
    static void writeMode(OrgbWriter &out, const OrgbMode &mode, std::uint32_t version);
};

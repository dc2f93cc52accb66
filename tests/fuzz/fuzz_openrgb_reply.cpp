// What an OpenRGB SDK server sends back: framed packets whose controller blocks carry
// their own sizes and counts.
#include "FuzzInput.h"
#include "OrgbCodec.h"
#include "OrgbPacket.h"

#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::uint32_t version = input.byte() % (OrgbCodec::kMaxVersion + 1);
    const QByteArray rest = input.rest();
    std::string stream(rest.constData(), std::size_t(rest.size()));
    // Packets back to back, as the connection reads them.
    for (int packets = 0; packets < 16 && stream.size() >= OrgbPacket::kHeaderSize; ++packets) {
        const std::optional<OrgbHeader> header = OrgbPacket::parseHeader(stream.data());
        if (!header || header->size > OrgbPacket::kMaxPayload)
            break;
        const std::size_t available = stream.size() - OrgbPacket::kHeaderSize;
        const std::string payload = stream.substr(OrgbPacket::kHeaderSize, std::min<std::size_t>(header->size, available));
        (void)OrgbPacket::u32Reply(payload);
        std::string error;
        const std::optional<OrgbController> controller = OrgbCodec::decodeController(payload, version, &error);
        if (!controller && error.empty())
            std::abort(); // a refusal always says why
        if (controller) {
            // What was read must encode back to a block that reads the same.
            const std::string again = OrgbCodec::encodeController(*controller, version);
            std::string againError;
            if (!OrgbCodec::decodeController(again, version, &againError)) {
                std::fprintf(stderr, "a decoded block does not read back: %s\n", againError.c_str());
                std::abort();
            }
        }
        stream.erase(0, OrgbPacket::kHeaderSize + payload.size());
    }
    return 0;
}

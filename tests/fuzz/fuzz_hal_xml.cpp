// HAL servers are separate programs; what they describe is outside input.
#include "FuzzInput.h"
#include "HalDescription.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool quiet = (silenceQtMessages(), true);
    Q_UNUSED(quiet);
    const QByteArray xml(reinterpret_cast<const char *>(data), int(size));
    QString error;
    const std::optional<HalDescription> description = HalDescription::parse(xml, &error);
    if (!description) {
        if (error.isEmpty())
            std::abort(); // a refusal always says why
        return 0;
    }
    for (const HalDeviceDescription &device : description->devices) {
        for (const QString &name : device.led_name)
            (void)name.size();
        for (const HalEffectDescription &effect : device.supported_effect)
            (void)effect.name.size();
    }
    // The integer reader sees the element texts; give it the raw bytes as text too.
    (void)HalDescription::readInteger(xml.constData());
    return 0;
}

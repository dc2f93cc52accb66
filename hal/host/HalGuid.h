// A server or interface id in the brace form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#pragma once

#include "veltrima_hal.h"

#include <QString>

#include <optional>

class HalGuid
{
public:
    // Accepts exactly the brace form (hex digits in either case); anything else is refused.
    static std::optional<VeltrimaHalGuid> fromString(const QString &text);
    // Upper-case brace form.
    static QString toString(const VeltrimaHalGuid &guid);
    static bool equal(const VeltrimaHalGuid &a, const VeltrimaHalGuid &b);
    // The interface id of the HAL object.
    static VeltrimaHalGuid halInterfaceId();
};

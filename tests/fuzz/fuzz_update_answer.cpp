// The update service's answer comes from the network.
#include "AutoUpdate.h"
#include "FuzzInput.h"
#include "UpdateAnswer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool quiet = (silenceQtMessages(), true);
    Q_UNUSED(quiet);
    const std::optional<UpdateAnswer> answer =
        UpdateAnswer::parse(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    if (!answer)
        return 0;
    (void)AutoUpdate::compareVersion(answer->version, QStringLiteral("1.0.2"));
    (void)AutoUpdate::isAcceptableDownloadUrl(answer->url);
    return 0;
}

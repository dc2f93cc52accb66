// Profile and device files are hand-editable INI text: read them as the store does.
#include "FuzzInput.h"
#include "IniFileGuard.h"
#include "Profile_RW.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool quiet = (silenceQtMessages(), true);
    Q_UNUSED(quiet);
    static QTemporaryDir folder;
    if (!folder.isValid())
        std::abort();
    static Profile_RW store(folder.path());

    FuzzInput input(data, size);
    const std::uint8_t which = input.byte();
    const QByteArray text = input.rest();
    (void)IniFileGuard::isSafe(text);

    const bool device = which & 1;
    const int profile = (which >> 1) % Profile_RW::kProfileCount;
    const QString path = device ? store.deviceFilePath() : store.profileFilePath(profile);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(text);
    file.close();

    if (device) {
        store.readDevice();
        store.checkDebugMode();
    } else {
        store.readProfile(profile, 0);
    }
    return 0;
}

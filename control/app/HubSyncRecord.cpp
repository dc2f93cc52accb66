#include "HubSyncRecord.h"

#include "RuntimeFolder.h"

#include <QDebug>
#include <QFile>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kModules = 8;

bool isModule(int module)
{
    return module >= 0 && module < kModules;
}

// Opens path for reading and writing without following a symlink; a file that is not a
// regular file of ours is removed and made anew.
int openOwnFile(const QByteArray &path)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            struct stat info {};
            if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid())
                return fd;
            ::close(fd);
        } else if (errno != ELOOP && errno != EISDIR && errno != ENXIO) {
            qWarning() << "HubSyncRecord: cannot open" << path << std::strerror(errno);
            return -1;
        }
        qWarning() << "HubSyncRecord:" << path << "is not a regular file of ours; replaced";
        if (::unlink(path.constData()) != 0 && ::rmdir(path.constData()) != 0) {
            qWarning() << "HubSyncRecord: cannot remove" << path << std::strerror(errno);
            return -1;
        }
    }
    return -1;
}
} // namespace

HubSyncRecord::~HubSyncRecord()
{
    close();
}

QString HubSyncRecord::defaultPath()
{
    const QString folder = RuntimeFolder::path();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/SpectraHubSyncVELTRIMA");
}

bool HubSyncRecord::open(const QString &path)
{
    close();
    if (path.isEmpty())
        return false;
    const int fd = openOwnFile(QFile::encodeName(path));
    if (fd < 0)
        return false;
    struct stat info {};
    // A new file is all zeros after growing; a longer one keeps its length.
    if (::fstat(fd, &info) != 0 || (info.st_size < kSize && ::ftruncate(fd, kSize) != 0)) {
        qWarning() << "KVRGBMemoryControl::initHStatus: Error" << std::strerror(errno);
        ::close(fd);
        return false;
    }
    void *view = ::mmap(nullptr, kSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ::close(fd);
    if (view == MAP_FAILED) {
        qWarning() << "KVRGBMemoryControl::initHStatus: pBuf Error" << std::strerror(errno);
        return false;
    }
    m_view = static_cast<unsigned char *>(view);
    return true;
}

void HubSyncRecord::close()
{
    if (!m_view)
        return;
    ::munmap(m_view, kSize);
    m_view = nullptr;
}

void HubSyncRecord::fill(const HWData &data, int moduleCount, int profile)
{
    if (!m_view)
        return;
    writeInt(kModuleCountAt, moduleCount);
    for (int m = 0; m < kModules; ++m) {
        const MemoryModuleData &module = data.memoryData[m];
        writeLedCount(m, module.ledNum);
        qDebug() << "VELTRIMA_MapFile_Buf->memoryData[" << m << "].ledNum = " << module.ledNum;
        writeLighting(m, module);
        writeColours(m, module);
        writeSlot(m, module.slotSequence);
    }
    writeProfile(profile);
}

void HubSyncRecord::writeColours(int module, const MemoryModuleData &data)
{
    if (!m_view || !isModule(module))
        return;
    for (int i = 0; i < kMirroredLeds; ++i) {
        const int at = (module * kMirroredLeds + i) * 4;
        writeWord(kLedColourAt + at, data.rgb[i]);
        writeFloat(kLedBrightAt + at, data.bright[i]);
    }
    writeWord(kSingleColourAt + module * 4, data.singleRGB);
    writeFloat(kSingleBrightAt + module * 4, data.singleBright);
}

void HubSyncRecord::writeLighting(int module, const MemoryModuleData &data)
{
    // Light mode 20 is a passing state of the user interface, not a choice to publish.
    if (!m_view || !isModule(module) || data.lightMode == 20)
        return;
    writeInt(kLightModeAt + module * 4, data.lightMode);
    writeInt(kColorModeAt + module * 4, data.colorMode);
    writeInt(kSpeedAt + module * 4, data.lightSpeed);
    writeInt(kTurnOffAt + module * 4, data.turnOff ? 1 : 0);
}

void HubSyncRecord::writeSlot(int module, int slot)
{
    if (isModule(module))
        writeInt(kSlotAt + module * 4, slot);
}

void HubSyncRecord::writeLedCount(int module, int ledCount)
{
    if (isModule(module))
        writeInt(kLedCountAt + module * 4, ledCount);
}

void HubSyncRecord::writeProfile(int profile)
{
    writeInt(kProfileAt, profile);
}

int HubSyncRecord::animationChoice() const
{
    return m_view ? int(std::int32_t(readWord(kAnimationAt))) : 0;
}

void HubSyncRecord::writeWord(int offset, std::uint32_t value)
{
    if (!m_view)
        return;
    // One aligned 32-bit store per field: the hub reads while we write.
    __atomic_store_n(reinterpret_cast<std::uint32_t *>(m_view + offset), qToLittleEndian(value), __ATOMIC_RELAXED);
}

std::uint32_t HubSyncRecord::readWord(int offset) const
{
    const auto *field = reinterpret_cast<const std::uint32_t *>(m_view + offset);
    return qFromLittleEndian(__atomic_load_n(field, __ATOMIC_RELAXED));
}

void HubSyncRecord::writeFloat(int offset, float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    writeWord(offset, bits);
}

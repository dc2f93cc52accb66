#include "VirtualHalState.h"

#include "HalRuntimeFolder.h"

#include <QFile>

#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kMaxReadAttempts = 20000;
}

QString VirtualHalState::filePath(const QString &clsid)
{
    const QString folder = HalRuntimeFolder::path();
    if (folder.isEmpty())
        return {};
    return folder + QStringLiteral("hal-virtual-") + clsid + QStringLiteral(".state");
}

std::optional<VirtualHalSnapshot> VirtualHalState::read(const QString &clsid)
{
    const QString path = filePath(clsid);
    if (path.isEmpty())
        return std::nullopt;
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (fstat(fd, &st) != 0 || st.st_size < off_t(sizeof(VirtualHalRecord))) {
        close(fd);
        return std::nullopt;
    }
    void *map = mmap(nullptr, sizeof(VirtualHalRecord), PROT_READ, MAP_SHARED, fd, 0);
    close(fd);
    if (map == MAP_FAILED)
        return std::nullopt;
    const auto *record = static_cast<const VirtualHalRecord *>(map);
    if (record->magic != kVirtualHalMagic || record->version != kVirtualHalVersion
        || record->size != sizeof(VirtualHalRecord)) {
        munmap(map, sizeof(VirtualHalRecord));
        return std::nullopt;
    }

    VirtualHalSnapshot snapshot;
    snapshot.serverPid = record->serverPid;
    snapshot.deviceCount = qBound(0, int(record->deviceCount), kVirtualHalMaxDevices);
    snapshot.objectsCreated = record->objectsCreated.load();
    snapshot.objectsAlive = record->objectsAlive.load();
    for (int i = 0; i < snapshot.deviceCount; ++i) {
        const VirtualHalDeviceRecord &d = record->devices[i];
        VirtualHalDeviceSnapshot s;
        // A server that died in the middle of a write leaves the word odd for good: give
        // up after about a second rather than wait for ever.
        int attempts = 0;
        for (;; ++attempts) {
            if (attempts >= kMaxReadAttempts) {
                munmap(map, sizeof(VirtualHalRecord));
                return std::nullopt;
            }
            const std::uint32_t before = d.sequence.load(std::memory_order_acquire);
            if (before & 1u) {
                usleep(50);
                continue;
            }
            s.type = d.type;
            s.ledCount = d.ledCount;
            s.lastEffect = d.lastEffect;
            s.lastCount = d.lastCount;
            s.colourCalls = d.colourCalls;
            std::memcpy(s.effectCalls, d.effectCalls, sizeof s.effectCalls);
            s.capabilityCalls = d.capabilityCalls;
            quint32 colours[kVirtualHalMaxColours];
            std::memcpy(colours, d.lastColours, sizeof colours);
            std::atomic_thread_fence(std::memory_order_acquire);
            if (d.sequence.load(std::memory_order_relaxed) != before)
                continue;
            const int n = qBound(0, s.lastCount, kVirtualHalMaxColours);
            s.lastColours = QVector<quint32>(colours, colours + n);
            break;
        }
        snapshot.devices.append(s);
    }
    munmap(map, sizeof(VirtualHalRecord));
    return snapshot;
}

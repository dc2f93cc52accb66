#include "VirtualHalPublisher.h"

#include "VirtualHalState.h"

#include <QFile>
#include <map>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/mman.h>
#include <unistd.h>

namespace {

std::mutex g_publishersMutex;

// By state file: a process may change its runtime folder (tests do).
std::map<QString, std::unique_ptr<VirtualHalPublisher>> &publishers()
{
    static std::map<QString, std::unique_ptr<VirtualHalPublisher>> map;
    return map;
}

class EntryWrite
{
public:
    explicit EntryWrite(VirtualHalDeviceRecord &entry) : m_entry(entry)
    {
        m_entry.sequence.fetch_add(1, std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_release);
    }
    ~EntryWrite() { m_entry.sequence.fetch_add(1, std::memory_order_release); }

private:
    VirtualHalDeviceRecord &m_entry;
};

} // namespace

VirtualHalPublisher *VirtualHalPublisher::forServer(const QString &clsid)
{
    std::lock_guard<std::mutex> lock(g_publishersMutex);
    const QString path = VirtualHalState::filePath(clsid);
    if (path.isEmpty())
        return nullptr;
    const auto existing = publishers().find(path);
    if (existing != publishers().end())
        return existing->second.get();
    const int fd = open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return nullptr;
    if (ftruncate(fd, sizeof(VirtualHalRecord)) != 0) {
        close(fd);
        return nullptr;
    }
    void *map = mmap(nullptr, sizeof(VirtualHalRecord), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    close(fd);
    if (map == MAP_FAILED)
        return nullptr;

    auto *record = static_cast<VirtualHalRecord *>(map);
    std::memset(static_cast<void *>(record), 0, sizeof(VirtualHalRecord));
    record->magic = kVirtualHalMagic;
    record->version = kVirtualHalVersion;
    record->size = sizeof(VirtualHalRecord);
    record->serverPid = getpid();
    // Mapped for the process's life: objects of this server may be created again later.
    std::unique_ptr<VirtualHalPublisher> publisher(new VirtualHalPublisher(record));
    VirtualHalPublisher *result = publisher.get();
    publishers().emplace(path, std::move(publisher));
    return result;
}

void VirtualHalPublisher::objectCreated(const VirtualHalConfig &config)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const int shown = std::min<int>(config.devices.size(), kVirtualHalMaxDevices);
    m_record->deviceCount = shown;
    for (int i = 0; i < kVirtualHalMaxDevices; ++i) {
        VirtualHalDeviceRecord &entry = m_record->devices[i];
        EntryWrite write(entry);
        entry.type = i < shown ? config.devices.at(i).type : 0;
        entry.ledCount = i < shown ? config.devices.at(i).ledCount : 0;
        entry.lastEffect = -1;
        entry.lastCount = 0;
        entry.colourCalls = 0;
        std::memset(entry.effectCalls, 0, sizeof entry.effectCalls);
        entry.capabilityCalls = 0;
        std::memset(entry.lastColours, 0, sizeof entry.lastColours);
    }
    m_record->objectsCreated.fetch_add(1);
    m_record->objectsAlive.fetch_add(1);
}

void VirtualHalPublisher::objectDestroyed()
{
    m_record->objectsAlive.fetch_sub(1);
}

void VirtualHalPublisher::capabilityQueried(int device)
{
    if (device < 0 || device >= kVirtualHalMaxDevices)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    VirtualHalDeviceRecord &entry = m_record->devices[device];
    EntryWrite write(entry);
    ++entry.capabilityCalls;
}

void VirtualHalPublisher::coloursReceived(int device, int effect, const std::uint32_t *colours, int count)
{
    if (device < 0 || device >= kVirtualHalMaxDevices)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    VirtualHalDeviceRecord &entry = m_record->devices[device];
    EntryWrite write(entry);
    ++entry.colourCalls;
    if (effect >= 0 && effect < 8)
        ++entry.effectCalls[effect];
    entry.lastEffect = effect;
    entry.lastCount = count;
    const int kept = colours ? std::clamp(count, 0, kVirtualHalMaxColours) : 0;
    std::memset(entry.lastColours, 0, sizeof entry.lastColours);
    if (kept > 0)
        std::memcpy(entry.lastColours, colours, sizeof(std::uint32_t) * std::size_t(kept));
}

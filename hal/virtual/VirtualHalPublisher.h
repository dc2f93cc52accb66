// Publishes the calls that a virtual server receives in its state file (one per CLSID),
// mapped shared so that writing a frame costs a copy, not a file write.
#pragma once

#include "VirtualHalConfig.h"
#include "VirtualHalRecord.h"

#include <QString>

#include <mutex>

class VirtualHalPublisher
{
public:
    // The publisher of a CLSID, mapped on first use and kept for the process's life;
    // null when the runtime folder or the file cannot be used.
    static VirtualHalPublisher *forServer(const QString &clsid);

    // A new server object starts: the device table follows its configuration, counters restart.
    void objectCreated(const VirtualHalConfig &config);
    void objectDestroyed();
    void capabilityQueried(int device);
    void coloursReceived(int device, int effect, const std::uint32_t *colours, int count);

private:
    explicit VirtualHalPublisher(VirtualHalRecord *record) : m_record(record) {}

    VirtualHalRecord *m_record;
    std::mutex m_mutex; // one writer at a time keeps the sequence words meaningful
};

// The channel events that wait for the main thread, folded so that a flood costs no
// more than a few: each event only says "this part of the state changed", so a second
// event of a kind (and module, or notification type) that is already waiting adds
// nothing but its newest argument. The order in which kinds first arrived is kept.
// Filled by the channel's listener thread, emptied by the main thread.
#pragma once

#include "NotiEventData.h"

#include <mutex>
#include <vector>

class ChannelEventBacklog
{
public:
    enum class Kind { Rgb, LightMode, MemorySlot, Noti, Profile };

    struct Entry {
        Kind kind;
        int key;      // module for Rgb and LightMode, notification type for Noti, else 0
        int argument; // the newest argument: module, profile or notification type
        NotiEventData noti;
    };

    // True when the backlog was empty, so that the caller asks for one drain.
    bool add(Kind kind, int argument);
    bool addNoti(const NotiEventData &event);

    // Everything waiting, oldest kind first; the backlog is empty afterwards.
    std::vector<Entry> take();

private:
    bool addEntry(const Entry &entry);

    std::mutex m_mutex;
    std::vector<Entry> m_entries; // at most one per kind and key: a few dozen
};

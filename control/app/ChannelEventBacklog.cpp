#include "ChannelEventBacklog.h"

#include <algorithm>

namespace {
// Notification types outside the known ones share one entry, so forged types cannot
// grow the backlog.
int notiKey(int type)
{
    return type >= NotiLoading && type <= NotiSettings ? type : 0;
}
} // namespace

bool ChannelEventBacklog::add(Kind kind, int argument)
{
    const bool perModule = kind == Kind::Rgb || kind == Kind::LightMode;
    Entry entry{kind, perModule ? argument : 0, argument, {}};
    entry.noti.reset();
    return addEntry(entry);
}

bool ChannelEventBacklog::addNoti(const NotiEventData &event)
{
    return addEntry(Entry{Kind::Noti, notiKey(event.type), event.type, event});
}

bool ChannelEventBacklog::addEntry(const Entry &entry)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    const bool wasEmpty = m_entries.empty();
    const auto same = std::find_if(m_entries.begin(), m_entries.end(), [&entry](const Entry &waiting) {
        return waiting.kind == entry.kind && waiting.key == entry.key;
    });
    if (same == m_entries.end())
        m_entries.push_back(entry);
    else
        *same = entry;
    return wasEmpty;
}

std::vector<ChannelEventBacklog::Entry> ChannelEventBacklog::take()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    std::vector<Entry> entries;
    entries.swap(m_entries);
    return entries;
}

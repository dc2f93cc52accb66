#include "StoreWriteScheduler.h"

#include "Profile_RW.h"

#include <QDebug>

#include <algorithm>

StoreWriteScheduler::StoreWriteScheduler(Profile_RW *store, int intervalMs, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_intervalMs(std::max(0, intervalMs))
{
    static_assert(std::tuple_size<decltype(m_files)>::value == Profile_RW::kProfileCount + 1,
                  "the device file and one file per profile");
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &StoreWriteScheduler::writeDue);
}

StoreWriteScheduler::~StoreWriteScheduler()
{
    flush();
}

bool StoreWriteScheduler::hasPending() const
{
    return std::any_of(m_files.begin(), m_files.end(), [](const File &file) { return file.pending.has_value(); });
}

void StoreWriteScheduler::writeDevice(const HWData &data)
{
    request(kDevice, data, 0);
}

void StoreWriteScheduler::writeProfile(int profile, int passThrough, const HWData &data)
{
    if (!Profile_RW::isValidProfile(profile)) {
        qWarning() << "StoreWriteScheduler: profile" << profile << "does not exist; not saved";
        return;
    }
    request(profile + 1, data, passThrough);
}

void StoreWriteScheduler::flushProfile(int profile)
{
    if (Profile_RW::isValidProfile(profile) && m_files[std::size_t(profile + 1)].pending)
        write(profile + 1);
    armTimer();
}

void StoreWriteScheduler::flush()
{
    for (std::size_t index = 0; index < m_files.size(); ++index) {
        if (m_files[index].pending)
            write(int(index));
    }
    m_timer.stop();
}

void StoreWriteScheduler::request(int index, const HWData &data, int passThrough)
{
    File &file = m_files[std::size_t(index)];
    file.pending = data;
    file.passThrough = passThrough;
    if (msUntilDue(file) == 0)
        write(index);
    armTimer();
}

void StoreWriteScheduler::write(int index)
{
    File &file = m_files[std::size_t(index)];
    if (!file.pending)
        return;
    // Taken out first: the store's answer may lead straight to another request.
    const HWData data = *file.pending;
    file.pending.reset();
    if (!m_store) {
        qWarning() << "StoreWriteScheduler: the store is gone; a change was not saved";
        return;
    }
    file.lastWrite.start();
    if (index == kDevice)
        m_store->writeDevice(data);
    else
        m_store->writeProfile(index - 1, file.passThrough, data);
}

qint64 StoreWriteScheduler::msUntilDue(const File &file) const
{
    if (!file.lastWrite.isValid())
        return 0;
    return std::max<qint64>(0, m_intervalMs - file.lastWrite.elapsed());
}

void StoreWriteScheduler::writeDue()
{
    for (std::size_t index = 0; index < m_files.size(); ++index) {
        if (m_files[index].pending && msUntilDue(m_files[index]) == 0)
            write(int(index));
    }
    armTimer();
}

void StoreWriteScheduler::armTimer()
{
    qint64 next = -1;
    for (const File &file : m_files) {
        if (file.pending)
            next = next < 0 ? msUntilDue(file) : std::min(next, msUntilDue(file));
    }
    if (next < 0) {
        m_timer.stop();
        return;
    }
    m_timer.start(int(next));
}

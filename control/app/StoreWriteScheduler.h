// Paces the writes of the device file and the profile files: a file is written at once
// when it was not written in the last interval, otherwise its newest record waits and
// is written when the interval has passed. Nothing waiting is ever dropped: flush()
// writes it all (at exit), and flushProfile() before a profile file is read back.
// Lives on the main thread, like the store it calls.
#pragma once

#include "HWData.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <array>
#include <optional>

class Profile_RW;

class StoreWriteScheduler : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDefaultIntervalMs = 500;

    explicit StoreWriteScheduler(Profile_RW *store, int intervalMs = kDefaultIntervalMs, QObject *parent = nullptr);
    ~StoreWriteScheduler() override;

    bool hasPending() const;

public slots:
    void writeDevice(const HWData &data);
    void writeProfile(int profile, int passThrough, const HWData &data);
    void flushProfile(int profile);
    void flush();

private:
    struct File {
        std::optional<HWData> pending;
        int passThrough = 0;
        QElapsedTimer lastWrite; // invalid until the first write
    };
    static constexpr int kDevice = 0; // m_files[0]; profile p is m_files[p + 1]

    void request(int index, const HWData &data, int passThrough);
    void write(int index);
    qint64 msUntilDue(const File &file) const;
    void writeDue();
    void armTimer();

    QPointer<Profile_RW> m_store; // may go first when both belong to one owner
    const int m_intervalMs;
    std::array<File, 6> m_files;
    QTimer m_timer;
};

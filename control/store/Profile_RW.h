// The lasting state of the control program: the device file (global and notification
// settings, slot order, selected profile, debug switches), one file per lighting
// profile and, in debug mode, the keyed error log. Driven by the main object's signals
// and answering with its own; lives on the main thread. Every read or write opens and
// closes its file, so nothing is cached here.
#pragma once

#include "LightingMetaTypes.h"

#include <QObject>
#include <QString>

#include <functional>

class QSettings;

class Profile_RW : public QObject
{
    Q_OBJECT

public:
    static constexpr int kProfileCount = 5;

    // Files under the per-user settings folder of "Kv".
    explicit Profile_RW(QObject *parent = nullptr);
    // Files under baseDirectory instead.
    explicit Profile_RW(const QString &baseDirectory, QObject *parent = nullptr);

    // The settings folder of organisation "Kv" followed by "/VELTRIMARGB".
    static QString defaultBaseDirectory();
    static bool isValidProfile(int profile);

    QString baseDirectory() const { return m_baseDirectory; }
    QString deviceFilePath() const;
    // Empty for a number outside 0..4: such a number never names a file.
    QString profileFilePath(int profile) const;
    QString errorLogFilePath() const;

    // Reads the two debug switches of the device file into DebugFlags and, in debug
    // mode, enables the error log. Returns the debug switch.
    bool checkDebugMode();

public slots:
    void writeProfile(int profile, int passThrough, HWData data);
    void readProfile(int profile, int passThrough);
    void writeDevice(HWData data);
    void readDevice();
    void writeErrorLog(QString message);

signals:
    void writeProfileStatus(int profile, bool ok);
    void readProfileStatus(int profile, int passThrough, HWData data);
    void writeDeviceStatus(bool ok);
    void readDeviceStatus(HWData data);

private:
    // Writes through QSettings and reports whether everything reached the disk.
    static bool writeIniFile(const QString &path, const std::function<void(QSettings &)> &fill);

    QString m_baseDirectory;
    bool m_errorLogEnabled = false;
    int m_errorLogNumber = 0;
};

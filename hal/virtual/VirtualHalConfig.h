// How a virtual DIMM HAL server is set up: read from
// <data dir>/veltrima/hal-virtual/<CLSID>.ini (XDG_DATA_HOME first, then XDG_DATA_DIRS);
// without a file the server reports four memory modules of five LEDs.
//
//   [server]
//   devices=4          ; devices reported; 0 reports none
//   ledCount=5         ; default LED count of a device
//   type=458752        ; default device type
//   [device2]          ; optional, per device index
//   type=65536
//   ledCount=3
//   name=Virtual DIMM C
#pragma once

#include <QString>
#include <QVector>

struct VirtualHalDeviceConfig {
    QString name;
    int type = 458752;
    int ledCount = 5;
};

struct VirtualHalConfig {
    QVector<VirtualHalDeviceConfig> devices;

    static QString filePath(const QString &clsid);
    static QString writableFilePath(const QString &dataHome, const QString &clsid);
    static VirtualHalConfig load(const QString &clsid);
    static VirtualHalConfig fromFile(const QString &path);
    static VirtualHalConfig defaults();
};

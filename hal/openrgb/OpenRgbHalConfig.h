// How the OpenRGB HAL server is set up: read from
// <data dir>/veltrima/hal-openrgb/<CLSID>.ini (XDG_DATA_HOME first, then XDG_DATA_DIRS);
// without a file it drives the memory controllers of the SDK server on 127.0.0.1:6742.
//
//   [server]
//   address=127.0.0.1:6742   ; host:port of OpenRGB's SDK server ([v6 address]:port too)
//   deviceTypes=4,0          ; OpenRGB device types driven besides memory (1), e.g. LED strips
//   latencyReport=/path      ; optional: frame-to-socket delays written here at the end
#pragma once

#include <QString>
#include <QVector>

#include <optional>

struct OpenRgbAddress {
    QString host;
    quint16 port = 0;
};

struct OpenRgbHalConfig {
    static constexpr quint16 kDefaultPort = 6742;

    QString host = QStringLiteral("127.0.0.1");
    quint16 port = kDefaultPort;
    QVector<int> deviceTypes{1};
    QString latencyReport;

    static QString writableFilePath(const QString &dataHome, const QString &clsid);
    static OpenRgbHalConfig load(const QString &clsid);
    static OpenRgbHalConfig fromFile(const QString &path);
    // "host", "host:port" or "[v6 address]:port"; nothing when it is not one of those.
    static std::optional<OpenRgbAddress> parseAddress(const QString &text);
};

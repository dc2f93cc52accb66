// Reads what the virtual DIMM HAL published (see VirtualHalRecord.h).
#pragma once

#include "VirtualHalRecord.h"

#include <QString>
#include <QVector>

#include <optional>

struct VirtualHalDeviceSnapshot {
    int type = 0;
    int ledCount = 0;
    int lastEffect = -1;
    int lastCount = 0;
    quint64 colourCalls = 0;
    quint64 effectCalls[8] = {};
    quint64 capabilityCalls = 0;
    QVector<quint32> lastColours; // lastCount colours, at most 16
};

struct VirtualHalSnapshot {
    int serverPid = 0;
    int deviceCount = 0;
    quint64 objectsCreated = 0;
    qint64 objectsAlive = 0;
    QVector<VirtualHalDeviceSnapshot> devices;
};

class VirtualHalState
{
public:
    // The CLSID under which veltrima-hal-register registers the virtual server by default.
    static QString defaultClsid() { return QStringLiteral("{5C0A6E2D-4B1F-4E7A-9D3C-2A8B7F61E4D0}"); }

    // <runtime folder>/hal-virtual-<clsid>.state
    static QString filePath(const QString &clsid);
    // Empty when nothing valid is published, or when an entry stays half-written (its
    // server died while writing it).
    static std::optional<VirtualHalSnapshot> read(const QString &clsid);
};

// One window message as an endpoint's owner receives it: the private message number with
// its two parameters, or a copy-data message (message WM_COPYDATA) with its type and bytes.
#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QtGlobal>

struct WindowRequest
{
    static constexpr quint32 WM_COPYDATA = 0x004A;

    quint32 message = 0;
    quint64 wParam = 0;   // for copy data: the sender's window id, which is its pid
    qint64 lParam = 0;
    quint64 copyDataType = 0;
    QByteArray copyData;
    qint64 senderPid = 0; // as the kernel reports the connected peer, not as claimed

    bool isCopyData() const { return message == WM_COPYDATA; }
};

Q_DECLARE_METATYPE(WindowRequest)

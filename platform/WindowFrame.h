// The bytes that cross a window endpoint's socket. A request is a fixed little-endian
// header followed by the copy-data bytes; the reply is a fixed frame with the 64-bit
// result. One request and one reply per connection.
//
// request: magic u32 "VLTQ", version u16 (1), kind u16 (1 message, 2 copy data),
//          message u32, sender pid u32, wParam u64, lParam i64, copy-data type u64,
//          copy-data size u32, then that many bytes
// reply:   magic u32 "VLTA", result i64
#pragma once

#include "WindowRequest.h"

#include <QByteArray>
#include <QString>

class WindowFrame
{
public:
    static constexpr int HeaderSize = 44;
    static constexpr int ReplySize = 12;
    static constexpr quint32 MaxCopyDataSize = 1024 * 1024;

    enum class Parse { NeedMore, Complete, Malformed };

    static QByteArray encodeRequest(const WindowRequest &request);
    // Reads a request from the start of buffer; on Complete, *consumed is its length. The
    // header is checked before any data is awaited, so an oversized frame is refused at once.
    // senderPid is taken from the frame; an endpoint overwrites it with the peer's real pid.
    static Parse parseRequest(const QByteArray &buffer, WindowRequest *request, int *consumed, QString *error);

    static QByteArray encodeReply(qint64 result);
    static bool parseReply(const QByteArray &buffer, qint64 *result);
};

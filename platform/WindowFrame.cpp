#include "WindowFrame.h"

#include <QtEndian>


namespace {

constexpr quint32 RequestMagic = 0x51544C56; // "VLTQ"
constexpr quint32 ReplyMagic = 0x41544C56;   // "VLTA"
constexpr quint16 Version = 1;
constexpr quint16 KindMessage = 1;
constexpr quint16 KindCopyData = 2;

template<typename T>
void put(QByteArray &out, T value)
{
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

template<typename T>
T take(const char *data, int offset)
{
    return qFromLittleEndian<T>(data + offset);
}

} // namespace

QByteArray WindowFrame::encodeRequest(const WindowRequest &request)
{
    QByteArray out;
    out.reserve(HeaderSize + request.copyData.size());
    put<quint32>(out, RequestMagic);
    put<quint16>(out, Version);
    put<quint16>(out, request.isCopyData() ? KindCopyData : KindMessage);
    put<quint32>(out, request.message);
    put<quint32>(out, static_cast<quint32>(request.senderPid));
    put<quint64>(out, request.wParam);
    put<qint64>(out, request.lParam);
    put<quint64>(out, request.isCopyData() ? request.copyDataType : 0);
    const QByteArray &data = request.isCopyData() ? request.copyData : QByteArray();
    put<quint32>(out, static_cast<quint32>(data.size()));
    out.append(data);
    return out;
}

WindowFrame::Parse WindowFrame::parseRequest(const QByteArray &buffer, WindowRequest *request, int *consumed,
                                             QString *error)
{
    if (buffer.size() < HeaderSize)
        return Parse::NeedMore;
    const char *data = buffer.constData();
    const auto refuse = [error](const QString &reason) {
        if (error)
            *error = reason;
        return Parse::Malformed;
    };
    if (take<quint32>(data, 0) != RequestMagic)
        return refuse(QStringLiteral("bad magic"));
    if (take<quint16>(data, 4) != Version)
        return refuse(QStringLiteral("unknown version %1").arg(take<quint16>(data, 4)));
    const quint16 kind = take<quint16>(data, 6);
    const quint32 message = take<quint32>(data, 8);
    const quint32 size = take<quint32>(data, 40);
    if (kind != KindMessage && kind != KindCopyData)
        return refuse(QStringLiteral("unknown kind %1").arg(kind));
    if ((kind == KindCopyData) != (message == WindowRequest::WM_COPYDATA))
        return refuse(QStringLiteral("kind %1 does not match message 0x%2").arg(kind).arg(message, 0, 16));
    if (kind == KindMessage && size != 0)
        return refuse(QStringLiteral("plain message carries %1 bytes").arg(size));
    if (size > MaxCopyDataSize)
        return refuse(QStringLiteral("copy data of %1 bytes exceeds %2").arg(size).arg(MaxCopyDataSize));
    const int total = HeaderSize + static_cast<int>(size);
    if (buffer.size() < total)
        return Parse::NeedMore;

    request->message = message;
    request->senderPid = take<quint32>(data, 12);
    request->wParam = take<quint64>(data, 16);
    request->lParam = take<qint64>(data, 24);
    // A plain message has no copy-data type, whatever the sender left in the field.
    request->copyDataType = kind == KindCopyData ? take<quint64>(data, 32) : 0;
    request->copyData = buffer.mid(HeaderSize, static_cast<int>(size));
    *consumed = total;
    return Parse::Complete;
}

QByteArray WindowFrame::encodeReply(qint64 result)
{
    QByteArray out;
    out.reserve(ReplySize);
    put<quint32>(out, ReplyMagic);
    put<qint64>(out, result);
    return out;
}

bool WindowFrame::parseReply(const QByteArray &buffer, qint64 *result)
{
    if (buffer.size() != ReplySize || take<quint32>(buffer.constData(), 0) != ReplyMagic)
        return false;
    *result = take<qint64>(buffer.constData(), 4);
    return true;
}

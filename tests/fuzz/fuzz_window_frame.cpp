// The bytes another process sends to a window endpoint.
#include "FuzzInput.h"
#include "WindowFrame.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray buffer(reinterpret_cast<const char *>(data), int(size));
    // Frames arrive back to back on a stream; read them as an endpoint would.
    for (int frames = 0; frames < 64 && !buffer.isEmpty(); ++frames) {
        WindowRequest request;
        int consumed = 0;
        QString error;
        const WindowFrame::Parse parse = WindowFrame::parseRequest(buffer, &request, &consumed, &error);
        if (parse != WindowFrame::Parse::Complete)
            break;
        if (consumed <= 0 || consumed > buffer.size())
            std::abort();
        if (request.copyData.size() > int(WindowFrame::MaxCopyDataSize))
            std::abort();
        // What was read must encode back to a frame that reads the same.
        WindowRequest again;
        int againConsumed = 0;
        const QByteArray encoded = WindowFrame::encodeRequest(request);
        if (WindowFrame::parseRequest(encoded, &again, &againConsumed, &error) != WindowFrame::Parse::Complete
            || again.message != request.message || again.wParam != request.wParam || again.lParam != request.lParam
            || again.copyDataType != request.copyDataType || again.copyData != request.copyData)
            std::abort();
        buffer.remove(0, consumed);
    }
    qint64 result = 0;
    (void)WindowFrame::parseReply(QByteArray(reinterpret_cast<const char *>(data), int(size)), &result);
    return 0;
}

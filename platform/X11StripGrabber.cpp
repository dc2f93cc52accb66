#include "X11StripGrabber.h"

#include <QMap>
#include <QtGlobal>

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>
#include <cstring>

namespace {
const xcb_screen_t *screenOf(const xcb_setup_t *setup, int number)
{
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
    for (int i = 0; it.rem > 0; xcb_screen_next(&it), ++i) {
        if (i == number)
            return it.data;
    }
    return nullptr;
}

const xcb_visualtype_t *visualOf(const xcb_screen_t *screen)
{
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem > 0; xcb_depth_next(&depths)) {
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem > 0;
             xcb_visualtype_next(&visuals)) {
            if (visuals.data->visual_id == screen->root_visual)
                return visuals.data;
        }
    }
    return nullptr;
}

int bitsPerPixel(const xcb_setup_t *setup, int depth)
{
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem > 0; xcb_format_next(&formats)) {
        if (formats.data->depth == depth)
            return formats.data->bits_per_pixel;
    }
    return 0;
}

bool hasExtension(xcb_connection_t *connection, const char *name)
{
    const auto cookie = xcb_query_extension(connection, quint16(std::strlen(name)), name);
    xcb_query_extension_reply_t *reply = xcb_query_extension_reply(connection, cookie, nullptr);
    const bool present = reply && reply->present;
    std::free(reply);
    return present;
}

bool hasSharedMemory(xcb_connection_t *connection)
{
    const xcb_query_extension_reply_t *extension = xcb_get_extension_data(connection, &xcb_shm_id);
    if (!extension || !extension->present)
        return false;
    xcb_shm_query_version_reply_t *reply =
        xcb_shm_query_version_reply(connection, xcb_shm_query_version(connection), nullptr);
    const bool usable = reply != nullptr;
    std::free(reply);
    return usable;
}

struct RowStrip
{
    int y = 0;
    int firstX = 0;
    int width = 0;
    int offset = 0; // in pixels, within the strips read back
};
} // namespace

std::unique_ptr<X11StripGrabber> X11StripGrabber::connect(QString *whyNot, Transport transport)
{
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        *whyNot = QStringLiteral("no X display");
        return nullptr;
    }
    std::unique_ptr<X11StripGrabber> grabber(new X11StripGrabber);
    grabber->m_connection = connection;

    const xcb_setup_t *setup = xcb_get_setup(connection);
    const xcb_screen_t *screen = screenOf(setup, screenNumber);
    const xcb_visualtype_t *visual = screen ? visualOf(screen) : nullptr;
    const bool xrgb = visual && screen->root_depth == 24 && bitsPerPixel(setup, 24) == 32
        && visual->red_mask == 0xff0000 && visual->green_mask == 0xff00 && visual->blue_mask == 0xff
        && (visual->_class == XCB_VISUAL_CLASS_TRUE_COLOR || visual->_class == XCB_VISUAL_CLASS_DIRECT_COLOR)
        && setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST && Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
    if (!xrgb) {
        *whyNot = QStringLiteral("the X screen's pixels are not 32-bit XRGB");
        return nullptr;
    }
    grabber->m_root = screen->root;
    grabber->m_xwayland = hasExtension(connection, "XWAYLAND");
    grabber->m_shmAvailable = transport == Transport::SharedMemory && hasSharedMemory(connection);
    return grabber;
}

X11StripGrabber::~X11StripGrabber()
{
    detachSegment();
    xcb_disconnect(m_connection);
}

bool X11StripGrabber::attachSegment(int bytes)
{
    detachSegment();
    const int size = (bytes + 0xffff) & ~0xffff;
    const int id = shmget(IPC_PRIVATE, size_t(size), IPC_CREAT | 0600);
    if (id < 0)
        return false;
    void *data = shmat(id, nullptr, 0);
    if (data == reinterpret_cast<void *>(-1)) {
        shmctl(id, IPC_RMID, nullptr);
        return false;
    }
    const xcb_shm_seg_t segment = xcb_generate_id(m_connection);
    xcb_generic_error_t *error = xcb_request_check(m_connection, xcb_shm_attach_checked(m_connection, segment, quint32(id), 0));
    // Once the server holds it, the segment goes away with the last of us to detach,
    // even if we crash.
    shmctl(id, IPC_RMID, nullptr);
    if (error) {
        std::free(error);
        shmdt(data);
        return false;
    }
    m_shmSegment = segment;
    m_shmData = static_cast<unsigned char *>(data);
    m_shmBytes = size;
    return true;
}

void X11StripGrabber::detachSegment()
{
    if (!m_shmSegment)
        return;
    if (!xcb_connection_has_error(m_connection)) {
        xcb_shm_detach(m_connection, m_shmSegment);
        xcb_flush(m_connection);
    }
    shmdt(m_shmData);
    m_shmSegment = 0;
    m_shmData = nullptr;
    m_shmBytes = 0;
}

QVector<QRgb> X11StripGrabber::pixels(const QVector<QPoint> &points, QString *whyNot)
{
    if (xcb_connection_has_error(m_connection)) {
        *whyNot = QStringLiteral("the X connection was lost");
        return {};
    }
    QMap<int, RowStrip> rows;
    for (const QPoint &p : points) {
        // The server refuses pixels outside the screen; it knows the screen's size as
        // it is now, after any resizing.
        if (p.x() < 0 || p.y() < 0)
            continue;
        auto row = rows.find(p.y());
        if (row == rows.end()) {
            rows.insert(p.y(), RowStrip{p.y(), p.x(), 1, 0});
            continue;
        }
        const int last = qMax(row->firstX + row->width - 1, p.x());
        row->firstX = qMin(row->firstX, p.x());
        row->width = last - row->firstX + 1;
    }
    int total = 0;
    for (RowStrip &row : rows) {
        row.offset = total;
        total += row.width;
    }

    QVector<quint32> strips(total);
    if (m_shmAvailable && total * 4 > m_shmBytes && !attachSegment(total * 4))
        m_shmAvailable = false; // the server cannot share memory with us: strips come by socket
    // Every request goes out before the first answer is awaited: one round trip in all.
    if (m_shmSegment) {
        QVector<xcb_shm_get_image_cookie_t> cookies;
        for (const RowStrip &row : qAsConst(rows)) {
            cookies << xcb_shm_get_image(m_connection, m_root, qint16(row.firstX), qint16(row.y), quint16(row.width), 1,
                                         ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP, m_shmSegment, quint32(row.offset * 4));
        }
        bool ok = true;
        for (const auto &cookie : qAsConst(cookies)) {
            xcb_generic_error_t *error = nullptr;
            xcb_shm_get_image_reply_t *reply = xcb_shm_get_image_reply(m_connection, cookie, &error);
            ok = ok && reply;
            std::free(reply);
            std::free(error);
        }
        if (!ok) {
            *whyNot = QStringLiteral("the X server refused the screen strips (outside the screen?)");
            return {};
        }
        std::memcpy(strips.data(), m_shmData, size_t(total) * 4);
    } else {
        QVector<xcb_get_image_cookie_t> cookies;
        for (const RowStrip &row : qAsConst(rows)) {
            cookies << xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, qint16(row.firstX), qint16(row.y),
                                     quint16(row.width), 1, ~0u);
        }
        bool ok = true;
        auto row = rows.cbegin();
        for (const auto &cookie : qAsConst(cookies)) {
            xcb_generic_error_t *error = nullptr;
            xcb_get_image_reply_t *reply = xcb_get_image_reply(m_connection, cookie, &error);
            if (reply && xcb_get_image_data_length(reply) >= row->width * 4)
                std::memcpy(strips.data() + row->offset, xcb_get_image_data(reply), size_t(row->width) * 4);
            else
                ok = false;
            std::free(reply);
            std::free(error);
            ++row;
        }
        if (!ok) {
            *whyNot = QStringLiteral("the X server refused the screen strips (outside the screen?)");
            return {};
        }
    }

    QVector<QRgb> result;
    result.reserve(points.size());
    for (const QPoint &p : points) {
        if (p.x() < 0 || p.y() < 0) {
            result << 0u;
            continue;
        }
        const RowStrip &row = rows[p.y()];
        result << (0xff000000u | (strips.at(row.offset + p.x() - row.firstX) & 0xffffffu));
    }
    return result;
}

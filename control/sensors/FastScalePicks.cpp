#include "FastScalePicks.h"

#include <cmath>

namespace {
// 12 bits of each coordinate fit a pixel; larger pictures are told apart by where the
// pick must lie (within a pixel or two of the cell's centre).
constexpr int kCoordinateBits = 12;
constexpr int kCoordinateMask = (1 << kCoordinateBits) - 1;

int unwrap(int low, double expected)
{
    const double wraps = std::round((expected - low) / double(1 << kCoordinateBits));
    return low + int(wraps) * (1 << kCoordinateBits);
}
} // namespace

FastScalePicks::FastScalePicks(QSize source)
    : m_source(source)
{
    if (source.isEmpty())
        return;
    QImage positions(source, QImage::Format_RGB32);
    if (positions.isNull())
        return;
    for (int y = 0; y < source.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(positions.scanLine(y));
        const quint32 row = quint32(y & kCoordinateMask);
        for (int x = 0; x < source.width(); ++x)
            line[x] = 0xff000000u | (quint32(x & kCoordinateMask) << kCoordinateBits) | row;
    }
    const QImage picked = scaled(positions);
    if (picked.size() != QSize(kSide, kSide))
        return;
    m_points.reserve(kSide * kSide);
    for (int y = 0; y < kSide; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(picked.constScanLine(y));
        for (int x = 0; x < kSide; ++x) {
            const QRgb code = line[x];
            if (qAlpha(code) != 0xff) { // left blank by the scaling
                m_points << QPoint(-1, -1);
                continue;
            }
            const double centreX = (x + 0.5) * source.width() / kSide;
            const double centreY = (y + 0.5) * source.height() / kSide;
            m_points << QPoint(unwrap(int((code >> kCoordinateBits) & kCoordinateMask), centreX),
                               unwrap(int(code & kCoordinateMask), centreY));
        }
    }
}

QImage FastScalePicks::assemble(const QVector<QRgb> &values) const
{
    if (values.size() != m_points.size() || m_points.size() != kSide * kSide)
        return {};
    QImage image(kSide, kSide, QImage::Format_RGB32);
    for (int y = 0; y < kSide; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < kSide; ++x)
            line[x] = values.at(y * kSide + x);
    }
    return image;
}

QImage FastScalePicks::scaled(const QImage &picture)
{
    if (picture.isNull())
        return {};
    return picture.scaled(kSide, kSide, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

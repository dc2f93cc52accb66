#include "PaletteGeometry.h"

#include <QColor>
#include <QPainter>
#include <QtGlobal>

#include <cmath>

namespace {
QImage drawnWheel()
{
    QImage image(PaletteGeometry::kWheelSize, PaletteGeometry::kWheelSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(PaletteGeometry::kWheelSize / 2.0, PaletteGeometry::kWheelSize / 2.0);
    QConicalGradient hues(centre, 0);
    for (int i = 0; i <= 6; ++i)
        hues.setColorAt(i / 6.0, QColor::fromHsvF(std::fmod(i / 6.0, 1.0), 1.0, 1.0));
    p.setPen(Qt::NoPen);
    p.setBrush(hues);
    p.drawEllipse(centre, centre.x(), centre.y());
    QRadialGradient white(centre, centre.x());
    white.setColorAt(0, Qt::white);
    white.setColorAt(1, Qt::transparent);
    p.setBrush(white);
    p.drawEllipse(centre, centre.x(), centre.y());
    return image;
}
} // namespace

const QImage &PaletteGeometry::wheelImage()
{
    static const QImage image = [] {
        QImage loaded(QStringLiteral(":/KVRGBMemory/Images/palette.png"));
        return loaded.isNull() ? drawnWheel() : loaded.convertToFormat(QImage::Format_ARGB32);
    }();
    return image;
}

bool PaletteGeometry::isOnWheel(QPoint pos, QPoint centre)
{
    const double dx = pos.x() - centre.x();
    const double dy = pos.y() - centre.y();
    return static_cast<int>(std::sqrt(dx * dx + dy * dy)) <= kHitRadius;
}

QPoint PaletteGeometry::imagePixel(QPoint pos, QPoint offset, const QImage &image)
{
    // A press exactly 88 pixels right of or below the centre would otherwise read pixel 176.
    return QPoint(qBound(0, pos.x() - offset.x(), image.width() - 1),
                  qBound(0, pos.y() - offset.y(), image.height() - 1));
}

COLORREF PaletteGeometry::colourAt(const QImage &image, QPoint pixel)
{
    if (image.isNull() || !image.rect().contains(pixel))
        return 0;
    const QRgb c = image.pixel(pixel);
    return rgbColor(qRed(c), qGreen(c), qBlue(c));
}

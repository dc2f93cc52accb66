#include "RGB_Palette.h"

#include "PaletteGeometry.h"

#include <QMouseEvent>
#include <QPainter>

RGB_Palette::RGB_Palette(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("RGB_Palette"));
    resize(PaletteGeometry::kWheelSize, PaletteGeometry::kWheelSize);
    setCursor(Qt::CrossCursor);
}

void RGB_Palette::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), PaletteGeometry::wheelImage());
}

void RGB_Palette::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->pos();
    if (!PaletteGeometry::isOnWheel(pos, QPoint(width() / 2, height() / 2)))
        return;
    const QImage &image = PaletteGeometry::wheelImage();
    emit pressRGB(PaletteGeometry::colourAt(image, PaletteGeometry::imagePixel(pos, QPoint(0, 0), image)));
}

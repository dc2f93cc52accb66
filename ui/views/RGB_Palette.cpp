#include "RGB_Palette.h"

#include "PaletteGeometry.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

RGB_Palette::RGB_Palette(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("RGB_Palette"));
    resize(PaletteGeometry::kWheelSize, PaletteGeometry::kWheelSize);
    setCursor(Qt::CrossCursor);
}

void RGB_Palette::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        setCursor(isEnabled() ? Qt::CrossCursor : Qt::ArrowCursor);
    QWidget::changeEvent(event);
}

void RGB_Palette::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (isEnabled()) {
        p.drawImage(rect(), PaletteGeometry::wheelImage());
        return;
    }
    // Grey keeps the wheel's alpha, so the transparent corners stay transparent.
    static const QImage faded = [] {
        QImage image = PaletteGeometry::wheelImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int grey = qGray(line[x]);
                line[x] = qRgba(grey, grey, grey, qAlpha(line[x]));
            }
        }
        return image;
    }();
    p.setOpacity(0.3);
    p.drawImage(rect(), faded);
}

void RGB_Palette::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->pos();
    if (!PaletteGeometry::isOnWheel(pos, QPoint(width() / 2, height() / 2)))
        return;
    const QImage &image = PaletteGeometry::wheelImage();
    emit pressRGB(PaletteGeometry::colourAt(image, PaletteGeometry::imagePixel(pos, QPoint(0, 0), image)));
}

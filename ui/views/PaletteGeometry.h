// What the two colour wheels share: the wheel image, the hit radius and the pixel look-up.
#pragma once

#include "LightingTypes.h"

#include <QImage>
#include <QPoint>

class PaletteGeometry
{
public:
    static constexpr int kWheelSize = 176;
    static constexpr int kHitRadius = 88;

    // The wheel image (":/KVRGBMemory/Images/palette.png"); drawn here when the resource
    // is missing so the page still has a working wheel.
    static const QImage &wheelImage();
    // Distance from the centre, computed in floating point and truncated, at most 88.
    static bool isOnWheel(QPoint pos, QPoint centre);
    // The image pixel for a press at pos: pos minus offset, kept inside the image.
    static QPoint imagePixel(QPoint pos, QPoint offset, const QImage &image);
    static COLORREF colourAt(const QImage &image, QPoint pixel);
};

// Which pixels of a picture fast (nearest-pixel) scaling to 15 × 15 keeps. The sampler's
// answer depends on those 225 pixels alone, so it reads just them from the screen. The
// toolkit's fast scaling is asked itself, once per picture size, on a picture whose
// pixels name their own position: what it keeps is then exactly what scaling a full grab
// would keep, whatever rounding the toolkit's version uses.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRgb>
#include <QSize>
#include <QVector>

class FastScalePicks
{
public:
    static constexpr int kSide = 15;

    FastScalePicks() = default;
    explicit FastScalePicks(QSize source);

    QSize source() const { return m_source; }
    bool isEmpty() const { return m_points.isEmpty(); }

    // Row order of the scaled picture; a point with negative coordinates stands for a
    // scaled pixel that no source pixel fills.
    const QVector<QPoint> &points() const { return m_points; }

    // The scaled picture (RGB32) from the values at points(), in the same order.
    QImage assemble(const QVector<QRgb> &values) const;

    // What the full path does with a whole picture: fast scaling, then 32-bit RGB.
    static QImage scaled(const QImage &picture);

private:
    QSize m_source;
    QVector<QPoint> m_points;
};

#include "LightingPreview.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

void LightingPreview::setFrames(const QList<COLORREF *> &colours)
{
    const int n = std::min<int>(colours.size(), kModuleCount);
    for (int k = 0; k < n; ++k) {
        if (const COLORREF *c = colours.at(k))
            std::copy_n(c, kDrivenLeds, m_colours[k].begin());
    }
}

const std::array<COLORREF, kDrivenLeds> &LightingPreview::colours(int module) const
{
    return m_colours[std::clamp(module, 0, kModuleCount - 1)];
}

QRect LightingPreview::box(int slotCount)
{
    return QRect(slotCount <= 4 ? 226 : 116, 53, 258, 252);
}

QRect LightingPreview::bar(int slotNumber, int slotCount)
{
    const int x = (slotNumber / 4) * 35 + slotNumber * 20 + 100 + (slotCount <= 4 ? 223 : 53);
    return QRect(x, 55, 10, 240);
}

QRect LightingPreview::barsArea(const Layout &layout)
{
    QRect bars;
    for (int k = 0; k < layout.slotCount; ++k)
        bars = bars.united(bar(layout.slotNumbers[k], layout.slotCount));
    return bars.isNull() ? bars : bars.adjusted(-1, -1, 1, 1);
}

void LightingPreview::paint(QPainter &p, const QRect &dirty, const Layout &layout) const
{
    const QRect outer = box(layout.slotCount);
    // A new frame repaints the bars only; the box's outline lies outside them.
    if (dirty.intersects(outer) && !outer.adjusted(2, 2, -2, -2).contains(dirty)) {
        QLinearGradient outline(outer.topLeft(), outer.bottomLeft());
        outline.setColorAt(0, QColor(255, 255, 255, 50));
        outline.setColorAt(1, QColor(255, 255, 255, 10));
        p.setPen(QPen(QBrush(outline), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(outer);
    }

    static const qreal kStops[kDrivenLeds] = {0.1, 0.3, 0.5, 0.7, 0.9};
    p.setPen(QColor(80, 80, 80));
    for (int k = 0; k < layout.slotCount; ++k) {
        const QRect r = bar(layout.slotNumbers[k], layout.slotCount);
        if (!dirty.intersects(r.adjusted(-1, -1, 1, 1)))
            continue;
        if (k < layout.memoryCount) {
            QLinearGradient g(0, r.top(), 0, r.bottom() + 1);
            for (int led = 0; led < kDrivenLeds; ++led) {
                const COLORREF c = m_colours[k][led];
                g.setColorAt(kStops[led], QColor(redOf(c), greenOf(c), blueOf(c)));
            }
            p.setBrush(g);
        } else {
            p.setBrush(QColor(80, 80, 80));
        }
        p.drawRect(r);
    }
}

#include "Palette_draw_rect.h"

#include <QPainter>
#include <QtGlobal>

namespace {
constexpr int kMinX = 300;
constexpr int kMinY = 20;
constexpr int kMaxY = 320;
constexpr int kMaxRelX = 900;
} // namespace

Palette_draw_rect::Palette_draw_rect(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Palette_draw_rect"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QPoint Palette_draw_rect::endPointFor(QPoint pagePos) const
{
    const QPoint kept(qMax(pagePos.x(), kMinX), qBound(kMinY, pagePos.y(), kMaxY));
    const QPoint relative = kept - pos();
    return QPoint(qBound(1, relative.x(), kMaxRelX), qBound(1, relative.y(), kMaxY));
}

void Palette_draw_rect::setStart(QPoint start)
{
    m_start = start;
    m_end = start;
    update();
}

void Palette_draw_rect::setEnd(QPoint end)
{
    m_end = end;
    update();
}

QRect Palette_draw_rect::selectionRect() const
{
    return QRect(m_start, m_end).normalized().translated(pos());
}

bool Palette_draw_rect::strictlyInside(QPoint pagePoint) const
{
    const QPoint a = m_start + pos();
    const QPoint b = m_end + pos();
    const int x = pagePoint.x();
    const int y = pagePoint.y();
    return x > qMin(a.x(), b.x()) && x < qMax(a.x(), b.x()) && y > qMin(a.y(), b.y()) && y < qMax(a.y(), b.y());
}

void Palette_draw_rect::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 2, Qt::DashDotLine, Qt::RoundCap, Qt::BevelJoin));
    p.setBrush(QColor(192, 192, 192, 100));
    p.drawRect(QRect(m_start, QSize(m_end.x() - m_start.x(), m_end.y() - m_start.y())));
}

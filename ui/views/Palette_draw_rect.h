// The rubber band of the lighting page: the rectangle the user drags to select LEDs.
#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>

class Palette_draw_rect : public QWidget
{
    Q_OBJECT
public:
    explicit Palette_draw_rect(QWidget *parent = nullptr);

    // Where a drag may end: the pointer (page coordinates) kept to the module area,
    // then made relative to this widget and kept inside it.
    QPoint endPointFor(QPoint pagePos) const;
    void setStart(QPoint start);
    void setEnd(QPoint end);
    QPoint start() const { return m_start; }
    QPoint end() const { return m_end; }
    // The area between start and end, whatever the drag direction, in page coordinates.
    QRect selectionRect() const;
    // True when a page point lies strictly between the start and end points.
    bool strictlyInside(QPoint pagePoint) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPoint m_start;
    QPoint m_end;
};

#include "Widget_Select_Palette.h"

#include "PaletteGeometry.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace {
constexpr int kImageOffset = (Widget_Select_Palette::kSize - PaletteGeometry::kWheelSize) / 2;
}

Widget_Select_Palette::Widget_Select_Palette(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Widget_Select_Palette"));
    resize(kSize, kSize);
    setFocusPolicy(Qt::ClickFocus);
    label_Palette = new QLabel(this);
    label_Palette->setObjectName(QStringLiteral("label_Palette"));
    label_Palette->setGeometry(kImageOffset, kImageOffset, PaletteGeometry::kWheelSize, PaletteGeometry::kWheelSize);
    label_Palette->setPixmap(QPixmap::fromImage(PaletteGeometry::wheelImage()));
    // Presses on the image reach the widget, which knows the offset.
    label_Palette->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Widget_Select_Palette::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 20, 20), 1));
    p.setBrush(QColor(40, 40, 40, 245));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void Widget_Select_Palette::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->pos();
    if (!PaletteGeometry::isOnWheel(pos, QPoint(width() / 2, height() / 2)))
        return;
    const QImage &image = PaletteGeometry::wheelImage();
    const QPoint pixel = PaletteGeometry::imagePixel(pos, QPoint(kImageOffset, kImageOffset), image);
    emit pressRGB(PaletteGeometry::colourAt(image, pixel));
}

void Widget_Select_Palette::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    const QWidget *now = QApplication::focusWidget();
    if (!now || !isAncestorOf(now))
        hide();
}

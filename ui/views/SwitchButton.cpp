#include "SwitchButton.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPropertyAnimation>

namespace {
const char *const kOnImage = ":/KVRGBMemory/Images/Btn_Switch_ON.png";
const char *const kOffImage = ":/KVRGBMemory/Images/Btn_Switch_OFF.png";
constexpr int kAnimationMs = 100;
} // namespace

SwitchButton::SwitchButton(int width, int height, QWidget *parent)
    : QWidget(parent)
{
    resize(width, height);

    m_knob = new QLabel(this);
    m_knob->setGeometry(1, 0, height, height);
    m_knob->setScaledContents(true);
    showKnobImage(false);

    m_track.setFillRule(Qt::WindingFill);
    m_track.addEllipse(width - height, 0, height, height);
    m_track.addEllipse(0, 0, height, height);
    m_track.addRect(height / 2, 0, width - height, height);

    m_animation = new QPropertyAnimation(m_knob, "pos", this);
    m_animation->setDuration(kAnimationMs);
    m_animation->setEasingCurve(QEasingCurve::Linear);
}

QPoint SwitchButton::knobPosition(bool on) const
{
    return on ? QPoint(width() - height() - 1, 0) : QPoint(1, 0);
}

void SwitchButton::showKnobImage(bool on)
{
    m_knob->setPixmap(QPixmap(QLatin1String(on ? kOnImage : kOffImage)));
}

void SwitchButton::setCheckedFromData(bool on)
{
    m_animation->stop();
    m_checked = on;
    m_knob->move(knobPosition(on));
    showKnobImage(on);
    update();
}

void SwitchButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.fillPath(m_track, QColor(48, 48, 48));
}

void SwitchButton::mouseReleaseEvent(QMouseEvent *event)
{
    // A click while the knob still moves keeps the state but is still reported, so a
    // listener always sees the state the switch really has.
    if (m_animation->state() != QAbstractAnimation::Running) {
        const bool on = !m_checked;
        m_animation->setStartValue(knobPosition(m_checked));
        m_animation->setEndValue(knobPosition(on));
        m_animation->start();
        m_checked = on;
        showKnobImage(on);
        update();
    }
    emit sigClicked(m_checked);
    QWidget::mouseReleaseEvent(event);
}

// The animated on/off switch of the lighting, notification and settings pages.
#pragma once

#include <QPainterPath>
#include <QWidget>

class QLabel;
class QPropertyAnimation;

class SwitchButton : public QWidget
{
    Q_OBJECT
public:
    SwitchButton(int width, int height, QWidget *parent = nullptr);

    bool isChecked() const { return m_checked; }
    // Shows a state that came from data: the knob jumps there and nothing is emitted.
    void setCheckedFromData(bool on);

signals:
    void sigClicked(bool checked);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPoint knobPosition(bool on) const;
    void showKnobImage(bool on);

    bool m_checked = false;
    QLabel *m_knob = nullptr;
    QPainterPath m_track;
    QPropertyAnimation *m_animation = nullptr;
};

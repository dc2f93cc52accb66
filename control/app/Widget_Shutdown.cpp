#include "Widget_Shutdown.h"

Widget_Shutdown::Widget_Shutdown(QWidget *parent)
    : QWidget(parent)
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    resize(430, 131);
}

void Widget_Shutdown::slot_Countdown()
{
}

void Widget_Shutdown::slot_Shutdown()
{
    emit Signal_Shutdown(m_source);
}

void Widget_Shutdown::slot_Shutdown_Cancel()
{
    emit Signal_Shutdown_Cancel(m_source);
}

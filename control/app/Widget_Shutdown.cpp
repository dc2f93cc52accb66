#include "Widget_Shutdown.h"

#include <QDebug>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace {
const QString kButtonStyle = QStringLiteral(
    "QPushButton{color:white; font-family:Arial; font-size:12px; border:1px solid white; border-radius:8px;}");
}

Widget_Shutdown::Widget_Shutdown(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Widget_Shutdown"));
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    resize(430, 131);

    label_Warning_Alert = new QLabel(this);
    label_Warning_Alert->setObjectName(QStringLiteral("label_Warning_Alert"));
    label_Warning_Alert->setGeometry(20, 20, 40, 35);
    label_Warning_Alert->setStyleSheet(
        QStringLiteral("border-image:url(:/KVRGBMemoryControl/images/Warning_Alert.png);"));

    const int textX = label_Warning_Alert->geometry().right() + 1 + 10;
    label_Shutdown_Alert = new QLabel(this);
    label_Shutdown_Alert->setObjectName(QStringLiteral("label_Shutdown_Alert"));
    label_Shutdown_Alert->setGeometry(textX, 20, width() - 20 - textX, height() / 2);
    label_Shutdown_Alert->setStyleSheet(QStringLiteral("color:white; font-family:Arial; font-size:12px;"));
    label_Shutdown_Alert->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_Shutdown_Alert->setWordWrap(true);

    btn_OK = new QPushButton(this);
    btn_OK->setObjectName(QStringLiteral("btn_OK"));
    btn_OK->setGeometry(width() / 2 - 100, height() - 26, 90, 18);
    btn_OK->setStyleSheet(kButtonStyle);
    btn_Cancel = new QPushButton(this);
    btn_Cancel->setObjectName(QStringLiteral("btn_Cancel"));
    btn_Cancel->setGeometry(width() / 2 + 10, height() - 26, 90, 18);
    btn_Cancel->setStyleSheet(kButtonStyle);
    connect(btn_OK, &QPushButton::released, this, &Widget_Shutdown::slot_Shutdown);
    connect(btn_Cancel, &QPushButton::released, this, &Widget_Shutdown::slot_Shutdown_Cancel);

    connect(&m_timer, &QTimer::timeout, this, &Widget_Shutdown::slot_Countdown);
}

void Widget_Shutdown::startCountdown(int source)
{
    m_source = source;
    m_counter = 0;
    updateTexts();
    m_timer.start(1000);
}

void Widget_Shutdown::updateTexts()
{
    btn_OK->setText(tr("Shutdown_Now"));
    btn_Cancel->setText(tr("Cancel"));
    if (m_counter == 0) {
        if (m_source == MemorySource)
            label_Shutdown_Alert->setText(tr("Memory_Shutdown_Content"));
        else if (m_source == CpuSource)
            label_Shutdown_Alert->setText(tr("CPU_Shutdown_Content"));
        return;
    }
    const QString left = QString::number(std::max(0, kCountdownSeconds - m_counter));
    if (m_source == MemorySource)
        label_Shutdown_Alert->setText(tr("Memory_Shutdown_Content_1") + left + tr("Memory_Shutdown_Content_2"));
    else if (m_source == CpuSource)
        label_Shutdown_Alert->setText(tr("CPU_Shutdown_Content_1") + left + tr("CPU_Shutdown_Content_2"));
}

// The user may change the language while the countdown runs.
void Widget_Shutdown::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        updateTexts();
    QWidget::changeEvent(event);
}

void Widget_Shutdown::present()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    raise();
    activateWindow();
}

void Widget_Shutdown::stopCountdown()
{
    m_timer.stop();
    hide();
}

void Widget_Shutdown::slot_Countdown()
{
    ++m_counter;
    qDebug() << "Widget_Shutdown::slot_Countdown()" << m_counter;
    if (m_counter > kCountdownSeconds) {
        // Stopped first: a receiver that opens an event loop must not see another tick.
        m_timer.stop();
        emit Signal_Shutdown(m_source);
        return;
    }
    updateTexts();
}

void Widget_Shutdown::slot_Shutdown()
{
    emit Signal_Shutdown(m_source);
}

void Widget_Shutdown::slot_Shutdown_Cancel()
{
    emit Signal_Shutdown_Cancel(m_source);
}

void Widget_Shutdown::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor grey(76, 76, 76);
    painter.setPen(grey);
    painter.setBrush(grey);
    painter.drawRect(rect());
}

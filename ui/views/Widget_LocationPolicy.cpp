#include "Widget_LocationPolicy.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace {
constexpr int kCornerRadius = 15;
constexpr int kAllowBoxWidth = 70;

QFont arialPx(int px, bool bold = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(px);
    font.setBold(bold);
    return font;
}
} // namespace

Widget_LocationPolicy::Widget_LocationPolicy(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("VELTRIMALocationPolicy"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    resize(kWidth, kHeight);
    const QString white = QStringLiteral("color: white; background: transparent;");

    label_Title = new QLabel(this);
    label_Title->setObjectName(QStringLiteral("label_Title"));
    label_Title->setGeometry(0, 10, width(), 50);
    label_Title->setAlignment(Qt::AlignCenter);
    label_Title->setFont(arialPx(25, true));
    label_Title->setStyleSheet(white);

    label_Content = new QLabel(this);
    label_Content->setObjectName(QStringLiteral("label_Content"));
    label_Content->setGeometry(40, 60, width() - 80, height() - 130);
    label_Content->setAlignment(Qt::AlignCenter);
    label_Content->setWordWrap(true);
    label_Content->setFont(arialPx(16));
    label_Content->setStyleSheet(white);

    checkBox_Remind = new QCheckBox(this);
    checkBox_Remind->setObjectName(QStringLiteral("checkBox_Remind"));
    checkBox_Remind->setLayoutDirection(Qt::LeftToRight);
    checkBox_Remind->setFont(arialPx(14));
    checkBox_Remind->setStyleSheet(QStringLiteral(
        "QCheckBox{color: white; background: transparent; spacing: 6px;}"
        "QCheckBox::indicator{width: 12px; height: 12px; border: 1px solid white; border-radius: 2px;"
        " background: transparent;}"
        "QCheckBox::indicator:checked{background: rgb(32,158,199);}"));
    connect(checkBox_Remind, &QCheckBox::clicked, this, &Widget_LocationPolicy::RemindChange);

    btn_OK = new QPushButton(QStringLiteral("OK"), this);
    btn_OK->setObjectName(QStringLiteral("btn_OK"));
    btn_OK->setGeometry((width() - 80) / 2, height() - 40, 80, 30);
    btn_OK->setFont(arialPx(14));
    btn_OK->setStyleSheet(QStringLiteral(
        "QPushButton#btn_OK{color: white; background: transparent; border: 1px solid white; border-radius: 10px;}"
        "QPushButton#btn_OK:pressed{background: rgb(80,80,80);}"));
    connect(btn_OK, &QPushButton::released, this, &Widget_LocationPolicy::pushOK);

    updateTexts();
}

void Widget_LocationPolicy::updateTexts()
{
    setWindowTitle(tr("VELTRIMA Privacy Policy"));
    label_Title->setText(tr("Location_Warning_Title"));
    label_Content->setText(tr("Location_Warning_Content"));
    checkBox_Remind->setText(tr("Location_Not_Remind"));
    placeAllowBox();
}

// Centred under the text; wider than its 70 pixels only when a translation needs it.
void Widget_LocationPolicy::placeAllowBox()
{
    const int boxWidth = std::min(width() - 20, std::max(kAllowBoxWidth, checkBox_Remind->sizeHint().width()));
    checkBox_Remind->setGeometry((width() - boxWidth) / 2, height() - 70, boxWidth, 30);
}

void Widget_LocationPolicy::pushOK()
{
    emit sendPushOK(m_allow);
    close();
}

void Widget_LocationPolicy::RemindChange(bool allow)
{
    m_allow = allow;
}

void Widget_LocationPolicy::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(50, 50, 50));
    painter.drawRoundedRect(rect(), kCornerRadius, kCornerRadius);
}

// Each showing asks afresh: a tick left from an earlier answer is no consent.
void Widget_LocationPolicy::showEvent(QShowEvent *event)
{
    checkBox_Remind->setChecked(false);
    m_allow = false;
    m_dragging = false;
    QWidget::showEvent(event);
}

void Widget_LocationPolicy::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        updateTexts();
    QWidget::changeEvent(event);
}

void Widget_LocationPolicy::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_pressPosition = event->pos();
    }
    QWidget::mousePressEvent(event);
}

void Widget_LocationPolicy::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging)
        move(pos() + event->pos() - m_pressPosition);
    QWidget::mouseMoveEvent(event);
}

void Widget_LocationPolicy::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}

#include "Widget_LocationPolicy.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

Widget_LocationPolicy::Widget_LocationPolicy(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("VELTRIMALocationPolicy"));
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    resize(400, 230);
    setStyleSheet(QStringLiteral("QWidget#VELTRIMALocationPolicy{background-color: rgb(50,50,50);}"
                                 "QLabel, QCheckBox {font-family: Arial; color: white;}"));
    setAttribute(Qt::WA_StyledBackground);

    label_Title = new QLabel(this);
    label_Title->setGeometry(0, 10, width(), 50);
    label_Title->setAlignment(Qt::AlignCenter);
    label_Content = new QLabel(this);
    label_Content->setGeometry(40, 60, width() - 80, height() - 130);
    label_Content->setAlignment(Qt::AlignCenter);
    label_Content->setWordWrap(true);
    checkBox_Remind = new QCheckBox(this);
    checkBox_Remind->setGeometry((width() - 70) / 2, height() - 70 - 15, 70, 30);
    connect(checkBox_Remind, &QCheckBox::toggled, this, &Widget_LocationPolicy::RemindChange);
    btn_OK = new QPushButton(QStringLiteral("OK"), this);
    btn_OK->setGeometry((width() - 80) / 2, height() - 40 - 15, 80, 30);
    connect(btn_OK, &QPushButton::released, this, &Widget_LocationPolicy::pushOK);
    updateTexts();
}

void Widget_LocationPolicy::updateTexts()
{
    setWindowTitle(tr("VELTRIMA Privacy Policy"));
    label_Title->setText(tr("Location_Warning_Title"));
    label_Content->setText(tr("Location_Warning_Content"));
    checkBox_Remind->setText(tr("Location_Not_Remind"));
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

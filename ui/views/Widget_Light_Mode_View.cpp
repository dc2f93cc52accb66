#include "Widget_Light_Mode_View.h"

#include "LightModeTable.h"

#include <QApplication>
#include <QGridLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

Widget_Light_Mode_View::Widget_Light_Mode_View(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Widget_Light_Mode_View"));
    setFocusPolicy(Qt::ClickFocus);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(10, 10, 10, 10);
    grid->setSpacing(10);

    const QList<int> modes = LightModeTable::listedModes();
    for (int i = 0; i < modes.size(); ++i) {
        auto *b = new QPushButton(this);
        b->setObjectName(QString::number(modes.at(i)));
        // Clicking a mode must leave the focus with the pop-up, or it would close early.
        b->setFocusPolicy(Qt::NoFocus);
        b->setText(QString::fromLatin1(LightModeTable::sourceText(modes.at(i))));
        b->setStyleSheet(QStringLiteral(
                             "QPushButton{font-family: Arial; font-size: 12px; color: grey; background: transparent; border: none;}"
                             "QPushButton:hover{color: black; background-color: grey;}")
                         + QLatin1String(PopupKeys::highlightStyle()));
        connect(b, &QPushButton::clicked, this, &Widget_Light_Mode_View::buttonClicked);
        grid->addWidget(b, i % kRows, i / kRows);
        m_buttons.append(b);
    }
    m_keys.setButtons(m_buttons);
}

void Widget_Light_Mode_View::setModeNames(const QMap<int, QString> &names)
{
    for (QPushButton *b : qAsConst(m_buttons))
        b->setText(names.value(b->objectName().toInt()));
}

void Widget_Light_Mode_View::buttonClicked()
{
    const auto *b = qobject_cast<QPushButton *>(sender());
    if (!b)
        return;
    hide();
    emit selectLightMode(b->objectName().toInt());
}

void Widget_Light_Mode_View::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(QPen(QColor(20, 20, 20), 1));
    p.setBrush(QColor(40, 40, 40, 240));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void Widget_Light_Mode_View::mousePressEvent(QMouseEvent *event)
{
    // A press between the mode buttons stays with the pop-up; the page would take it as
    // a click outside and close the pop-up.
    event->accept();
}

void Widget_Light_Mode_View::keyPressEvent(QKeyEvent *event)
{
    if (!m_keys.handle(event))
        QWidget::keyPressEvent(event);
}

void Widget_Light_Mode_View::showEvent(QShowEvent *event)
{
    m_keys.reset();
    QWidget::showEvent(event);
}

void Widget_Light_Mode_View::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    const QWidget *now = QApplication::focusWidget();
    if (!now || !isAncestorOf(now))
        hide();
}

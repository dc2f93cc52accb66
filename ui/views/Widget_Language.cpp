#include "Widget_Language.h"

#include "LanguageNames.h"

#include <QApplication>
#include <QGridLayout>
#include <QPainter>
#include <QPushButton>

namespace {
constexpr int kRows = 3;

const char *const kButtonStyle =
    "QPushButton {font-family: Arial; font-size: 12px; color: grey; background: transparent; border: none;}"
    "QPushButton:hover {color: black; background: grey;}";
} // namespace

Widget_Language::Widget_Language(QWidget *parent)
    : QWidget(parent)
    , m_keys(this, kRows)
{
    setObjectName(QStringLiteral("Widget_Language"));
    resize(kWidth, kHeight);
    setFocusPolicy(Qt::ClickFocus);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(10, 10, 10, 10);
    grid->setSpacing(10);
    for (int i = 0; i < LanguageNames::kCount; ++i) {
        auto *button = new QPushButton(this);
        button->setObjectName(QString::number(i));
        // The list keeps the focus while it is used: a button taking it would close it.
        button->setFocusPolicy(Qt::NoFocus);
        button->setStyleSheet(QLatin1String(kButtonStyle) + QLatin1String(PopupKeys::highlightStyle()));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        grid->addWidget(button, i % kRows, i / kRows);
        connect(button, &QPushButton::clicked, this, &Widget_Language::slot_SelectLightMode);
    }
    QList<QPushButton *> buttons;
    for (int i = 0; i < LanguageNames::kCount; ++i)
        buttons.append(languageButton(i));
    m_keys.setButtons(buttons);
    updateTexts();
    hide();
}

QPushButton *Widget_Language::languageButton(int language) const
{
    return findChild<QPushButton *>(QString::number(language), Qt::FindDirectChildrenOnly);
}

void Widget_Language::updateTexts()
{
    for (int i = 0; i < LanguageNames::kCount; ++i)
        languageButton(i)->setText(LanguageNames::translatedCode(metaObject()->className(), i));
}

void Widget_Language::slot_SelectLightMode()
{
    setFocus();
    const QObject *button = sender();
    if (!button)
        return;
    bool isNumber = false;
    const int language = button->objectName().toInt(&isNumber);
    if (isNumber && language >= 0 && language < LanguageNames::kCount)
        emit selectLanguage(language);
}

void Widget_Language::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(QPen(QColor(20, 20, 20), 1));
    p.setBrush(QColor(40, 40, 40, 245));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void Widget_Language::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    const QWidget *now = QApplication::focusWidget();
    if (!now || !isAncestorOf(now))
        hide();
}

void Widget_Language::keyPressEvent(QKeyEvent *event)
{
    if (!m_keys.handle(event))
        QWidget::keyPressEvent(event);
}

void Widget_Language::showEvent(QShowEvent *event)
{
    m_keys.reset();
    QWidget::showEvent(event);
}

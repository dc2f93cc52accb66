#include "PopupKeys.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>

namespace {
const char *const kCurrent = "keyboardCurrent";
} // namespace

PopupKeys::PopupKeys(QWidget *popup, int rows)
    : m_popup(popup)
    , m_rows(rows)
{
}

void PopupKeys::setButtons(const QList<QPushButton *> &buttons)
{
    m_buttons = buttons;
    m_current = -1;
}

const char *PopupKeys::highlightStyle()
{
    return "QPushButton[keyboardCurrent=\"true\"] {color: black; background: grey;}";
}

void PopupKeys::reset()
{
    highlight(-1);
}

bool PopupKeys::handle(const QKeyEvent *event)
{
    const int count = m_buttons.size();
    if (count == 0)
        return false;
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Up:
        step = -1;
        break;
    case Qt::Key_Down:
        step = 1;
        break;
    case Qt::Key_Left:
        step = -m_rows;
        break;
    case Qt::Key_Right:
        step = m_rows;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (m_current < 0)
            return true;
        giveFocusBack();
        m_buttons.at(m_current)->click();
        return true;
    case Qt::Key_Escape:
        m_popup->hide();
        giveFocusBack();
        return true;
    default:
        return false;
    }
    // The first arrow lands on the first button; later ones stop at the edges.
    const int next = m_current < 0 ? 0 : m_current + step;
    if (next >= 0 && next < count)
        highlight(next);
    return true;
}

void PopupKeys::highlight(int index)
{
    for (int i = 0; i < m_buttons.size(); ++i) {
        QPushButton *button = m_buttons.at(i);
        const bool current = i == index;
        if (button->property(kCurrent).toBool() == current)
            continue;
        button->setProperty(kCurrent, current);
        // A dynamic property is matched by the style sheet only on a new polish.
        button->style()->unpolish(button);
        button->style()->polish(button);
    }
    m_current = index;
}

void PopupKeys::giveFocusBack()
{
    if (m_opener && m_opener->isVisible())
        m_opener->setFocus(Qt::PopupFocusReason);
}

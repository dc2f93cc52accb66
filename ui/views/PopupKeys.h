// Keyboard use of a pop-up grid of buttons that keeps the focus itself (its buttons take
// none, since a click that moved the focus would close it): the arrow keys move a
// highlight over the buttons, laid out in columns of `rows`; Return, Enter or Space
// clicks the highlighted one; Escape closes the pop-up. Either way the focus goes back
// to the button that opened it, so that the keyboard user is where they were.
#pragma once

#include <QList>
#include <QPointer>

class QKeyEvent;
class QPushButton;
class QWidget;

class PopupKeys
{
public:
    PopupKeys(QWidget *popup, int rows);

    void setButtons(const QList<QPushButton *> &buttons);
    void setOpener(QWidget *opener) { m_opener = opener; }
    // No highlight: called when the pop-up is shown.
    void reset();
    // True when the key was the pop-up's.
    bool handle(const QKeyEvent *event);

    // The style sheet part that shows the highlight.
    static const char *highlightStyle();

private:
    void highlight(int index);
    void giveFocusBack();

    QWidget *m_popup;
    int m_rows;
    QList<QPushButton *> m_buttons;
    QPointer<QWidget> m_opener;
    int m_current = -1;
};

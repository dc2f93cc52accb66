// The pop-up list of light modes under the lighting page's mode button.
#pragma once

#include "PopupKeys.h"

#include <QMap>
#include <QWidget>

class QGridLayout;
class QPushButton;

class Widget_Light_Mode_View : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kRows = 5;

    explicit Widget_Light_Mode_View(QWidget *parent = nullptr);

    // Shows the (translated) names; one button per listed mode.
    void setModeNames(const QMap<int, QString> &names);
    QList<QPushButton *> modeButtons() const { return m_buttons; }
    // The button that opens the list: the keyboard's focus returns there.
    void setOpener(QWidget *opener) { m_keys.setOpener(opener); }

signals:
    void selectLightMode(int mode);

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buttonClicked();

    QList<QPushButton *> m_buttons;
    PopupKeys m_keys{this, kRows};
};

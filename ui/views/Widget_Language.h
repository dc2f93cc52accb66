// The drop-down list of the ten languages that the settings page opens under its
// language button. It closes itself as soon as it loses the focus.
#pragma once

#include "PopupKeys.h"

#include <QWidget>

class QPushButton;

class Widget_Language : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 300;
    static constexpr int kHeight = 200;

    explicit Widget_Language(QWidget *parent = nullptr);

    QPushButton *languageButton(int language) const;
    // Re-reads the button texts from the current translation.
    void updateTexts();
    // The button that opens the list: the keyboard's focus returns there.
    void setOpener(QWidget *opener) { m_keys.setOpener(opener); }

signals:
    void selectLanguage(int language);

public slots:
    void slot_SelectLightMode();

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    PopupKeys m_keys;
};

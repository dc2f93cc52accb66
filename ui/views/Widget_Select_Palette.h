// The colour wheel as a pop-up, used by the notification page.
#pragma once

#include "LightingTypes.h"

#include <QWidget>

class QLabel;

class Widget_Select_Palette : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kSize = 200;

    explicit Widget_Select_Palette(QWidget *parent = nullptr);

signals:
    void pressRGB(COLORREF colour);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QLabel *label_Palette = nullptr;
};

// The colour wheel of the lighting page's control panel. Disabled, it shows a faded grey
// wheel and an arrow instead of the cross, so it does not look as if it took a pick.
#pragma once

#include "LightingTypes.h"

#include <QWidget>

class RGB_Palette : public QWidget
{
    Q_OBJECT
public:
    explicit RGB_Palette(QWidget *parent = nullptr);

signals:
    void pressRGB(COLORREF colour);

protected:
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
};

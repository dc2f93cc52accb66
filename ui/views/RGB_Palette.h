// The colour wheel of the lighting page's control panel.
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
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
};

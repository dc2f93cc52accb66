// The lighting page. For now a placeholder that carries the page's connections to the
// main window; the controls come with the lighting page itself.
#pragma once

#include "LightingTypes.h"

#include <QList>
#include <QWidget>

class QLabel;
class QPushButton;

class Lighting_View : public QWidget
{
    Q_OBJECT
public:
    explicit Lighting_View(QWidget *parent = nullptr);

    void setSlotNumber(int slotCount, int memoryCount);
    int slotCount() const { return m_slotCount; }
    int memoryCount() const { return m_memoryCount; }
    // The reordering's cancel button; visible while a reordering is open.
    QPushButton *editCancelButton() const { return btn_Edit_Cancel; }

signals:
    void changeColor(int slot, COLORREF *rgb, COLORREF singleRGB, float *bright, float singleBright);
    void changeLightMode(int slot, int mode, int colorMode, int speed, bool turnOff);
    void changeMemorySlotNumber(int count, int *slotNumbers);
    void select_Profile(int profile);

public slots:
    void slotEdit_Cancel();
    void updatePreview(int module, COLORREF *colours);
    void updatePreviewList(QList<COLORREF *> colours);
    void setRGB(int module, COLORREF *rgb, COLORREF singleRGB, float *bright, float singleBright);
    void setLighting(int module, int lightMode, int colorMode, int lightSpeed, bool turnOff);
    void setMemorySlotNumber(int count, int *slotNumbers);
    void slot_setProfile(int profile);
    void updateLanguage_Lighting();

private:
    int m_slotCount = 0;
    int m_memoryCount = 0;
    QLabel *label_Title = nullptr;
    QPushButton *btn_Edit_Cancel = nullptr;
};

// One memory module on the lighting page: a module button and five clickable LEDs that
// hold the module's colours until the page sends them with "Apply".
#pragma once

#include "LightingTypes.h"

#include <QWidget>

#include <array>

class QLabel;
class QPushButton;

class Memory_RGB_View : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 30;
    static constexpr int kHeight = 295;
    static const std::array<COLORREF, kDrivenLeds> kDefaultColours;

    explicit Memory_RGB_View(int index, QWidget *parent = nullptr);

    int index() const { return m_index; }
    int slotNumber() const { return m_slotNumber; }
    void setSlotNumber(int slot) { m_slotNumber = slot; }

    void setLed(int led, COLORREF colour, float bright);
    void setSingle(COLORREF colour, float bright);
    void setLightingModule(bool on);
    bool isLightingModule() const { return m_isLighting; }
    void setReorderLook(bool on);
    bool isReorderLook() const { return m_reorderLook; }
    bool isHighlighted() const { return m_highlighted; }

    const std::array<COLORREF, kDrivenLeds> &rgb() const { return m_rgb; }
    COLORREF singleRGB() const { return m_singleRGB; }
    const std::array<float, kDrivenLeds> &bright() const { return m_bright; }
    float singleBright() const { return m_singleBright; }
    int colorMode() const { return m_colorMode; }

    bool isSelected() const;
    bool isLedChecked(int led) const;
    QPushButton *moduleButton() const { return btn_MemorySlot; }
    QPushButton *ledButton(int led) const;
    // For rows and the rubber band: check or uncheck LEDs without the click logic; the
    // caller then runs updateSelectionFromLeds().
    void setLedChecked(int led, bool on);
    void setAllLedsChecked(bool on);
    // Unselects the module and its LEDs quietly.
    void clearSelection();
    // The module button follows the LEDs; tells the page.
    void updateSelectionFromLeds();

signals:
    void SelectMemSlot(int index);

public slots:
    void pressRGB(COLORREF colour);
    void slot_SelectMemSlot();
    void slot_SelectLED();
    void slot_ChangeBright(float bright);
    void slot_ChangeColorMode(int index, int mode);
    void slot_Default();
    void slot_Selected(int index, bool on);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void showLed(int led, COLORREF colour);
    void applyLook();
    bool usesOneColour() const;

    const int m_index;
    int m_slotNumber;
    std::array<COLORREF, kDrivenLeds> m_rgb;
    COLORREF m_singleRGB = rgbColor(255, 0, 0);
    std::array<float, kDrivenLeds> m_bright;
    float m_singleBright = 1.0f;
    int m_colorMode = ColorModeRGB;
    bool m_isLighting = true;
    bool m_highlighted = false;
    bool m_reorderLook = false;

    QPushButton *btn_MemorySlot = nullptr;
    std::array<QPushButton *, kDrivenLeds> btn_Led{};
    QLabel *label_BK = nullptr;
};

// One memory module on the lighting page: a module button and five clickable LEDs. It
// shows the colours and look it is handed (the page draws every picture from its pending
// edit) and holds which LEDs the user has checked.
#pragma once

#include "LedColours.h"
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
    // Shows the colours in a look (0 per-LED, 1 single, 2 off, 3 random), with the LED
    // checks that look implies.
    void showLighting(int look, const LedColours &colours);
    void setLightingModule(bool on);
    bool isLightingModule() const { return m_isLighting; }
    void setReorderLook(bool on);
    bool isReorderLook() const { return m_reorderLook; }
    bool isHighlighted() const { return m_highlighted; }

    const LedColours &colours() const { return m_colours; }
    const std::array<COLORREF, kDrivenLeds> &rgb() const { return m_colours.rgb; }
    COLORREF singleRGB() const { return m_colours.single; }
    const std::array<float, kDrivenLeds> &bright() const { return m_colours.bright; }
    float singleBright() const { return m_colours.singleBright; }
    // The look, 0 to 3 (see showLighting).
    int colorMode() const { return m_colorMode; }

    bool isSelected() const;
    bool isLedChecked(int led) const;
    // The checked LEDs of a selected module; none when it isn't selected.
    LedColours::LedMask checkedLeds() const;
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
    // Colour, brightness, look and default input for a picture that keeps its own colours;
    // on the lighting page the page's edit decides and showLighting() draws it.
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
    void applyLedChecks();

    LedColours m_colours;
    int m_colorMode = ColorModeRGB;
    bool m_isLighting = true;
    bool m_highlighted = false;
    bool m_reorderLook = false;

    QPushButton *btn_MemorySlot = nullptr;
    std::array<QPushButton *, kDrivenLeds> btn_Led{};
    QLabel *label_BK = nullptr;
};

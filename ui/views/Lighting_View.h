// The lighting page: modules, light mode, colour mode, speed, brightness, per-LED colours,
// module reordering, profiles and the live preview. Nothing reaches the channel before
// "Apply" (or the reordering's own Apply, or a profile click). Every control edits one
// pending state (LightingEdit); the panel and the LED pictures are drawn from it.
#pragma once

#include "LightModeTable.h"
#include "LightingEdit.h"
#include "LightingPreview.h"
#include "LightingTypes.h"

#include <QList>
#include <QMap>
#include <QPolygon>
#include <QWidget>

#include <array>

class Memory_RGB_View;
class Palette_draw_rect;
class QButtonGroup;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPropertyAnimation;
class QPushButton;
class QSlider;
class RGB_Palette;
class SwitchButton;
class Widget_Light_Mode_View;

class Lighting_View : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 914;
    static constexpr int kHeight = 560;
    static constexpr int kRowCount = 5;
    static constexpr int kProfileCount = 5;

    explicit Lighting_View(QWidget *parent = nullptr);

    void setSlotNumber(int slotCount, int memoryCount);
    int slotCount() const { return m_slotCount; }
    int memoryCount() const { return m_memoryCount; }
    // The reordering's cancel button; visible while a reordering is open.
    QPushButton *editCancelButton() const { return btn_Edit_Cancel; }

    Memory_RGB_View *picture(int index) const;
    bool isEditing() const { return m_editing; }
    // The light mode the panel shows and edits (the first edited module's).
    int selectedLightMode() const;
    const QMap<int, QString> &lightModeMap() const { return m_lightModeMap; }
    const QMap<QString, int> &colorModeMap() const { return m_colorModeMap; }
    const QMap<QString, int> &colorModeStandMap() const { return m_colorModeStandMap; }
    const std::array<COLORREF, kDrivenLeds> &previewColours(int index) const { return m_preview.colours(index); }
    QRect previewBox() const;
    QRect previewBar(int index) const;
    QPolygon selectionOutline() const { return m_outline; }

signals:
    void changeColor(int slot, COLORREF *rgb, COLORREF singleRGB, float *bright, float singleBright);
    void changeLightMode(int slot, int mode, int colorMode, int speed, bool turnOff);
    // changeBright, changeColorMode, sendDefault and pressRGB report an edit the page has
    // made; the pictures are drawn from the edit itself.
    void changeBright(float bright);
    void changeColorMode(int index, int mode);
    void sendDefault();
    void sendSelected(int index, bool on);
    void changeMemorySlotNumber(int count, int *slotNumbers);
    void select_Profile(int profile);
    void pressRGB(COLORREF colour);

public slots:
    void slotApply();
    void slotEdit();
    void slotEdit_Cancel();
    void slotEdit_Apply();
    void slotDefault();
    void currentLightModeIndex(int mode);
    void currentColorModeIndex(int index);
    void currentLightSpeedIndex(int index);
    void updatePreview(int module, COLORREF *colours);
    void updatePreviewList(QList<COLORREF *> colours);
    void slot_SelectMemSlot(int index);
    void slot_TurnOn_Switch(bool on);
    void slot_SelectHorizontal();
    void setRGB(int module, COLORREF *rgb, COLORREF singleRGB, float *bright, float singleBright);
    void setLighting(int module, int lightMode, int colorMode, int lightSpeed, bool turnOff);
    void changeSliderBright(int value);
    void slotLightMode();
    void setMemorySlotNumber(int count, int *slotNumbers);
    void slot_Profile();
    void slot_setProfile(int profile);
    void updateLanguage_Lighting();
    void slot_R_Value(int value);
    void slot_G_Value(int value);
    void slot_B_Value(int value);
    void slot_LineEdit_RValue();
    void slot_LineEdit_GValue();
    void slot_LineEdit_BValue();
    void receivePaletteValue(COLORREF colour);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControlPanel();
    void buildModuleArea();
    void buildSideButtons();
    void placeEditButtons();
    QComboBox *makeComboBox(const char *name, int y);

    bool isCounted(int k) const;
    bool isSelectable(int k) const;
    QList<int> selectedModules() const;
    // The modules the panel shows and edits: the selected ones, or with none selected
    // the last one that was.
    QList<int> editedModules() const;
    QList<LightingEdit::Target> checkedLeds() const;
    int pictureAt(QPoint pagePos, bool withGap = true) const;
    QRect pictureRect(int k) const;

    void rebuildControls(int mode);
    void showPanel();
    void showPicture(int k);
    void showPictures(const QList<int> &modules);
    void pickColour(COLORREF colour);
    void sliderActed(QSlider *slider, QLineEdit *edit, int action);

    void placeModules(bool animate);
    void placeNumberButtons();
    void placeRowButtons();
    void leaveEditMode();
    void finishRubberBand(QPoint pagePos);
    void finishModuleDrag(QPoint pagePos);
    void setHoverTarget(int k);
    void updateOutline();
    LightingPreview::Layout previewLayout() const;
    void lineEditConfirmed(QLineEdit *edit, QSlider *slider);
    COLORREF lineEditColour() const;

    LightingEdit m_edit;
    // Buffers handed out with changeColor and changeMemorySlotNumber: they stay valid
    // after the signal returns.
    std::array<std::array<COLORREF, kLedSlots>, kModuleCount> m_applyRgb{};
    std::array<std::array<float, kLedSlots>, kModuleCount> m_applyBright{};
    std::array<int, kModuleCount> m_sendSlots{};
    std::array<int, kModuleCount> m_savedSlots{};
    LightingPreview m_preview;

    // The light mode whose entries the drop-downs hold.
    int m_controlsMode = -1;
    int m_slotCount = 0;
    int m_memoryCount = 0;
    bool m_editing = false;
    bool m_rubberBand = false;
    int m_dragIndex = -1;
    int m_hoverTarget = -1;
    QPolygon m_outline;

    QMap<int, QString> m_lightModeMap;
    QMap<QString, int> m_colorModeMap;
    QMap<QString, int> m_colorModeStandMap;

    std::array<Memory_RGB_View *, kModuleCount> m_pictures{};
    std::array<QPropertyAnimation *, kModuleCount> m_animations{};
    std::array<QPushButton *, kModuleCount> btn_Slots{};
    std::array<QPushButton *, kRowCount> btn_SelectHorizontal{};
    std::array<QPushButton *, kProfileCount> btn_Profile{};

    QWidget *Widget_Lighting = nullptr;
    QPushButton *btn_LightMode = nullptr;
    QLabel *label_colorMode = nullptr;
    QComboBox *comboBox_ColorMode = nullptr;
    QLabel *label_ligheSpeed = nullptr;
    QComboBox *comboBox_LightSpeed = nullptr;
    SwitchButton *switch_TurnLight = nullptr;
    QLabel *label_TurnLight = nullptr;
    QPushButton *btn_Default = nullptr;
    RGB_Palette *palette = nullptr;
    QLabel *label_R = nullptr;
    QLabel *label_G = nullptr;
    QLabel *label_B = nullptr;
    QSlider *slider_R_Value = nullptr;
    QSlider *slider_G_Value = nullptr;
    QSlider *slider_B_Value = nullptr;
    QLineEdit *lineEdit_R_Value = nullptr;
    QLineEdit *lineEdit_G_Value = nullptr;
    QLineEdit *lineEdit_B_Value = nullptr;
    QSlider *slider_Light = nullptr;
    QPushButton *btn_Apply = nullptr;
    QWidget *widget_memory_Control = nullptr;
    QGridLayout *grid_Memory = nullptr;
    QPushButton *btn_Edit = nullptr;
    QPushButton *btn_Edit_Cancel = nullptr;
    QPushButton *btn_Edit_Apply = nullptr;
    QLabel *label_Preview = nullptr;
    QButtonGroup *group_Profile = nullptr;
    Widget_Light_Mode_View *widget_LightMode = nullptr;
    Palette_draw_rect *draw_rect = nullptr;
    QLabel *label_DragCopy = nullptr;
};

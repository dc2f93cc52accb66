#include "Lighting_View.h"

#include "ByteValidator.h"
#include "Memory_RGB_View.h"
#include "Palette_draw_rect.h"
#include "ProgramState.h"
#include "RGB_Palette.h"
#include "SwitchButton.h"
#include "Widget_Light_Mode_View.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QDebug>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kPanelX = 100;
constexpr int kPanelY = 320;
constexpr int kPanelWidth = 814;
constexpr int kPanelHeight = 240;
constexpr int kMaskedWidth = 100;
constexpr int kRowY[Lighting_View::kRowCount] = {60, 112, 164, 216, 268};
constexpr int kBandMinX = 300;
constexpr int kBandMinY = 20;
constexpr int kBandMaxY = 320;
constexpr int kAnimationMs = 300;
constexpr int kColorNumberRole = Qt::UserRole;
constexpr int kSourceRole = Qt::UserRole + 1;

// Font sizes per language (0 to 9): the labels and buttons whose texts grow most.
constexpr int kLabelFontPx[LanguageCount] = {16, 22, 22, 13, 13, 18, 16, 13, 18, 14};
constexpr int kDefaultFontPx[LanguageCount] = {10, 12, 12, 8, 9, 10, 10, 8, 10, 9};
constexpr int kButtonFontPx[LanguageCount] = {14, 16, 16, 12, 12, 14, 14, 12, 14, 12};

const char *const kComboStyle =
    "QComboBox{font-family: Arial; font-size: 14px; color: rgb(32,158,199); background: transparent; border: none;}"
    "QComboBox:disabled{color: rgb(90,90,90);}"
    "QComboBox QAbstractItemView{background-color: rgb(40,40,40); color: rgb(32,158,199);}";
const char *const kRoundButtonStyle =
    "QPushButton{color: white; background-color: rgb(60,60,60); border: 1px solid rgb(105,109,110); border-radius: 20px;}"
    "QPushButton:pressed{background-color: rgb(32,158,199);}";
const char *const kTextButtonStyle =
    "QPushButton{color: white; background-color: rgba(40,40,40,200); border: 1px solid rgb(105,109,110);}"
    "QPushButton:pressed, QPushButton:checked{background-color: rgb(32,158,199);}"
    "QPushButton:disabled{color: rgb(90,90,90);}";
// Disabled controls go dark grey: a control the light mode does not use must not look
// as if it took input.
const char *const kRgbSliderStyle =
    "QSlider#%1::groove:horizontal{height: 4px; background: rgb(80,80,80);}"
    "QSlider#%1::handle:horizontal{width: 10px; margin: -4px 0; border-radius: 5px; background: white;}"
    "QSlider#%1::groove:horizontal:disabled{background: rgb(45,45,45);}"
    "QSlider#%1::handle:horizontal:disabled{background: rgb(70,70,70);}";
const char *const kRgbEditStyle =
    "QLineEdit#%1{color: white; background: rgb(50,50,50); border: 1px solid rgb(105,109,110);}"
    "QLineEdit#%1:disabled{color: rgb(85,85,85); background: rgb(35,35,35); border: 1px solid rgb(55,55,55);}";
const char *const kBrightSliderStyle =
    "QSlider#slider_Light::groove:horizontal{height: 4px; background: qlineargradient(x1:0, y1:0, x2:1, y2:0, "
    "stop:0 black, stop:1 white);}"
    "QSlider#slider_Light::handle:horizontal{width: 10px; margin: -3px 0; border-radius: 5px; background: rgb(32,158,199);}"
    "QSlider#slider_Light::groove:horizontal:disabled{background: qlineargradient(x1:0, y1:0, x2:1, y2:0, "
    "stop:0 black, stop:1 rgb(60,60,60));}"
    "QSlider#slider_Light::handle:horizontal:disabled{background: rgb(70,70,70);}";

QFont arialPx(int px)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(px);
    return f;
}

QString translated(const char *source)
{
    return source ? QCoreApplication::translate("Lighting_View", source) : QString();
}

int roundedTenths(float bright)
{
    if (!(bright >= 0.0f))
        return 0;
    return std::clamp(static_cast<int>(std::lround(bright * 10.0f)), 0, 10);
}

float checkedBright(float b)
{
    return b == b ? std::clamp(b, 0.0f, 1.0f) : 1.0f;
}

void hideEmptyRow(QComboBox *combo)
{
    if (auto *view = qobject_cast<QListView *>(combo->view()))
        view->setRowHidden(combo->count() - 1, true);
}

} // namespace

Lighting_View::Lighting_View(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Lighting_View"));
    resize(kWidth, kHeight);
    for (int k = 0; k < kModuleCount; ++k) {
        m_savedSlots[k] = k;
        m_sendSlots[k] = k;
    }

    buildModuleArea();
    buildControlPanel();
    buildSideButtons();

    draw_rect = new Palette_draw_rect(this);
    draw_rect->setGeometry(rect());
    draw_rect->hide();

    label_DragCopy = new QLabel(this);
    label_DragCopy->setObjectName(QStringLiteral("label_DragCopy"));
    label_DragCopy->setAttribute(Qt::WA_TransparentForMouseEvents);
    label_DragCopy->hide();

    updateLanguage_Lighting();
    for (int k = 0; k < kModuleCount; ++k)
        showPicture(k);
    showPanel();
    // Nothing is counted until Main_View hands over the module counts.
    placeRowButtons();
}

QComboBox *Lighting_View::makeComboBox(const char *name, int y)
{
    auto *combo = new QComboBox(Widget_Lighting);
    combo->setObjectName(QLatin1String(name));
    combo->setGeometry(160, y, 100, 30);
    combo->setStyleSheet(QLatin1String(kComboStyle));
    combo->setView(new QListView(combo));
    auto *line = new QLabel(Widget_Lighting);
    line->setGeometry(160, y + 30, 100, 3);
    line->setStyleSheet(QStringLiteral("background-color: rgb(105,109,110);"));
    return combo;
}

void Lighting_View::buildControlPanel()
{
    Widget_Lighting = new QWidget(this);
    Widget_Lighting->setObjectName(QStringLiteral("Widget_Lighting"));
    Widget_Lighting->setGeometry(kPanelX, kPanelY, kPanelWidth, kPanelHeight);
    Widget_Lighting->setAttribute(Qt::WA_StyledBackground);
    Widget_Lighting->setStyleSheet(QStringLiteral(
        "QWidget#Widget_Lighting{background-color: rgba(30,30,30,150);}"
        "QLabel{color: white;}"
        "QLabel:disabled{color: rgb(85,85,85);}"));

    btn_LightMode = new QPushButton(Widget_Lighting);
    btn_LightMode->setObjectName(QStringLiteral("btn_LightMode"));
    btn_LightMode->setGeometry(20, 10, 120, 30);
    // Tab reaches it; a click takes no focus, which would close the open list first.
    btn_LightMode->setFocusPolicy(Qt::TabFocus);
    btn_LightMode->setStyleSheet(QLatin1String(kTextButtonStyle));
    connect(btn_LightMode, &QPushButton::clicked, this, &Lighting_View::slotLightMode);

    label_colorMode = new QLabel(Widget_Lighting);
    label_colorMode->setObjectName(QStringLiteral("label_colorMode"));
    label_colorMode->setGeometry(20, 70, 120, 30);
    comboBox_ColorMode = makeComboBox("comboBox_ColorMode", 70);
    // Every change the page does not make itself is the user's (the page's own go under
    // a signal blocker).
    connect(comboBox_ColorMode, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &Lighting_View::currentColorModeIndex);

    label_ligheSpeed = new QLabel(Widget_Lighting);
    label_ligheSpeed->setObjectName(QStringLiteral("label_ligheSpeed"));
    label_ligheSpeed->setGeometry(20, 130, 120, 30);
    comboBox_LightSpeed = makeComboBox("comboBox_LightSpeed", 130);
    connect(comboBox_LightSpeed, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &Lighting_View::currentLightSpeedIndex);

    switch_TurnLight = new SwitchButton(47, 19, Widget_Lighting);
    switch_TurnLight->setObjectName(QStringLiteral("switch_TurnLight"));
    switch_TurnLight->move(290, 80);
    switch_TurnLight->setCheckedFromData(true);
    connect(switch_TurnLight, &SwitchButton::sigClicked, this, &Lighting_View::slot_TurnOn_Switch);
    label_TurnLight = new QLabel(Widget_Lighting);
    label_TurnLight->setObjectName(QStringLiteral("label_TurnLight"));
    label_TurnLight->setGeometry(342, 80, 40, 19);

    btn_Default = new QPushButton(Widget_Lighting);
    btn_Default->setObjectName(QStringLiteral("btn_Default"));
    btn_Default->setGeometry(293, 115, 40, 40);
    btn_Default->setStyleSheet(QLatin1String(kRoundButtonStyle));
    connect(btn_Default, &QPushButton::released, this, &Lighting_View::slotDefault);

    palette = new RGB_Palette(Widget_Lighting);
    palette->move(390, 20);
    connect(palette, &RGB_Palette::pressRGB, this, &Lighting_View::receivePaletteValue);

    const int labelX = kPanelWidth - 240;
    const int rowY[3] = {55, 90, 125};
    const char *names[3] = {"R", "G", "B"};
    QLabel **labels[3] = {&label_R, &label_G, &label_B};
    QSlider **sliders[3] = {&slider_R_Value, &slider_G_Value, &slider_B_Value};
    QLineEdit **edits[3] = {&lineEdit_R_Value, &lineEdit_G_Value, &lineEdit_B_Value};
    const int start[3] = {255, 0, 0};
    for (int i = 0; i < 3; ++i) {
        auto *label = new QLabel(QLatin1String(names[i]), Widget_Lighting);
        label->setObjectName(QStringLiteral("label_%1").arg(QLatin1String(names[i])));
        label->setGeometry(labelX, rowY[i], 20, 20);
        *labels[i] = label;

        auto *slider = new QSlider(Qt::Horizontal, Widget_Lighting);
        slider->setObjectName(QStringLiteral("slider_%1_Value").arg(QLatin1String(names[i])));
        slider->setGeometry(labelX + 25, rowY[i], 140, 20);
        slider->setRange(0, 255);
        slider->setSingleStep(1);
        slider->setPageStep(1);
        slider->setValue(start[i]);
        slider->setStyleSheet(QString::fromLatin1(kRgbSliderStyle).arg(slider->objectName()));
        *sliders[i] = slider;

        auto *edit = new QLineEdit(QString::number(start[i]), Widget_Lighting);
        edit->setObjectName(QStringLiteral("lineEdit_%1_Value").arg(QLatin1String(names[i])));
        edit->setGeometry(labelX + 175, rowY[i], 40, 20);
        edit->setAlignment(Qt::AlignCenter);
        edit->setValidator(new ByteValidator(edit));
        edit->setStyleSheet(QString::fromLatin1(kRgbEditStyle).arg(edit->objectName()));
        edit->installEventFilter(this);
        *edits[i] = edit;
        connect(slider, &QSlider::actionTriggered, this,
                [this, slider, edit](int action) { sliderActed(slider, edit, action); });
    }
    connect(slider_R_Value, &QSlider::valueChanged, this, &Lighting_View::slot_R_Value);
    connect(slider_G_Value, &QSlider::valueChanged, this, &Lighting_View::slot_G_Value);
    connect(slider_B_Value, &QSlider::valueChanged, this, &Lighting_View::slot_B_Value);
    connect(slider_R_Value, &QSlider::sliderReleased, this, &Lighting_View::slot_LineEdit_RValue);
    connect(slider_G_Value, &QSlider::sliderReleased, this, &Lighting_View::slot_LineEdit_GValue);
    connect(slider_B_Value, &QSlider::sliderReleased, this, &Lighting_View::slot_LineEdit_BValue);
    connect(lineEdit_R_Value, &QLineEdit::returnPressed, this, &Lighting_View::slot_LineEdit_RValue);
    connect(lineEdit_G_Value, &QLineEdit::returnPressed, this, &Lighting_View::slot_LineEdit_GValue);
    connect(lineEdit_B_Value, &QLineEdit::returnPressed, this, &Lighting_View::slot_LineEdit_BValue);

    slider_Light = new QSlider(Qt::Horizontal, Widget_Lighting);
    slider_Light->setObjectName(QStringLiteral("slider_Light"));
    slider_Light->setGeometry(kPanelWidth - 240, kPanelHeight - 40, 200, 10);
    slider_Light->setRange(0, 10);
    slider_Light->setSingleStep(1);
    slider_Light->setPageStep(1);
    slider_Light->setValue(10);
    slider_Light->setStyleSheet(QLatin1String(kBrightSliderStyle));
    connect(slider_Light, &QSlider::valueChanged, this, &Lighting_View::changeSliderBright);

    btn_Apply = new QPushButton(Widget_Lighting);
    btn_Apply->setObjectName(QStringLiteral("btn_Apply"));
    btn_Apply->setGeometry(kPanelWidth / 3 - 20, kPanelHeight - 62, 103, 27);
    btn_Apply->setStyleSheet(QLatin1String(kTextButtonStyle));
    connect(btn_Apply, &QPushButton::released, this, &Lighting_View::slotApply);

    widget_LightMode = new Widget_Light_Mode_View(Widget_Lighting);
    const int below = btn_LightMode->y() + btn_LightMode->height();
    widget_LightMode->setGeometry(btn_LightMode->x(), below, kPanelWidth - 40, kPanelHeight - 2 * below);
    widget_LightMode->hide();
    widget_LightMode->setOpener(btn_LightMode);
    connect(widget_LightMode, &Widget_Light_Mode_View::selectLightMode, this, &Lighting_View::currentLightModeIndex);
}

void Lighting_View::buildModuleArea()
{
    widget_memory_Control = new QWidget(this);
    widget_memory_Control->setObjectName(QStringLiteral("widget_memory_Control"));
    widget_memory_Control->setGeometry(350, 20, 450, 295);
    grid_Memory = new QGridLayout(widget_memory_Control);
    grid_Memory->setContentsMargins(10, 10, 10, 10);
    grid_Memory->setSpacing(30);

    for (int k = 0; k < kModuleCount; ++k) {
        // Created first so that it stays behind its module's picture.
        auto *number = new QPushButton(QString::number(k + 1), widget_memory_Control);
        number->setObjectName(QStringLiteral("btn_Slots"));
        number->setCheckable(true);
        number->setFocusPolicy(Qt::NoFocus);
        // Shows the selection only: clicks belong to the module's own button, or to the
        // page while modules are being reordered.
        number->setAttribute(Qt::WA_TransparentForMouseEvents);
        number->resize(30, 30);
        number->setStyleSheet(QStringLiteral(
            "QPushButton{color: grey; background: transparent; border: 1px solid rgb(80,80,80); border-radius: 15px;}"
            "QPushButton:checked{color: white; background-color: rgb(32,158,199);}"));
        number->hide();
        btn_Slots[k] = number;
    }
    for (int k = 0; k < kModuleCount; ++k) {
        auto *pic = new Memory_RGB_View(k, widget_memory_Control);
        pic->hide();
        m_pictures[k] = pic;
        m_animations[k] = new QPropertyAnimation(pic, "geometry", this);
        m_animations[k]->setDuration(kAnimationMs);
        // The pictures draw the page's edit (showPicture); pressRGB, changeBright,
        // changeColorMode and sendDefault only report what the edit did.
        connect(pic, &Memory_RGB_View::SelectMemSlot, this, &Lighting_View::slot_SelectMemSlot);
        connect(this, &Lighting_View::sendSelected, pic, &Memory_RGB_View::slot_Selected);
    }
}

void Lighting_View::buildSideButtons()
{
    for (int row = 0; row < kRowCount; ++row) {
        auto *b = new QPushButton(QString(QChar('A' + row)), this);
        b->setObjectName(QStringLiteral("btn_SelectHorizontal"));
        b->setCheckable(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->resize(30, 30);
        b->setStyleSheet(QStringLiteral(
            "QPushButton{color: grey; background: transparent; border: 1px solid rgb(80,80,80); border-radius: 15px;}"
            "QPushButton:checked{color: white; background-color: rgb(32,158,199);}"
            "QPushButton:disabled{color: rgb(60,60,60);}"));
        connect(b, &QPushButton::clicked, this, &Lighting_View::slot_SelectHorizontal);
        btn_SelectHorizontal[row] = b;
    }

    btn_Edit = new QPushButton(this);
    btn_Edit->setObjectName(QStringLiteral("btn_Edit"));
    btn_Edit->setGeometry(kWidth - 83, 5, 48, 20);
    btn_Edit->setStyleSheet(QLatin1String(kTextButtonStyle));
    connect(btn_Edit, &QPushButton::released, this, &Lighting_View::slotEdit);
    btn_Edit_Cancel = new QPushButton(this);
    btn_Edit_Cancel->setObjectName(QStringLiteral("btn_Edit_Cancel"));
    btn_Edit_Cancel->setGeometry(kWidth - 83, 5, 48, 20);
    btn_Edit_Cancel->setStyleSheet(QLatin1String(kTextButtonStyle));
    btn_Edit_Cancel->hide();
    connect(btn_Edit_Cancel, &QPushButton::released, this, &Lighting_View::slotEdit_Cancel);
    btn_Edit_Apply = new QPushButton(this);
    btn_Edit_Apply->setObjectName(QStringLiteral("btn_Edit_Apply"));
    btn_Edit_Apply->setGeometry(kWidth - 83 - 58, 5, 48, 20);
    btn_Edit_Apply->setStyleSheet(QLatin1String(kTextButtonStyle));
    btn_Edit_Apply->hide();
    connect(btn_Edit_Apply, &QPushButton::released, this, &Lighting_View::slotEdit_Apply);

    label_Preview = new QLabel(this);
    label_Preview->setObjectName(QStringLiteral("label_Preview"));
    label_Preview->setGeometry(120, 0, 258, 30);
    label_Preview->setStyleSheet(QStringLiteral("color: white;"));

    group_Profile = new QButtonGroup(this);
    group_Profile->setExclusive(true);
    for (int i = 0; i < kProfileCount; ++i) {
        auto *b = new QPushButton(this);
        b->setObjectName(QStringLiteral("btn_Profile%1").arg(i));
        b->setCheckable(true);
        b->setGeometry(10, kPanelY + 35 * i, 80, 30);
        b->setStyleSheet(QStringLiteral(
            "QPushButton{font-family: Arial; font-size: 16px; color: white; background-color: rgba(40,40,40,100); border: none;}"
            "QPushButton:checked{color: rgb(32,158,199);}"));
        group_Profile->addButton(b, i);
        btn_Profile[i] = b;
    }
    btn_Profile[0]->setChecked(true);
    connect(group_Profile, QOverload<QAbstractButton *>::of(&QButtonGroup::buttonClicked), this,
            &Lighting_View::slot_Profile);
}

Memory_RGB_View *Lighting_View::picture(int index) const
{
    return index >= 0 && index < kModuleCount ? m_pictures[index] : nullptr;
}

bool Lighting_View::isCounted(int k) const
{
    return k >= 0 && k < m_slotCount;
}

bool Lighting_View::isSelectable(int k) const
{
    return isCounted(k) && m_pictures[k]->isLightingModule();
}

QList<int> Lighting_View::selectedModules() const
{
    QList<int> selected;
    for (int k = 0; k < kModuleCount; ++k) {
        if (isSelectable(k) && m_pictures[k]->isSelected())
            selected.append(k);
    }
    return selected;
}

QList<int> Lighting_View::editedModules() const
{
    const QList<int> selected = selectedModules();
    if (!selected.isEmpty())
        return selected;
    const int last = ProgramState::SelectMemoryIndex;
    return last >= 0 && last < kModuleCount ? QList<int>{last} : QList<int>{};
}

QList<LightingEdit::Target> Lighting_View::checkedLeds() const
{
    QList<LightingEdit::Target> targets;
    for (int k : selectedModules())
        targets.append({k, m_pictures[k]->checkedLeds()});
    return targets;
}

QRect Lighting_View::pictureRect(int k) const
{
    return m_pictures[k]->geometry().translated(widget_memory_Control->pos());
}

int Lighting_View::pictureAt(QPoint pagePos, bool withGap) const
{
    // For a drop, half the grid spacing on each side counts as the module's place.
    const int gap = withGap ? 15 : 0;
    for (int k = 0; k < m_slotCount; ++k) {
        if (pictureRect(k).adjusted(-gap, 0, gap, 0).contains(pagePos))
            return k;
    }
    return -1;
}

// --- layout -------------------------------------------------------------------------

void Lighting_View::setSlotNumber(int slotCount, int memoryCount)
{
    slotCount = std::clamp(slotCount, 0, kModuleCount);
    memoryCount = std::clamp(memoryCount, 0, kModuleCount);
    for (Memory_RGB_View *pic : m_pictures) {
        grid_Memory->removeWidget(pic);
        pic->hide();
    }
    m_slotCount = slotCount;
    m_memoryCount = memoryCount;

    const bool narrow = slotCount <= 4;
    widget_memory_Control->setGeometry(narrow ? QRect(500, 20, 260, 295) : QRect(380, 20, 500, 295));
    for (int k = 0; k < kModuleCount; ++k) {
        btn_Slots[k]->move(narrow ? 16 + 66 * k : 13 + 63 * k, 10);
        btn_Slots[k]->setVisible(narrow ? k < 4 : true);
        m_pictures[k]->setLightingModule(k < memoryCount);
        if (k >= memoryCount)
            btn_Slots[k]->setChecked(false);
    }
    placeModules(false);
    updateOutline();
    update();
}

void Lighting_View::placeModules(bool animate)
{
    std::array<QRect, kModuleCount> before{};
    for (int k = 0; k < kModuleCount; ++k) {
        before[k] = m_pictures[k]->geometry();
        m_animations[k]->stop();
        grid_Memory->removeWidget(m_pictures[k]);
    }
    for (int k = 0; k < m_slotCount; ++k) {
        grid_Memory->addWidget(m_pictures[k], 0, m_pictures[k]->slotNumber());
        m_pictures[k]->show();
    }
    grid_Memory->activate();
    if (animate) {
        for (int k = 0; k < m_slotCount; ++k) {
            const QRect after = m_pictures[k]->geometry();
            if (before[k] == after || !before[k].isValid())
                continue;
            m_animations[k]->setStartValue(before[k]);
            m_animations[k]->setEndValue(after);
            m_animations[k]->start();
        }
    }
    placeNumberButtons();
    placeRowButtons();
}

void Lighting_View::placeNumberButtons()
{
    for (int k = 0; k < m_slotCount; ++k) {
        QPushButton *number = btn_Slots[k];
        const QRect target = m_animations[k]->state() == QAbstractAnimation::Running
            ? m_animations[k]->endValue().toRect()
            : m_pictures[k]->geometry();
        number->move(target.x(), 10);
        number->lower();
    }
}

void Lighting_View::placeRowButtons()
{
    // Just right of the last module, but never past the page's edge.
    int right = widget_memory_Control->width() - 30;
    for (int k = 0; k < m_slotCount; ++k)
        right = std::max(right, m_pictures[k]->geometry().right() + 1);
    const int x = std::min(widget_memory_Control->x() + right + 15, kWidth - 31);
    for (int row = 0; row < kRowCount; ++row)
        btn_SelectHorizontal[row]->move(x, kRowY[row]);
}

void Lighting_View::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // Main_View's menu lies under the page's left edge; only the profile buttons reach there.
    setMask(QRegion(rect()) - QRegion(0, 0, kMaskedWidth, kPanelY));
    if (draw_rect)
        draw_rect->setGeometry(rect());
}

// --- the panel and the pictures, drawn from the edit ----------------------------------

int Lighting_View::selectedLightMode() const
{
    const QList<int> edited = editedModules();
    return edited.isEmpty() ? kDefaultLightMode : m_edit.module(edited.first()).lightMode;
}

void Lighting_View::rebuildControls(int mode)
{
    m_controlsMode = mode;
    const LightModeTable::Controls c = LightModeTable::controlsFor(mode);
    {
        const QSignalBlocker block(comboBox_ColorMode);
        comboBox_ColorMode->clear();
        m_colorModeMap.clear();
        for (const LightModeTable::ColorEntry &e : c.colorEntries) {
            const QString text = translated(e.source);
            const int row = comboBox_ColorMode->count();
            comboBox_ColorMode->addItem(text);
            comboBox_ColorMode->setItemData(row, e.number, kColorNumberRole);
            comboBox_ColorMode->setItemData(row, QString::fromLatin1(e.source), kSourceRole);
            m_colorModeMap.insert(text, e.number);
        }
        // The empty entry says that the selected modules have no common value.
        comboBox_ColorMode->addItem(QString());
        hideEmptyRow(comboBox_ColorMode);
    }
    {
        const QSignalBlocker block(comboBox_LightSpeed);
        comboBox_LightSpeed->clear();
        for (int s = 0; s < LightModeTable::kSpeedCount; ++s) {
            comboBox_LightSpeed->addItem(translated(LightModeTable::speedText(s)));
            comboBox_LightSpeed->setItemData(s, QString::fromLatin1(LightModeTable::speedText(s)), kSourceRole);
        }
        comboBox_LightSpeed->addItem(QString());
        hideEmptyRow(comboBox_LightSpeed);
    }
}

void Lighting_View::showPanel()
{
    const QList<int> edited = editedModules();
    if (edited.isEmpty())
        return;
    const int first = edited.first();
    ProgramState::SelectMemoryIndex = first;
    const LightingEdit::Module &shown = m_edit.module(first);
    const LightingEdit::Common common = m_edit.commonOf(edited);
    if (shown.lightMode != m_controlsMode)
        rebuildControls(shown.lightMode);
    const LightModeTable::Controls c = LightModeTable::controlsFor(shown.lightMode);
    // Modules with different modes have no common entries to offer.
    const bool oneMode = common.lightMode.has_value();
    btn_LightMode->setText(oneMode ? m_lightModeMap.value(shown.lightMode) : QString());

    const int emptyColour = comboBox_ColorMode->count() - 1;
    int colourRow = emptyColour;
    if (oneMode && common.colorMode) {
        const int row = comboBox_ColorMode->findData(*common.colorMode, kColorNumberRole);
        colourRow = row >= 0 ? row : 0;
    }
    const int emptySpeed = comboBox_LightSpeed->count() - 1;
    const int speedRow = oneMode && common.lightSpeed ? *common.lightSpeed : emptySpeed;
    {
        const QSignalBlocker blockColour(comboBox_ColorMode);
        const QSignalBlocker blockSpeed(comboBox_LightSpeed);
        comboBox_ColorMode->setCurrentIndex(colourRow);
        comboBox_ColorMode->setEnabled(oneMode && c.colorEnabled);
        comboBox_LightSpeed->setCurrentIndex(std::clamp(speedRow, 0, emptySpeed));
        comboBox_LightSpeed->setEnabled(oneMode && !c.speedFixed);
    }
    for (QWidget *w : {static_cast<QWidget *>(label_R), static_cast<QWidget *>(label_G),
                       static_cast<QWidget *>(label_B), static_cast<QWidget *>(slider_R_Value),
                       static_cast<QWidget *>(slider_G_Value), static_cast<QWidget *>(slider_B_Value),
                       static_cast<QWidget *>(lineEdit_R_Value), static_cast<QWidget *>(lineEdit_G_Value),
                       static_cast<QWidget *>(lineEdit_B_Value), static_cast<QWidget *>(palette)})
        w->setEnabled(c.rgbEnabled);
    slider_Light->setEnabled(c.brightEnabled);

    switch_TurnLight->setCheckedFromData(!shown.turnOff);
    label_TurnLight->setText(shown.turnOff ? tr("OFF") : tr("ON"));
    const float bright = shown.colours.shownBrightness(shown.look(), m_pictures[first]->checkedLeds());
    const QSignalBlocker block(slider_Light);
    slider_Light->setValue(roundedTenths(bright));
}

void Lighting_View::showPicture(int k)
{
    const LightingEdit::Module &m = m_edit.module(k);
    m_pictures[k]->showLighting(m.look(), m.colours);
}

void Lighting_View::showPictures(const QList<int> &modules)
{
    for (int k : modules)
        showPicture(k);
}

// --- values from the channel --------------------------------------------------------

void Lighting_View::setLighting(int module, int lightMode, int colorMode, int lightSpeed, bool turnOff)
{
    if (module < 0 || module >= kModuleCount) {
        qWarning() << "Lighting_View::setLighting: refused module" << module;
        return;
    }
    m_edit.storeLighting(module, lightMode, colorMode, lightSpeed, turnOff);
    showPicture(module);
    if (editedModules().contains(module))
        showPanel();
    emit changeColorMode(module, m_edit.module(module).look());
}

void Lighting_View::setRGB(int module, COLORREF *rgb, COLORREF singleRGB, float *bright, float singleBright)
{
    if (module < 0 || module >= kModuleCount || !rgb || !bright) {
        qWarning() << "Lighting_View::setRGB: refused module" << module;
        return;
    }
    LedColours colours;
    for (int led = 0; led < kDrivenLeds; ++led) {
        colours.rgb[led] = rgb[led];
        colours.bright[led] = checkedBright(bright[led]);
    }
    colours.single = singleRGB;
    colours.singleBright = checkedBright(singleBright);
    m_edit.storeColours(module, colours);
    showPicture(module);
    if (editedModules().contains(module))
        showPanel();
}

void Lighting_View::setMemorySlotNumber(int count, int *slotNumbers)
{
    // Channel updates must not move modules under a reordering in progress.
    if (m_editing)
        return;
    if (!slotNumbers) {
        qWarning() << "Lighting_View::setMemorySlotNumber: no slot numbers";
        return;
    }
    count = std::clamp(count, 0, kModuleCount);
    if (selectedModules().isEmpty()) {
        std::array<int, kModuleCount> order{};
        for (int k = 0; k < kModuleCount; ++k)
            order[k] = k < count ? slotNumbers[k] : m_pictures[k]->slotNumber();
        std::array<int, kModuleCount> sorted = order;
        std::sort(sorted.begin(), sorted.end());
        bool permutation = true;
        for (int k = 0; k < kModuleCount; ++k)
            permutation = permutation && sorted[k] == k;
        if (!permutation) {
            qWarning() << "Lighting_View::setMemorySlotNumber: slot numbers are not a permutation, using 0 to 7";
            for (int k = 0; k < kModuleCount; ++k)
                order[k] = k;
        }
        for (int k = 0; k < kModuleCount; ++k)
            m_pictures[k]->setSlotNumber(order[k]);
        placeModules(false);
        for (int k = 0; k < kModuleCount; ++k) {
            if (order[k] == 0 && isSelectable(k)) {
                m_pictures[k]->moduleButton()->setChecked(true);
                m_pictures[k]->slot_SelectMemSlot();
            }
        }
    }
    placeNumberButtons();
    placeRowButtons();
}

void Lighting_View::slot_setProfile(int profile)
{
    if (profile < 0 || profile >= kProfileCount) {
        qWarning() << "Lighting_View::slot_setProfile: refused profile" << profile;
        return;
    }
    btn_Profile[profile]->setChecked(true);
}

// --- the user's controls ------------------------------------------------------------

void Lighting_View::slot_SelectMemSlot(int index)
{
    if (index >= 0 && index < kModuleCount)
        btn_Slots[index]->setChecked(m_pictures[index]->isSelected());
    showPanel();
    updateOutline();
    update();
}

void Lighting_View::slotLightMode()
{
    if (widget_LightMode->isHidden()) {
        widget_LightMode->show();
        widget_LightMode->raise();
        widget_LightMode->setFocus(Qt::PopupFocusReason);
    } else if (widget_LightMode->hasFocus()) {
        widget_LightMode->clearFocus();
        widget_LightMode->hide();
    } else {
        widget_LightMode->hide();
    }
}

void Lighting_View::currentLightModeIndex(int mode)
{
    const QList<int> edited = editedModules();
    m_edit.setLightMode(edited, mode);
    showPictures(edited);
    showPanel();
    for (int k : edited)
        emit changeColorMode(k, m_edit.module(k).look());
}

void Lighting_View::currentColorModeIndex(int index)
{
    const QVariant number = comboBox_ColorMode->itemData(index, kColorNumberRole);
    if (!number.isValid())
        return;
    const QList<int> edited = editedModules();
    m_edit.setColorMode(edited, number.toInt());
    showPictures(edited);
    showPanel();
    for (int k : edited)
        emit changeColorMode(k, m_edit.module(k).look());
}

void Lighting_View::currentLightSpeedIndex(int index)
{
    if (index < 0 || index >= LightModeTable::kSpeedCount)
        return;
    m_edit.setLightSpeed(editedModules(), index);
    showPanel();
}

void Lighting_View::changeSliderBright(int value)
{
    const float bright = value / 10.0f;
    m_edit.setBrightness(checkedLeds(), bright);
    emit changeBright(bright);
}

void Lighting_View::slot_TurnOn_Switch(bool on)
{
    label_TurnLight->setText(on ? tr("ON") : tr("OFF"));
    m_edit.setTurnOff(editedModules(), !on);
}

void Lighting_View::slot_SelectHorizontal()
{
    if (m_editing)
        return;
    const auto *button = qobject_cast<QPushButton *>(sender());
    if (!button || button->text().isEmpty())
        return;
    const int row = button->text().at(0).unicode() - 'A';
    if (row < 0 || row >= kRowCount)
        return;
    const bool on = button->isChecked();
    for (int k = 0; k < m_slotCount; ++k) {
        Memory_RGB_View *pic = m_pictures[k];
        if (!pic->isLightingModule())
            continue;
        // Single, off and random have no per-LED colours: the whole module goes along.
        if (pic->colorMode() >= ColorModeSingle && pic->colorMode() <= ColorModeRandom)
            pic->setAllLedsChecked(on);
        else
            pic->setLedChecked(row, on);
        pic->updateSelectionFromLeds();
    }
}

void Lighting_View::slotApply()
{
    const QList<int> selected = selectedModules();
    for (int k : selected) {
        const LedColours &c = m_edit.module(k).colours;
        for (int led = 0; led < kLedSlots; ++led) {
            m_applyRgb[k][led] = c.rgb[led % kDrivenLeds];
            m_applyBright[k][led] = c.bright[led % kDrivenLeds];
        }
        emit changeColor(k, m_applyRgb[k].data(), c.single, m_applyBright[k].data(), c.singleBright);
    }
    for (int k : selected) {
        const LightingEdit::Module &m = m_edit.module(k);
        emit changeLightMode(k, m.lightMode, m.colorMode, m.lightSpeed, m.turnOff);
        emit changeColorMode(k, m.look());
    }
}

void Lighting_View::slotDefault()
{
    emit changeBright(1.0f);
    const QList<int> selected = selectedModules();
    m_edit.restoreDefaults(selected);
    showPictures(selected);
    showPanel();
    emit sendDefault();
}

void Lighting_View::slot_Profile()
{
    const int id = group_Profile->checkedId();
    if (id >= 0)
        emit select_Profile(id);
}

// --- R/G/B and the wheel ------------------------------------------------------------

void Lighting_View::pickColour(COLORREF colour)
{
    const QList<LightingEdit::Target> targets = checkedLeds();
    m_edit.pickColour(targets, colour);
    for (const LightingEdit::Target &t : targets)
        showPicture(t.module);
    emit pressRGB(colour);
}

void Lighting_View::slot_R_Value(int value)
{
    lineEdit_R_Value->setText(QString::number(value));
}

void Lighting_View::slot_G_Value(int value)
{
    lineEdit_G_Value->setText(QString::number(value));
}

void Lighting_View::slot_B_Value(int value)
{
    lineEdit_B_Value->setText(QString::number(value));
}

void Lighting_View::sliderActed(QSlider *slider, QLineEdit *edit, int action)
{
    // A drag, a click on the track, a key or the mouse wheel: the position has moved, the
    // value follows right after this signal. Each of them picks the colour at once.
    if (action == QAbstractSlider::SliderNoAction)
        return;
    edit->setText(QString::number(slider->sliderPosition()));
    pickColour(lineEditColour());
}

COLORREF Lighting_View::lineEditColour() const
{
    return rgbColor(std::clamp(lineEdit_R_Value->text().toInt(), 0, 255),
                    std::clamp(lineEdit_G_Value->text().toInt(), 0, 255),
                    std::clamp(lineEdit_B_Value->text().toInt(), 0, 255));
}

void Lighting_View::lineEditConfirmed(QLineEdit *edit, QSlider *slider)
{
    slider->setValue(std::clamp(edit->text().toInt(), 0, 255));
    // Clearing the focus resets the text to the slider, which now agrees.
    edit->clearFocus();
    pickColour(lineEditColour());
}

void Lighting_View::slot_LineEdit_RValue()
{
    lineEditConfirmed(lineEdit_R_Value, slider_R_Value);
}

void Lighting_View::slot_LineEdit_GValue()
{
    lineEditConfirmed(lineEdit_G_Value, slider_G_Value);
}

void Lighting_View::slot_LineEdit_BValue()
{
    lineEditConfirmed(lineEdit_B_Value, slider_B_Value);
}

void Lighting_View::receivePaletteValue(COLORREF colour)
{
    slider_R_Value->setValue(redOf(colour));
    slider_G_Value->setValue(greenOf(colour));
    slider_B_Value->setValue(blueOf(colour));
    pickColour(colour);
}

bool Lighting_View::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        // Text typed without Return is dropped.
        if (watched == lineEdit_R_Value)
            slot_R_Value(slider_R_Value->value());
        else if (watched == lineEdit_G_Value)
            slot_G_Value(slider_G_Value->value());
        else if (watched == lineEdit_B_Value)
            slot_B_Value(slider_B_Value->value());
    }
    return QWidget::eventFilter(watched, event);
}

// --- reordering ---------------------------------------------------------------------

void Lighting_View::slotEdit()
{
    if (m_editing)
        return;
    m_editing = true;
    widget_LightMode->hide();
    for (int k = 0; k < kModuleCount; ++k)
        m_savedSlots[k] = m_pictures[k]->slotNumber();
    btn_Edit->hide();
    btn_Edit_Cancel->show();
    btn_Edit_Apply->show();
    btn_Edit_Cancel->raise();
    btn_Edit_Apply->raise();
    for (QPushButton *b : btn_SelectHorizontal) {
        b->setChecked(false);
        b->setEnabled(false);
    }
    for (int k = 0; k < kModuleCount; ++k) {
        Memory_RGB_View *pic = m_pictures[k];
        pic->clearSelection();
        btn_Slots[k]->setChecked(false);
        pic->setEnabled(false);
        // The page takes the presses on the modules while they can be dragged.
        pic->setAttribute(Qt::WA_TransparentForMouseEvents, true);
        pic->setReorderLook(true);
    }
    updateOutline();
    update();
}

void Lighting_View::leaveEditMode()
{
    m_editing = false;
    m_dragIndex = -1;
    setHoverTarget(-1);
    label_DragCopy->hide();
    btn_Edit->show();
    btn_Edit_Cancel->hide();
    btn_Edit_Apply->hide();
    for (QPushButton *b : btn_SelectHorizontal)
        b->setEnabled(true);
    for (Memory_RGB_View *pic : m_pictures) {
        pic->setEnabled(true);
        pic->setAttribute(Qt::WA_TransparentForMouseEvents, false);
        pic->setReorderLook(false);
    }
    placeNumberButtons();
}

void Lighting_View::slotEdit_Apply()
{
    if (!m_editing)
        return;
    leaveEditMode();
    for (int k = 0; k < kModuleCount; ++k)
        m_sendSlots[k] = m_pictures[k]->slotNumber();
    emit changeMemorySlotNumber(kModuleCount, m_sendSlots.data());
}

void Lighting_View::slotEdit_Cancel()
{
    if (!m_editing)
        return;
    leaveEditMode();
    for (int k = 0; k < kModuleCount; ++k)
        m_pictures[k]->setSlotNumber(m_savedSlots[k]);
    placeModules(true);
}

void Lighting_View::setHoverTarget(int k)
{
    if (k == m_hoverTarget)
        return;
    if (m_hoverTarget >= 0)
        emit sendSelected(m_hoverTarget, false);
    m_hoverTarget = k;
    if (k >= 0)
        emit sendSelected(k, true);
}

void Lighting_View::finishModuleDrag(QPoint pagePos)
{
    const int source = m_dragIndex;
    m_dragIndex = -1;
    label_DragCopy->hide();
    setHoverTarget(-1);
    const int target = pictureAt(pagePos);
    if (source < 0 || target < 0 || target == source)
        return;
    const int slot = m_pictures[source]->slotNumber();
    m_pictures[source]->setSlotNumber(m_pictures[target]->slotNumber());
    m_pictures[target]->setSlotNumber(slot);
    placeModules(true);
}

// --- mouse: module drag and rubber band ---------------------------------------------

void Lighting_View::mousePressEvent(QMouseEvent *event)
{
    // A click on the page's background takes no focus by itself: take it away here, so
    // that an R/G/B edit drops unconfirmed text and an open pop-up closes.
    if (QWidget *focused = QApplication::focusWidget(); focused && isAncestorOf(focused))
        focused->clearFocus();
    const QPoint pos = event->pos();
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    if (m_editing) {
        const int k = pictureAt(pos, false);
        if (k < 0)
            return;
        m_dragIndex = k;
        const QPixmap snapshot = m_pictures[k]->grab();
        QPixmap faded(snapshot.size());
        faded.fill(Qt::transparent);
        {
            QPainter p(&faded);
            p.setOpacity(0.5);
            p.drawPixmap(0, 0, snapshot);
        }
        label_DragCopy->setPixmap(faded);
        label_DragCopy->resize(faded.size());
        label_DragCopy->move(pos.x(), pictureRect(k).y());
        label_DragCopy->show();
        label_DragCopy->raise();
        return;
    }
    if (pos.x() > kBandMinX && pos.y() > kBandMinY && pos.y() < kBandMaxY) {
        for (QPushButton *b : btn_SelectHorizontal)
            b->setChecked(false);
        for (int k = 0; k < kModuleCount; ++k) {
            m_pictures[k]->clearSelection();
            btn_Slots[k]->setChecked(false);
        }
        m_rubberBand = true;
        draw_rect->setStart(pos - draw_rect->pos());
        updateOutline();
        update();
    }
}

void Lighting_View::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->pos();
    if (m_dragIndex >= 0) {
        label_DragCopy->move(pos.x(), label_DragCopy->y());
        const int target = pictureAt(pos);
        setHoverTarget(target == m_dragIndex ? -1 : target);
        return;
    }
    if (m_rubberBand) {
        draw_rect->setEnd(draw_rect->endPointFor(pos));
        draw_rect->show();
        draw_rect->raise();
    }
}

void Lighting_View::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_dragIndex >= 0) {
        finishModuleDrag(event->pos());
        return;
    }
    if (m_rubberBand)
        finishRubberBand(event->pos());
}

void Lighting_View::finishRubberBand(QPoint pagePos)
{
    m_rubberBand = false;
    draw_rect->setEnd(draw_rect->endPointFor(pagePos));
    draw_rect->hide();
    for (int k = 0; k < m_slotCount; ++k) {
        Memory_RGB_View *pic = m_pictures[k];
        if (!pic->isLightingModule())
            continue;
        bool touched = false;
        for (int led = 0; led < kDrivenLeds; ++led) {
            const QPoint corner = pic->ledButton(led)->mapTo(this, QPoint(0, 0));
            if (draw_rect->strictlyInside(corner)) {
                pic->setLedChecked(led, true);
                touched = true;
            }
        }
        if (!touched)
            continue;
        if (pic->colorMode() >= ColorModeSingle && pic->colorMode() <= ColorModeRandom)
            pic->setAllLedsChecked(true);
        pic->updateSelectionFromLeds();
    }
}

// --- painting -----------------------------------------------------------------------

QRect Lighting_View::previewBox() const
{
    return LightingPreview::box(m_slotCount);
}

QRect Lighting_View::previewBar(int index) const
{
    return LightingPreview::bar(m_pictures[std::clamp(index, 0, kModuleCount - 1)]->slotNumber(), m_slotCount);
}

LightingPreview::Layout Lighting_View::previewLayout() const
{
    LightingPreview::Layout layout{{}, m_slotCount, m_memoryCount};
    for (int k = 0; k < kModuleCount; ++k)
        layout.slotNumbers[k] = m_pictures[k]->slotNumber();
    return layout;
}

void Lighting_View::updatePreview(int, COLORREF *)
{
    update();
}

void Lighting_View::updatePreviewList(QList<COLORREF *> colours)
{
    m_preview.setFrames(colours);
    if (isVisible())
        update(LightingPreview::barsArea(previewLayout()));
}

void Lighting_View::updateOutline()
{
    m_outline.clear();
    QRect area;
    for (int k : selectedModules())
        area = area.united(pictureRect(k).adjusted(-5, -5, 5, 5));
    if (area.isNull())
        return;
    const int bottom = std::min(area.bottom(), kPanelY - 5);
    m_outline << QPoint(area.left(), area.top()) << QPoint(area.right(), area.top())
              << QPoint(area.right(), bottom) << QPoint(std::min(area.right() + 20, kWidth - 1), kPanelY)
              << QPoint(std::max(area.left() - 20, kPanelX), kPanelY) << QPoint(area.left(), bottom);
}

void Lighting_View::paintEvent(QPaintEvent *event)
{
    // The preview repaints only its bars 25 times a second; skip what lies outside.
    const QRect dirty = event->rect();
    QPainter p(this);

    if (!m_outline.isEmpty() && dirty.intersects(m_outline.boundingRect().adjusted(-2, -2, 2, 2))) {
        p.setRenderHint(QPainter::Antialiasing);
        const QRect r = m_outline.boundingRect();
        QLinearGradient fill(r.topLeft(), r.bottomLeft());
        fill.setColorAt(0, QColor(80, 80, 80));
        fill.setColorAt(1, QColor(0, 0, 0, 150));
        QLinearGradient stroke(r.topLeft(), r.bottomLeft());
        stroke.setColorAt(0, QColor(0, 122, 204));
        stroke.setColorAt(1, QColor(0, 0, 0, 150));
        p.setPen(QPen(QBrush(stroke), 2));
        p.setBrush(fill);
        p.drawPolygon(m_outline);
        p.setRenderHint(QPainter::Antialiasing, false);
    }

    m_preview.paint(p, dirty, previewLayout());
}

// --- language -----------------------------------------------------------------------

void Lighting_View::updateLanguage_Lighting()
{
    m_lightModeMap.clear();
    for (int mode = 0; mode < LightModeTable::kModeCount; ++mode)
        m_lightModeMap.insert(mode, translated(LightModeTable::sourceText(mode)));
    widget_LightMode->setModeNames(m_lightModeMap);
    if (!btn_LightMode->text().isEmpty())
        btn_LightMode->setText(m_lightModeMap.value(selectedLightMode()));

    m_colorModeMap.clear();
    for (int row = 0; row < comboBox_ColorMode->count() - 1; ++row) {
        const QString text = translated(comboBox_ColorMode->itemData(row, kSourceRole).toString().toLatin1().constData());
        comboBox_ColorMode->setItemText(row, text);
        m_colorModeMap.insert(text, comboBox_ColorMode->itemData(row, kColorNumberRole).toInt());
    }
    m_colorModeStandMap.clear();
    for (const LightModeTable::ColorEntry &look : LightModeTable::looks())
        m_colorModeStandMap.insert(translated(look.source), look.number);
    for (int row = 0; row < comboBox_LightSpeed->count() - 1; ++row)
        comboBox_LightSpeed->setItemText(row, translated(LightModeTable::speedText(row)));

    label_colorMode->setText(tr("Color Mode"));
    label_ligheSpeed->setText(tr("Light Speed"));
    label_TurnLight->setText(switch_TurnLight->isChecked() ? tr("ON") : tr("OFF"));
    btn_Default->setText(tr("Default"));
    btn_Apply->setText(tr("Apply"));
    btn_Edit->setText(tr("Edit"));
    btn_Edit_Cancel->setText(tr("Cancel"));
    btn_Edit_Apply->setText(tr("Apply"));
    label_Preview->setText(tr("Preview"));
    for (int i = 0; i < kProfileCount; ++i)
        btn_Profile[i]->setText(tr("Profile") + QLatin1Char(' ') + QString::number(i + 1));

    const int language = ProgramState::effectiveLanguage();
    label_colorMode->setFont(arialPx(kLabelFontPx[language]));
    label_ligheSpeed->setFont(arialPx(kLabelFontPx[language]));
    label_TurnLight->setFont(arialPx(14));
    btn_Default->setFont(arialPx(kDefaultFontPx[language]));
    btn_Apply->setFont(arialPx(kButtonFontPx[language]));
    btn_LightMode->setFont(arialPx(kButtonFontPx[language]));
    label_Preview->setFont(arialPx(18));
    for (QPushButton *b : {btn_Edit, btn_Edit_Cancel, btn_Edit_Apply})
        b->setFont(arialPx(12));
    placeEditButtons();
}

void Lighting_View::placeEditButtons()
{
    // 48 px hold the English words; a longer translation widens its button to the left,
    // keeping the right edge and the 10 px before Apply.
    const auto placeLeftOf = [](QPushButton *button, int right) {
        const int width = std::max(48, button->fontMetrics().horizontalAdvance(button->text()) + 10);
        button->setGeometry(right - width, 5, width, 20);
    };
    const int right = kWidth - 83 + 48;
    placeLeftOf(btn_Edit, right);
    placeLeftOf(btn_Edit_Cancel, right);
    placeLeftOf(btn_Edit_Apply, btn_Edit_Cancel->x() - 10);
}

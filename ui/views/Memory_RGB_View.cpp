#include "Memory_RGB_View.h"

#include "ProgramState.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {
constexpr int kLedY[kDrivenLeds] = {30, 82, 134, 186, 238};
constexpr int kButtonSize = 30;
const COLORREF kGrey = rgbColor(100, 100, 100);

QString ledStyle(COLORREF c)
{
    const QString rgb = QStringLiteral("rgb(%1,%2,%3)").arg(redOf(c)).arg(greenOf(c)).arg(blueOf(c));
    return QStringLiteral("QPushButton{background-color:%1; border-radius:10px;margin:5 5 5 5;}"
                          "QPushButton:checked{background-color:%1; border-radius:15px; margin: 0 0 0 0;}")
        .arg(rgb);
}
} // namespace

const std::array<COLORREF, kDrivenLeds> Memory_RGB_View::kDefaultColours = {
    rgbColor(255, 0, 0), rgbColor(216, 255, 0), rgbColor(0, 255, 59), rgbColor(0, 98, 255), rgbColor(167, 0, 255)};

Memory_RGB_View::Memory_RGB_View(int index, QWidget *parent)
    : QWidget(parent)
    , m_index(index)
    , m_slotNumber(index)
{
    setObjectName(QStringLiteral("Memory_RGB_View%1").arg(index));
    setFixedSize(kWidth, kHeight);
    m_rgb.fill(rgbColor(0, 255, 0));
    m_bright.fill(1.0f);

    // Transparent: the page's number button behind it shows the module's number.
    btn_MemorySlot = new QPushButton(this);
    btn_MemorySlot->setObjectName(QStringLiteral("btn_MemorySlot"));
    btn_MemorySlot->setGeometry(0, 0, kButtonSize, kButtonSize);
    btn_MemorySlot->setCheckable(true);
    btn_MemorySlot->setFocusPolicy(Qt::NoFocus);
    btn_MemorySlot->setStyleSheet(QStringLiteral("QPushButton{background: transparent; border: none;}"));
    connect(btn_MemorySlot, &QPushButton::released, this, &Memory_RGB_View::slot_SelectMemSlot);

    for (int led = 0; led < kDrivenLeds; ++led) {
        auto *b = new QPushButton(this);
        b->setObjectName(QStringLiteral("btn_Led"));
        b->setGeometry(0, kLedY[led], kButtonSize, kButtonSize);
        b->setCheckable(true);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QPushButton::released, this, &Memory_RGB_View::slot_SelectLED);
        btn_Led[led] = b;
    }

    label_BK = new QLabel(this);
    label_BK->setObjectName(QStringLiteral("label_BK"));
    label_BK->setGeometry(0, 0, kWidth, kHeight);
    label_BK->setStyleSheet(QStringLiteral("background: transparent;"));
    label_BK->hide();

    applyLook();
}

QPushButton *Memory_RGB_View::ledButton(int led) const
{
    return led >= 0 && led < kDrivenLeds ? btn_Led[led] : nullptr;
}

bool Memory_RGB_View::isSelected() const
{
    return btn_MemorySlot->isChecked();
}

bool Memory_RGB_View::isLedChecked(int led) const
{
    return led >= 0 && led < kDrivenLeds && btn_Led[led]->isChecked();
}

bool Memory_RGB_View::usesOneColour() const
{
    return m_colorMode >= ColorModeSingle && m_colorMode <= ColorModeRandom;
}

void Memory_RGB_View::setLed(int led, COLORREF colour, float bright)
{
    if (led < 0 || led >= kDrivenLeds)
        return;
    m_rgb[led] = colour;
    m_bright[led] = bright;
    applyLook();
}

void Memory_RGB_View::setSingle(COLORREF colour, float bright)
{
    m_singleRGB = colour;
    m_singleBright = bright;
    applyLook();
}

void Memory_RGB_View::setLightingModule(bool on)
{
    m_isLighting = on;
    if (!on)
        clearSelection();
    btn_MemorySlot->setCheckable(on);
    for (QPushButton *b : btn_Led) {
        b->setCheckable(on);
        b->setVisible(on);
    }
    update();
}

void Memory_RGB_View::setReorderLook(bool on)
{
    m_reorderLook = on;
    for (QPushButton *b : btn_Led)
        b->setEnabled(!on);
    label_BK->setVisible(on);
    if (on)
        label_BK->raise();
    update();
}

void Memory_RGB_View::setLedChecked(int led, bool on)
{
    if (m_isLighting && led >= 0 && led < kDrivenLeds)
        btn_Led[led]->setChecked(on);
}

void Memory_RGB_View::setAllLedsChecked(bool on)
{
    for (int led = 0; led < kDrivenLeds; ++led)
        setLedChecked(led, on);
}

void Memory_RGB_View::clearSelection()
{
    btn_MemorySlot->setChecked(false);
    for (QPushButton *b : btn_Led)
        b->setChecked(false);
}

void Memory_RGB_View::updateSelectionFromLeds()
{
    bool any = false;
    for (QPushButton *b : btn_Led)
        any = any || b->isChecked();
    btn_MemorySlot->setChecked(any && m_isLighting);
    emit SelectMemSlot(m_index);
}

void Memory_RGB_View::showLed(int led, COLORREF colour)
{
    btn_Led[led]->setStyleSheet(ledStyle(colour));
}

void Memory_RGB_View::applyLook()
{
    for (int led = 0; led < kDrivenLeds; ++led) {
        switch (m_colorMode) {
        case ColorModeSingle:
            showLed(led, m_singleRGB);
            break;
        case ColorModeOff:
        case ColorModeRandom:
            showLed(led, kGrey);
            break;
        default:
            showLed(led, m_rgb[led]);
            break;
        }
    }
}

void Memory_RGB_View::pressRGB(COLORREF colour)
{
    if (!isSelected())
        return;
    if (m_colorMode == ColorModeRGB) {
        for (int led = 0; led < kDrivenLeds; ++led) {
            if (btn_Led[led]->isChecked()) {
                m_rgb[led] = colour;
                showLed(led, colour);
            }
        }
    } else if (m_colorMode == ColorModeSingle) {
        m_singleRGB = colour;
        for (int led = 0; led < kDrivenLeds; ++led) {
            if (btn_Led[led]->isChecked())
                showLed(led, colour);
        }
    }
}

void Memory_RGB_View::slot_SelectMemSlot()
{
    if (!m_isLighting)
        return;
    ProgramState::SelectMemoryIndex = m_index;
    const bool on = btn_MemorySlot->isChecked();
    for (QPushButton *b : btn_Led)
        b->setChecked(on);
    emit SelectMemSlot(m_index);
}

void Memory_RGB_View::slot_SelectLED()
{
    if (!m_isLighting)
        return;
    // Single, off and random have one colour for the whole module: its LEDs go together.
    if (usesOneColour()) {
        const auto *clicked = qobject_cast<QPushButton *>(sender());
        const bool on = clicked ? clicked->isChecked() : btn_Led[0]->isChecked();
        for (QPushButton *b : btn_Led)
            b->setChecked(on);
    }
    updateSelectionFromLeds();
}

void Memory_RGB_View::slot_ChangeBright(float bright)
{
    if (!isSelected())
        return;
    if (m_colorMode == ColorModeRGB) {
        for (int led = 0; led < kDrivenLeds; ++led) {
            if (btn_Led[led]->isChecked())
                m_bright[led] = bright;
        }
    } else if (m_colorMode == ColorModeSingle) {
        m_singleBright = bright;
    }
}

void Memory_RGB_View::slot_ChangeColorMode(int index, int mode)
{
    if (index != m_index)
        return;
    m_colorMode = mode;
    if (mode < ColorModeRGB || mode > ColorModeRandom)
        return;
    if (usesOneColour()) {
        const bool selected = isSelected();
        for (QPushButton *b : btn_Led) {
            if (selected)
                b->setChecked(true);
            else if (mode != ColorModeSingle)
                b->setChecked(false);
        }
    }
    applyLook();
}

void Memory_RGB_View::slot_Default()
{
    // Only a selected module takes the defaults, so others don't carry them into Apply.
    if (!isSelected())
        return;
    m_rgb = kDefaultColours;
    m_singleRGB = kDefaultColours[0];
    m_bright.fill(1.0f);
    m_singleBright = 1.0f;
    applyLook();
}

void Memory_RGB_View::slot_Selected(int index, bool on)
{
    if (index != m_index)
        return;
    m_highlighted = on;
    update();
}

void Memory_RGB_View::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    constexpr int kFrame = 5;
    if (m_highlighted || m_reorderLook) {
        p.setPen(QPen(m_highlighted ? QColor(255, 0, 0) : QColor(32, 158, 199), kFrame));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(kFrame / 2, kFrame / 2, -kFrame / 2 - 1, -kFrame / 2 - 1));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(82, 82, 82));
    p.drawRect(10, 40, 10, 210);
}

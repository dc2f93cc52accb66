#include "Memory_RGB_View.h"

#include "ProgramState.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {
constexpr int kLedY[kDrivenLeds] = {30, 82, 134, 186, 238};
constexpr int kButtonSize = 30;

QString ledStyle(COLORREF c)
{
    const QString rgb = QStringLiteral("rgb(%1,%2,%3)").arg(redOf(c)).arg(greenOf(c)).arg(blueOf(c));
    return QStringLiteral("QPushButton{background-color:%1; border-radius:10px;margin:5 5 5 5;}"
                          "QPushButton:checked{background-color:%1; border-radius:15px; margin: 0 0 0 0;}")
        .arg(rgb);
}
} // namespace

const std::array<COLORREF, kDrivenLeds> Memory_RGB_View::kDefaultColours = LedColours::defaults().rgb;

Memory_RGB_View::Memory_RGB_View(int index, QWidget *parent)
    : QWidget(parent)
    , m_index(index)
    , m_slotNumber(index)
{
    setObjectName(QStringLiteral("Memory_RGB_View%1").arg(index));
    setFixedSize(kWidth, kHeight);

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

LedColours::LedMask Memory_RGB_View::checkedLeds() const
{
    if (!isSelected())
        return 0;
    LedColours::LedMask leds = 0;
    for (int led = 0; led < kDrivenLeds; ++led) {
        if (btn_Led[led]->isChecked())
            leds |= 1u << led;
    }
    return leds;
}

bool Memory_RGB_View::usesOneColour() const
{
    return m_colorMode >= ColorModeSingle && m_colorMode <= ColorModeRandom;
}

void Memory_RGB_View::setLed(int led, COLORREF colour, float bright)
{
    if (led < 0 || led >= kDrivenLeds)
        return;
    m_colours.rgb[led] = colour;
    m_colours.bright[led] = bright;
    applyLook();
}

void Memory_RGB_View::setSingle(COLORREF colour, float bright)
{
    m_colours.single = colour;
    m_colours.singleBright = bright;
    applyLook();
}

void Memory_RGB_View::showLighting(int look, const LedColours &colours)
{
    m_colours = colours;
    slot_ChangeColorMode(m_index, look);
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
    // Parsing a style sheet is dear and the page redraws its pictures after every edit.
    const QString style = ledStyle(colour);
    if (btn_Led[led]->styleSheet() != style)
        btn_Led[led]->setStyleSheet(style);
}

void Memory_RGB_View::applyLook()
{
    for (int led = 0; led < kDrivenLeds; ++led)
        showLed(led, m_colours.shown(m_colorMode, led));
}

void Memory_RGB_View::pressRGB(COLORREF colour)
{
    m_colours.pick(m_colorMode, checkedLeds(), colour);
    applyLook();
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
    m_colours.setBrightness(m_colorMode, checkedLeds(), bright);
}

void Memory_RGB_View::slot_ChangeColorMode(int index, int mode)
{
    if (index != m_index)
        return;
    m_colorMode = mode;
    if (mode < ColorModeRGB || mode > ColorModeRandom)
        return;
    applyLedChecks();
    applyLook();
}

void Memory_RGB_View::applyLedChecks()
{
    if (usesOneColour()) {
        const bool selected = isSelected();
        for (QPushButton *b : btn_Led) {
            if (selected)
                b->setChecked(true);
            else if (m_colorMode != ColorModeSingle)
                b->setChecked(false);
        }
    }
}

void Memory_RGB_View::slot_Default()
{
    // Only a selected module takes the defaults, so others don't carry them into Apply.
    if (!isSelected())
        return;
    m_colours = LedColours::defaults();
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

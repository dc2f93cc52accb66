#include "Information_Slots_View.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace {
constexpr int kButtonSize = 36;
constexpr int kButtonX = 10;
constexpr int kButtonY = 10;
constexpr int kButtonPitch = 60;
constexpr int kFewModules = 4;
constexpr int kBoxX = 5;
constexpr int kBoxY = 5;
constexpr int kBoxWidth = 240;
constexpr int kBoxHeight = 46;
constexpr int kPanelWidth = 380;
constexpr int kPanelHeight = 250;
// The lines span two thirds of the panel; every button of the row stays above the upper
// one, which runs under the row, clear of the digits.
constexpr int kLineWidth = kPanelWidth * 2 / 3;
constexpr int kLineY = kBoxY + kBoxHeight + 5;
constexpr int kManyButtonWidth = 28;
constexpr int kRowEndMargin = 5;

struct RowLayout {
    int boxWidth;
    int buttonWidth;
    int pitch;
    int fontPx;
};

// Up to four buttons sit 60 pixels apart; more get narrower and closer so that all
// eight still end above the line.
RowLayout rowLayout(int n)
{
    if (n <= kFewModules)
        return {kBoxWidth, kButtonSize, kButtonPitch, 36};
    const int boxWidth = kLineWidth - kBoxX;
    const int room = boxWidth - kButtonX - kManyButtonWidth - kRowEndMargin;
    return {boxWidth, kManyButtonWidth, std::min(kButtonPitch, room / (n - 1)), 20};
}

QString textOf(const char (&field)[kTextSize])
{
    return QString::fromUtf8(field, int(textLength(field)));
}
} // namespace

Information_Slots_View::Information_Slots_View(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Information_Slots_View"));
    resize(kPanelWidth, kPanelHeight);
    setStyleSheet(QStringLiteral("QLabel {font-family: Arial; color: white; font-size: 18px;}"));
    for (MemoryModuleData &module : m_modules)
        module.reset(0);

    widget_Buttons = new QWidget(this);
    widget_Buttons->setObjectName(QStringLiteral("widget_Buttons"));
    widget_Buttons->setGeometry(kBoxX, kBoxY, kBoxWidth, kBoxHeight);
    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);

    const int rows[] = {70, 115, 160, 205};
    QLabel **labels[] = {&label_Type, &label_Size, &label_Frequency, &label_Temperature};
    const char *names[] = {"label_Type", "label_Size", "label_Frequency", "label_Temperature"};
    for (int i = 0; i < 4; ++i) {
        *labels[i] = new QLabel(this);
        (*labels[i])->setObjectName(QLatin1String(names[i]));
        (*labels[i])->setGeometry(10, rows[i], kPanelWidth - 20, 30);
    }
    showSelected();
}

void Information_Slots_View::setMemoryCount(int count)
{
    count = std::clamp(count, 0, kModuleCount);
    if (count == m_memoryCount && m_group->buttons().size() == count)
        return;
    m_memoryCount = count;
    rebuildButtons();
    showSelected();
}

void Information_Slots_View::rebuildButtons()
{
    const QList<QAbstractButton *> old = m_group->buttons();
    for (QAbstractButton *button : old) {
        m_group->removeButton(button);
        delete button;
    }

    const int n = m_memoryCount;
    const RowLayout row = rowLayout(n);
    widget_Buttons->resize(row.boxWidth, kBoxHeight);

    const int fontPx = row.fontPx;
    const QString style = QStringLiteral("QPushButton {font-family: Arial; font-size: %1px; border: none;"
                                         "background: transparent; color: rgb(70,70,70);}"
                                         "QPushButton:checked {color: white;}")
                              .arg(fontPx);
    for (int i = 0; i < n; ++i) {
        auto *button = new QPushButton(QString::number(i + 1), widget_Buttons);
        button->setObjectName(QString::number(i + 1));
        button->setGeometry(kButtonX + i * row.pitch, kButtonY, row.buttonWidth, kButtonSize);
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setStyleSheet(style);
        m_group->addButton(button, i);
        connect(button, &QPushButton::released, this, &Information_Slots_View::slot_Select_Memory);
        button->show();
    }
    if (n > 0)
        m_group->button(0)->setChecked(true);
}

int Information_Slots_View::lineY()
{
    return kLineY;
}

int Information_Slots_View::lineWidth()
{
    return kLineWidth;
}

void Information_Slots_View::setModules(const MemoryModuleData (&modules)[kModuleCount])
{
    std::copy(std::begin(modules), std::end(modules), m_modules.begin());
    showSelected();
}

int Information_Slots_View::selectedModule() const
{
    const int id = m_group->checkedId();
    return id >= 0 && id < kModuleCount ? id : 0;
}

void Information_Slots_View::slot_Select_Memory()
{
    showSelected();
}

void Information_Slots_View::updateLanguage()
{
    showSelected();
}

QString Information_Slots_View::sizeValue(const MemoryModuleData &module)
{
    if (module.memoryModuleSize <= 0)
        return QStringLiteral("N/A");
    return QString::number(module.memoryModuleSize / 1024) + QStringLiteral(" GByte");
}

QString Information_Slots_View::frequencyValue(const MemoryModuleData &module)
{
    if (module.frequency < 0)
        return QStringLiteral("N/A");
    return QString::number(module.frequency, 'g', 6) + QStringLiteral(" MHz");
}

QString Information_Slots_View::temperatureValue(const MemoryModuleData &module)
{
    const int t = module.temperature;
    if (t <= 0)
        return QStringLiteral("N/A");
    const int fahrenheit = t * 9 / 5 + 32;
    return QStringLiteral("%1\u00B0C / %2\u00B0F").arg(t).arg(fahrenheit);
}

QString Information_Slots_View::typeText() const
{
    return label_Type->text();
}
QString Information_Slots_View::sizeText() const
{
    return label_Size->text();
}
QString Information_Slots_View::frequencyText() const
{
    return label_Frequency->text();
}
QString Information_Slots_View::temperatureText() const
{
    return label_Temperature->text();
}

void Information_Slots_View::showSelected()
{
    const MemoryModuleData &module = m_modules[std::size_t(selectedModule())];
    label_Type->setText(tr("Type:") + textOf(module.memoryType));
    label_Size->setText(tr("Size:") + sizeValue(module));
    label_Frequency->setText(tr("Frequency:") + frequencyValue(module));
    label_Temperature->setText(tr("Temperature:") + temperatureValue(module));
}

void Information_Slots_View::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(QRect(0, kLineY, kLineWidth, 2), Qt::gray);
    painter.fillRect(QRect(0, height() - 1, kLineWidth, 1), Qt::gray);
}

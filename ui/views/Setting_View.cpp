#include "Setting_View.h"

#include "LanguageNames.h"
#include "LightingTypes.h"
#include "ProgramState.h"
#include "SwitchButton.h"
#include "Widget_Language.h"

#include <QDebug>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr int kContainerX = 50;
constexpr int kContainerY = 40;
constexpr int kRowPitch = 60;
constexpr int kItemHeight = 30;
// Two lines of a long text fit; the row's centre stays that of its switch.
constexpr int kLabelHeight = 56;
constexpr int kTextX = 60;
constexpr int kLabelPx = 22;

enum Row { RowLanguage, RowAutoUpdate, RowAutoRun, RowCurrentLocation, RowVersion };

QFont arialPx(int px)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(px);
    return font;
}

// The start-at-log-on text is the longest of the page in French and Russian.
int autoRunLabelPx(int language)
{
    if (language == LanguageRussian)
        return 20;
    if (language == LanguageFrench)
        return 19;
    return kLabelPx;
}
} // namespace

Setting_View::Setting_View(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Setting_View"));
    resize(814, 510);
    // A click on the page takes the focus, which closes the language list.
    setFocusPolicy(Qt::ClickFocus);
    m_data.reset();

    widget_Setting = new QWidget(this);
    widget_Setting->setObjectName(QStringLiteral("widget_Setting"));
    widget_Setting->setGeometry(kContainerX, kContainerY, 740, RowVersion * kRowPitch + kItemHeight);
    // Until the channel's record arrives a change would send stand-in values for the
    // other settings.
    widget_Setting->setEnabled(false);

    label_Language = makeLabel("label_Language");
    label_Language->setGeometry(0, 0, 200, kItemHeight);
    btn_Language = new QPushButton(widget_Setting);
    btn_Language->setObjectName(QStringLiteral("btn_Language"));
    btn_Language->setFlat(true);
    btn_Language->setFocusPolicy(Qt::TabFocus);
    btn_Language->setGeometry(210, 0, 200, kItemHeight);
    btn_Language->setFont(arialPx(kLabelPx));
    btn_Language->setStyleSheet(QStringLiteral(
        "QPushButton#btn_Language{color: white; background: transparent; border: none;"
        " border-bottom: 1px solid grey; text-align: left;}"));
    connect(btn_Language, &QPushButton::released, this, &Setting_View::slot_Language);

    label_AutoUpdate = makeLabel("label_AutoUpdate");
    switch_AutoUpdate = makeSwitchRow(RowAutoUpdate, "switch_AutoUpdate", label_AutoUpdate);
    label_AutoRun = makeLabel("label_AutoRun");
    switch_AutoRun = makeSwitchRow(RowAutoRun, "switch_AutoRun", label_AutoRun);
    label_CurrentLocation = makeLabel("label_CurrentLocation");
    switch_CurrentLocation = makeSwitchRow(RowCurrentLocation, "switch_CurrentLocation", label_CurrentLocation);
    label_Version = makeLabel("label_Version");
    placeVersionRow();

    connect(switch_AutoUpdate, &SwitchButton::sigClicked, this, &Setting_View::slot_AutoUpdate_Switch);
    connect(switch_AutoRun, &SwitchButton::sigClicked, this, &Setting_View::slot_AutoRun_Switch);
    connect(switch_CurrentLocation, &SwitchButton::sigClicked, this, &Setting_View::slot_CurrentLocation_Switch);

    m_languageList = new Widget_Language(this);
    m_languageList->setOpener(btn_Language);
    connect(m_languageList, &Widget_Language::selectLanguage, this, &Setting_View::currentLanguageIndex);

    refresh();
}

QLabel *Setting_View::makeLabel(const char *name)
{
    auto *label = new QLabel(widget_Setting);
    label->setObjectName(QLatin1String(name));
    label->setFont(arialPx(kLabelPx));
    label->setStyleSheet(QStringLiteral("color: lightgray; background: transparent;"));
    return label;
}

SwitchButton *Setting_View::makeSwitchRow(int row, const char *switchName, QLabel *label)
{
    const int y = row * kRowPitch;
    auto *button = new SwitchButton(47, 19, widget_Setting);
    button->setObjectName(QLatin1String(switchName));
    button->move(0, y + (kItemHeight - button->height()) / 2);
    label->setGeometry(kTextX, y + (kItemHeight - kLabelHeight) / 2, widget_Setting->width() - kTextX, kLabelHeight);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return button;
}

// The version closes up under the last row shown.
void Setting_View::placeVersionRow()
{
    const int row = label_CurrentLocation->isHidden() ? RowCurrentLocation : RowVersion;
    label_Version->setGeometry(0, row * kRowPitch, widget_Setting->width(), kItemHeight);
}

void Setting_View::send()
{
    emit changeSettingData(m_data);
}

void Setting_View::slot_AutoUpdate_Switch(bool on)
{
    m_data.isAutoUpdate = on;
    send();
}

void Setting_View::slot_AutoRun_Switch(bool on)
{
    m_data.isAutoRun = on;
    send();
}

void Setting_View::slot_CurrentLocation_Switch(bool on)
{
    m_data.isCurrentLocation = on;
    send();
}

void Setting_View::slot_Language()
{
    const QRect button = btn_Language->geometry();
    m_languageList->move(button.x() + widget_Setting->x(), button.y() + button.height() + widget_Setting->y() + 1);
    m_languageList->show();
    m_languageList->raise();
    m_languageList->setFocus();
}

void Setting_View::currentLanguageIndex(int language)
{
    if (!LanguageNames::code(language)) {
        qWarning() << "Setting_View: refused language" << language;
        return;
    }
    ProgramState::currentLanguage = language;
    m_data.language = language;
    refresh();
    send();
}

void Setting_View::setSettingData(SettingData data)
{
    // The location serves only the light modes.
    label_CurrentLocation->setVisible(ProgramState::lightingModuleFound);
    switch_CurrentLocation->setVisible(ProgramState::lightingModuleFound);
    placeVersionRow();
    m_data = data;
    widget_Setting->setEnabled(true);
    refresh();
}

void Setting_View::updateLanguage_Setting()
{
    refresh();
}

void Setting_View::refresh()
{
    btn_Language->setText(LanguageNames::translatedCode(metaObject()->className(), m_data.language));
    label_AutoRun->setFont(arialPx(autoRunLabelPx(m_data.language)));
    switch_AutoUpdate->setCheckedFromData(m_data.isAutoUpdate);
    switch_AutoRun->setCheckedFromData(m_data.isAutoRun);
    switch_CurrentLocation->setCheckedFromData(m_data.isCurrentLocation);
    label_Language->setText(tr("Language"));
    label_AutoUpdate->setText(tr("Auto Update"));
    label_AutoRun->setText(tr("Run VELTRIMA RGB Program when Windows starts."));
    label_CurrentLocation->setText(tr("Current_Location"));
    label_Version->setText(tr("Version") + QStringLiteral(":") + QLatin1String(kVersion));
    m_languageList->updateTexts();
}

#include "Main_View.h"

#include "Information_View.h"
#include "Lighting_View.h"
#include "Loading_View.h"
#include "Noti_View.h"
#include "ProgramNames.h"
#include "ProgramState.h"
#include "Setting_View.h"
#include "UiResources.h"

#include "WindowEndpoint.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDebug>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QTimer>

namespace {
constexpr int kWidth = 1000;
constexpr int kHeight = 600;
constexpr int kDragBandHeight = 45;
constexpr int kDragBandWidth = 925;
constexpr int kIndicatorMs = 200;
constexpr int kLogoWidth = 146;
constexpr int kNoticeMs = 10000;
const QRect kNoticeGeometry(120, 556, 760, 32);

enum MenuId { MenuInfo = 0, MenuLighting = 1, MenuNoti = 2, MenuSetting = 4 };

const char *const kMenuButtonStyle =
    "QPushButton {font-family: Arial; font-size: 18px; border: none; text-align: left; color: grey;"
    " background: transparent;}"
    "QPushButton:checked {color: white;}"
    "QPushButton:focus {text-decoration: underline;}";
const char *const kLightingPartNumbers[] = {"R009D", "R019D", "R022D"};
} // namespace

Main_View::Main_View(QWidget *parent)
    : QWidget(parent)
{
    initUiResources();
    setWindowTitle(QString::fromLatin1(ProgramNames::kMainViewTitle));
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setWindowIcon(QIcon(QStringLiteral(":/KVRGBMemory/Images/VELTRIMA_Icon.png")));
    resize(kWidth, kHeight);
    setFixedSize(kWidth, kHeight);
    setObjectName(QStringLiteral("Main_View"));
    setFocusPolicy(Qt::ClickFocus);
    // The window itself holds the focus when it opens, so that nothing shows a focus mark
    // until Tab is pressed (the menu would otherwise take it).
    setFocus(Qt::OtherFocusReason);

    const QPixmap background = QPixmap(QStringLiteral(":/KVRGBMemory/Images/Main_BG.png"))
                                   .scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPalette palette = this->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setBrush(group, QPalette::Window, QBrush(background));
    setPalette(palette);
    setAutoFillBackground(true);

    label_Logo = new QLabel(this);
    label_Logo->setObjectName(QStringLiteral("label_Logo"));
    label_Logo->setGeometry((width() - kLogoWidth) / 2, 10, kLogoWidth, 23);
    label_Logo->setStyleSheet(QStringLiteral("border-image: url(:/KVRGBMemory/Images/KV_Logo.png);"));

    Widget_Menu = new QWidget(this);
    Widget_Menu->setObjectName(QStringLiteral("Widget_Menu"));
    Widget_Menu->setGeometry(30, 70, 156, 218);
    auto *grid = new QGridLayout(Widget_Menu);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(15);
    m_menuGroup = new QButtonGroup(this);
    m_menuGroup->setExclusive(true);
    btn_Info = makeMenuButton("btn_Info");
    btn_Lighting = makeMenuButton("btn_Lighting");
    btn_Noti = makeMenuButton("btn_Noti");
    btn_Setting = makeMenuButton("btn_Setting");
    const std::pair<QPushButton *, int> menu[] = {
        {btn_Info, MenuInfo}, {btn_Lighting, MenuLighting}, {btn_Noti, MenuNoti}, {btn_Setting, MenuSetting}};
    for (const auto &[button, id] : menu) {
        m_menuGroup->addButton(button, id);
        grid->addWidget(button, id, 0);
    }
    connect(btn_Info, &QPushButton::released, this, &Main_View::slot_show_Info);
    connect(btn_Lighting, &QPushButton::released, this, &Main_View::slot_show_Lighting);
    connect(btn_Noti, &QPushButton::released, this, &Main_View::slot_show_Noti);
    connect(btn_Setting, &QPushButton::released, this, &Main_View::slot_show_Setting);

    label_MenuBar_Image = new QLabel(this);
    label_MenuBar_Image->setObjectName(QStringLiteral("label_MenuBar_Image"));
    label_MenuBar_Image->resize(5, 30);
    label_MenuBar_Image->setStyleSheet(
        QStringLiteral("QLabel#label_MenuBar_Image{image: url(:/KVRGBMemory/Images/Menu_Bar.png);}"));
    m_indicatorAnimation = new QPropertyAnimation(label_MenuBar_Image, "geometry", this);
    m_indicatorAnimation->setDuration(kIndicatorMs);

    btn_Close = new QPushButton(this);
    btn_Close->setObjectName(QStringLiteral("btn_Close"));
    btn_Close->setGeometry(width() - 35, 15, 15, 15);
    btn_Close->setStyleSheet(QStringLiteral("border-image: url(:/KVRGBMemory/Images/Close.png);"));
    btn_Close->setFocusPolicy(Qt::NoFocus);
    connect(btn_Close, &QPushButton::released, this, &Main_View::slot_Close);

    btn_Min = new QPushButton(this);
    btn_Min->setObjectName(QStringLiteral("btn_Min"));
    btn_Min->setGeometry(width() - 60, 15, 18, 15);
    btn_Min->setStyleSheet(QStringLiteral("border-image: url(:/KVRGBMemory/Images/Min.png);"));
    btn_Min->setFocusPolicy(Qt::NoFocus);
    connect(btn_Min, &QPushButton::released, this, &QWidget::showMinimized);

    m_loading = new Loading_View(this);
    m_loading->setGeometry(0, 0, kWidth, kHeight);
    m_loading->setLoading(true);

    label_Notice = new QLabel(this);
    label_Notice->setObjectName(QStringLiteral("label_Notice"));
    label_Notice->setGeometry(kNoticeGeometry);
    label_Notice->setAlignment(Qt::AlignCenter);
    label_Notice->setWordWrap(true);
    label_Notice->setAttribute(Qt::WA_TransparentForMouseEvents);
    label_Notice->setStyleSheet(QStringLiteral(
        "QLabel#label_Notice{font-family: Arial; font-size: 14px; color: rgb(255,200,80);"
        " background-color: rgba(20,20,20,225); border: 1px solid rgb(255,200,80); border-radius: 6px;}"));
    label_Notice->hide();
    m_noticeTimer = new QTimer(this);
    m_noticeTimer->setSingleShot(true);
    m_noticeTimer->setInterval(kNoticeMs);
    connect(m_noticeTimer, &QTimer::timeout, label_Notice, &QWidget::hide);

    updateLanguage_MainView();
    // The layout places the buttons only when it runs; the indicator needs their places now.
    Widget_Menu->layout()->activate();
    btn_Info->setChecked(true);
    label_MenuBar_Image->setGeometry(indicatorGeometry(MenuInfo));
    slot_show_Info();

    m_endpoint = new WindowEndpoint(this);
    m_endpoint->setHandler([](const WindowRequest &) { return qint64(0); });
    connect(m_endpoint, &WindowEndpoint::messageReceived, this,
            [this](const WindowRequest &request, qint64) { handleWindowMessage(request.message, request.wParam); });
    if (!m_endpoint->setTitle(windowTitle()))
        qWarning() << "Main_View: no message endpoint for" << windowTitle();
}

Main_View::~Main_View() = default;

QPushButton *Main_View::makeMenuButton(const char *name)
{
    auto *button = new QPushButton(Widget_Menu);
    button->setObjectName(QLatin1String(name));
    button->setCheckable(true);
    button->setFlat(true);
    button->setFocusPolicy(Qt::TabFocus);
    button->setStyleSheet(QLatin1String(kMenuButtonStyle));
    return button;
}

QPushButton *Main_View::menuButton(int id) const
{
    return qobject_cast<QPushButton *>(m_menuGroup->button(id));
}

void Main_View::handleWindowMessage(quint32 message, quint64 wParam)
{
    qDebug() << "Main_View: window message" << Qt::hex << message << "wParam" << wParam;
    switch (message) {
    case ProgramNames::kMsgQuit:
        qDebug() << "Main_View: quit requested";
        ProgramState::quitApplication();
        break;
    case ProgramNames::kMsgShow:
        showAndActivate();
        break;
    case ProgramNames::kMsgAutoRunQuit:
        if (wParam != 0 && ProgramState::programStart) {
            qDebug() << "Main_View: quit after a start at log-on";
            ProgramState::quitApplication();
        }
        break;
    default:
        break;
    }
}

void Main_View::showAndActivate()
{
    show();
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
}

// The overlay must never hide what the user needs: it sits above every page, and the
// window buttons sit above it so that the program can always be closed or minimised.
void Main_View::keepControlsReachable()
{
    // isHidden, not isVisible: before the window is first shown nothing is visible,
    // and a page created then must still end up below the overlay.
    if (!m_loading->isHidden())
        m_loading->raise();
    label_Notice->raise();
    btn_Close->raise();
    btn_Min->raise();
    enablePages();
}

// The overlay stops the mouse; disabled pages also stop the keyboard of a field that
// still has the focus.
void Main_View::enablePages()
{
    for (QWidget *page : {static_cast<QWidget *>(m_info), static_cast<QWidget *>(m_lighting),
                          static_cast<QWidget *>(m_noti), static_cast<QWidget *>(m_setting)}) {
        if (page)
            page->setEnabled(m_controlAnswering);
    }
}

void Main_View::showControlStatus(bool answering, const QString &status)
{
    m_controlAnswering = answering;
    // The warning that no lighting module was found stays until the program ends.
    if (!m_loading->isWarningShown()) {
        m_loading->setStatusText(answering ? QString() : status);
        m_loading->setLoading(!answering);
    }
    keepControlsReachable();
}

void Main_View::showNotice(const QString &text)
{
    label_Notice->setText(text);
    label_Notice->show();
    label_Notice->raise();
    m_noticeTimer->start();
}

QString Main_View::noticeText() const
{
    return label_Notice->isHidden() ? QString() : label_Notice->text();
}

void Main_View::hideOtherPages(QWidget *keep)
{
    if (m_lighting && m_lighting != keep && m_lighting->isVisible()) {
        // Leaving the lighting page cancels an unfinished module reordering.
        QPushButton *cancel = m_lighting->editCancelButton();
        if (cancel && cancel->isVisible())
            emit cancel->released();
        m_lighting->hide();
    }
    for (QWidget *page : {static_cast<QWidget *>(m_info), static_cast<QWidget *>(m_noti),
                          static_cast<QWidget *>(m_setting)}) {
        if (page && page != keep)
            page->hide();
    }
}

QRect Main_View::indicatorGeometry(int id) const
{
    const QAbstractButton *button = m_menuGroup->button(id);
    const QSize size = label_MenuBar_Image->size();
    return button ? QRect(0, Widget_Menu->y() + button->y() + 5, size.width(), size.height())
                  : label_MenuBar_Image->geometry();
}

void Main_View::moveIndicator(int id)
{
    m_indicatorAnimation->stop();
    m_indicatorAnimation->setStartValue(label_MenuBar_Image->geometry());
    m_indicatorAnimation->setEndValue(indicatorGeometry(id));
    m_indicatorAnimation->start();
}

void Main_View::slot_show_Info()
{
    hideOtherPages(m_info);
    if (!m_info) {
        m_info = new Information_View(this);
        m_info->setGeometry(200, 80, 800, 510);
        connect(this, &Main_View::setSystemData, m_info, &Information_View::setSystemData, Qt::DirectConnection);
        connect(this, &Main_View::setSystemData1, m_info, &Information_View::setSystemData1, Qt::DirectConnection);
        connect(this, &Main_View::setHWData, m_info, &Information_View::setHWData, Qt::DirectConnection);
        connect(this, &Main_View::updateLanguage, m_info, &Information_View::updateLanguage_Info,
                Qt::DirectConnection);
        m_info->setMemoryCount(m_memoryCount);
    }
    m_info->show();
    keepControlsReachable();
    moveIndicator(MenuInfo);
}

void Main_View::slot_show_Lighting()
{
    hideOtherPages(m_lighting);
    if (!m_lighting) {
        m_lighting = new Lighting_View(this);
        m_lighting->setGeometry(86, 40, 914, 560);
        connect(m_lighting, &Lighting_View::changeColor, this, &Main_View::changeColor, Qt::DirectConnection);
        connect(m_lighting, &Lighting_View::changeLightMode, this, &Main_View::changeLightMode,
                Qt::DirectConnection);
        connect(m_lighting, &Lighting_View::changeMemorySlotNumber, this, &Main_View::changeMemorySlotNumber,
                Qt::DirectConnection);
        connect(m_lighting, &Lighting_View::select_Profile, this, &Main_View::select_Profile, Qt::DirectConnection);
        connect(this, &Main_View::updatePreview, m_lighting, &Lighting_View::updatePreview, Qt::DirectConnection);
        connect(this, &Main_View::updatePreviewList, m_lighting, &Lighting_View::updatePreviewList,
                Qt::DirectConnection);
        connect(this, &Main_View::setRGB, m_lighting, &Lighting_View::setRGB, Qt::DirectConnection);
        connect(this, &Main_View::setLighting, m_lighting, &Lighting_View::setLighting, Qt::DirectConnection);
        connect(this, &Main_View::setMemorySlotNumber, m_lighting, &Lighting_View::setMemorySlotNumber,
                Qt::DirectConnection);
        connect(this, &Main_View::setProfile, m_lighting, &Lighting_View::slot_setProfile, Qt::DirectConnection);
        connect(this, &Main_View::updateLanguage, m_lighting, &Lighting_View::updateLanguage_Lighting,
                Qt::DirectConnection);
        m_lighting->setSlotNumber(m_slotCount, m_memoryCount);
    }
    m_lighting->show();
    keepControlsReachable();
    emit requestSetSlotNum();
    emit requestSetRGB();
    emit requestSetLighting();
    emit requestSetProfile();
    emit updateLanguage();
    moveIndicator(MenuLighting);
}

void Main_View::slot_show_Noti()
{
    hideOtherPages(m_noti);
    if (!m_noti) {
        m_noti = new Noti_View(this);
        m_noti->setGeometry(186, 80, 814, 510);
        connect(m_noti, &Noti_View::sendNotiData, this, &Main_View::sendNotiData, Qt::DirectConnection);
        connect(this, &Main_View::setNotiData, m_noti, &Noti_View::setNotiData, Qt::DirectConnection);
        connect(this, &Main_View::updateLanguage, m_noti, &Noti_View::updateLanguage_Noti, Qt::DirectConnection);
    }
    m_noti->show();
    keepControlsReachable();
    emit requestNotiData();
    emit updateLanguage();
    moveIndicator(MenuNoti);
}

void Main_View::slot_show_Setting()
{
    hideOtherPages(m_setting);
    if (!m_setting) {
        m_setting = new Setting_View(this);
        m_setting->setGeometry(186, 80, 814, 510);
        connect(m_setting, &Setting_View::changeSettingData, this, &Main_View::changeSettingData,
                Qt::DirectConnection);
        connect(this, &Main_View::setSettingData, m_setting, &Setting_View::setSettingData, Qt::DirectConnection);
        connect(this, &Main_View::updateLanguage, m_setting, &Setting_View::updateLanguage_Setting,
                Qt::DirectConnection);
    }
    m_setting->show();
    keepControlsReachable();
    emit requestSettingData();
    moveIndicator(MenuSetting);
}

void Main_View::setSlotNumber(int slotCount, int memoryCount)
{
    m_slotCount = slotCount;
    m_memoryCount = memoryCount;
    if (m_info)
        m_info->setMemoryCount(memoryCount);
    if (m_lighting)
        m_lighting->setSlotNumber(slotCount, memoryCount);

    if (memoryCount == 0 && slotCount > 0) {
        // The board has memory slots but none holds a lighting module.
        m_loading->setLoading(false);
        m_loading->setStatusText(QString());
        m_loading->show();
        m_loading->isProductWarning(true);
    } else if (m_controlAnswering) {
        m_loading->setLoading(false);
    }
    keepControlsReachable();
}

void Main_View::setKVModuleType(QStringList parts)
{
    ProgramState::lightingModuleFound = false;
    for (const QString &part : parts) {
        for (const char *model : kLightingPartNumbers) {
            if (part.contains(QLatin1String(model), Qt::CaseSensitive))
                ProgramState::lightingModuleFound = true;
        }
    }
    if (ProgramState::lightingModuleFound)
        return;
    btn_Lighting->hide();
    // The menu's rows close up over the hidden button: the indicator follows at once.
    Widget_Menu->layout()->activate();
    m_indicatorAnimation->stop();
    label_MenuBar_Image->setGeometry(indicatorGeometry(m_menuGroup->checkedId()));
}

void Main_View::updateLanguage_MainView()
{
    btn_Info->setText(tr("Information"));
    btn_Lighting->setText(tr("Lighting"));
    btn_Noti->setText(tr("Notification"));
    btn_Setting->setText(tr("Settings"));
    emit updateLanguage();
}

void Main_View::updateViewData()
{
    if (m_lighting && m_lighting->isVisible()) {
        emit requestSetSlotNum();
        emit requestSetRGB();
        emit requestSetLighting();
        emit requestSetProfile();
    } else if (m_noti && m_noti->isVisible()) {
        emit requestNotiData();
    } else if (m_setting && m_setting->isVisible()) {
        emit requestSettingData();
    }
}

void Main_View::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = event->pos();
    if (event->button() == Qt::LeftButton && p.y() < kDragBandHeight && p.x() < kDragBandWidth) {
        m_dragging = true;
        m_pressPosition = p;
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void Main_View::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging)
        move(pos() + event->pos() - m_pressPosition);
    QWidget::mouseMoveEvent(event);
}

void Main_View::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}

void Main_View::closeEvent(QCloseEvent *event)
{
    // Closed by the window manager (the window has no frame of its own): same as btn_Close.
    event->accept();
    emit slot_Close();
}

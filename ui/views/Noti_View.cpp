#include "Noti_View.h"

#include "NamedMutex.h"
#include "ProgramState.h"
#include "SwitchButton.h"
#include "Widget_Select_Palette.h"

#include <QEvent>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace {
const QString kHubMutex = QStringLiteral("Spectra Hub");
constexpr int kRowHeight = 50;
constexpr int kItemHeight = 30;
// Row label sizes by language: en, zh, cn, de, fr, jp, th, ru, kr, es.
constexpr int kLabelFontPx[LanguageCount] = {16, 22, 22, 14, 14, 20, 16, 14, 20, 14};
const QColor kFocusLine(32, 158, 199);
const QColor kIdleLine(90, 90, 90);

QFont arialPx(int px)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(px);
    return font;
}
} // namespace

Noti_View::Noti_View(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Noti_View"));
    resize(814, 510);
    setFocusPolicy(Qt::ClickFocus);
    label_Title = new QLabel(this);
    label_Title->setObjectName(QStringLiteral("label_Title"));
    label_Title->setGeometry(20, 50, 600, 30);
    label_Title->setStyleSheet(QStringLiteral("font-family: Arial; font-size: 22px; color: lightgray;"));

    widget_Grid = new QWidget(this);
    widget_Grid->setObjectName(QStringLiteral("widget_Grid"));
    widget_Grid->setGeometry(20, 100, 760, RowCount * kRowHeight);
    createRow(RowLoading, QStringLiteral("lineEdit_Loading"), 0, 100);
    createRow(RowShutdownMemory, QStringLiteral("lineEdit_Shutdown_Memory"), -30, 1000);
    createRow(RowShutdownCPU, QStringLiteral("lineEdit_Shutdown_CPU"), -30, 1000);
    createRow(RowFanSpeed, QStringLiteral("lineEdit_FanSpeed"), -30, 1000);
    m_rows[RowLoading].unit->setText(QStringLiteral("%"));

    btn_Loading_Color = new QPushButton(widget_Grid);
    btn_Loading_Color->setObjectName(QStringLiteral("btn_Loading_Color"));
    btn_Loading_Color->resize(kItemHeight, kItemHeight);

    m_palette = new Widget_Select_Palette(this);
    m_palette->hide();

    connect(m_rows[RowLoading].switchButton, &SwitchButton::sigClicked, this, &Noti_View::slot_Loading_Switch);
    connect(m_rows[RowShutdownMemory].switchButton, &SwitchButton::sigClicked, this,
            &Noti_View::slot_Shutdown_Switch);
    connect(m_rows[RowShutdownCPU].switchButton, &SwitchButton::sigClicked, this,
            &Noti_View::slot_Shutdown_CPU_Switch);
    connect(m_rows[RowFanSpeed].switchButton, &SwitchButton::sigClicked, this, &Noti_View::slot_FanSpeed_Switch);
    connect(m_rows[RowLoading].lineEdit, &QLineEdit::returnPressed, this, &Noti_View::slot_LineEdit_Loading);
    connect(m_rows[RowShutdownMemory].lineEdit, &QLineEdit::returnPressed, this,
            &Noti_View::slot_LineEdit_Shutdown_Memory);
    connect(m_rows[RowShutdownCPU].lineEdit, &QLineEdit::returnPressed, this, &Noti_View::slot_LineEdit_Shutdown_CPU);
    connect(m_rows[RowFanSpeed].lineEdit, &QLineEdit::returnPressed, this, &Noti_View::slot_LineEdit_FanSpeed);
    connect(btn_Loading_Color, &QPushButton::released, this, &Noti_View::slot_Loading_Color);
    connect(m_palette, &Widget_Select_Palette::pressRGB, this, &Noti_View::slot_Palette_Color);

    m_data.loadingColor = 0x000000FF; // red until the channel's record arrives
    refreshWidgets();
    updateLanguage_Noti();
}

void Noti_View::createRow(Row row, const QString &lineEditName, int bottom, int top)
{
    const int y = row * kRowHeight;
    const int centre = y + (kItemHeight - 19) / 2;
    const QString labelStyle = QStringLiteral("color: lightgray; background: transparent;");
    RowWidgets &w = m_rows[row];
    w.switchButton = new SwitchButton(47, 19, widget_Grid);
    w.switchButton->setObjectName(QString(lineEditName).replace(QStringLiteral("lineEdit_"), QStringLiteral("switch_")));
    w.switchButton->move(0, centre);
    w.name = new QLabel(widget_Grid);
    w.name->setGeometry(60, y, 80, kItemHeight);
    w.name->setStyleSheet(labelStyle);
    w.lineEdit = new QLineEdit(widget_Grid);
    w.lineEdit->setObjectName(lineEditName);
    w.lineEdit->setGeometry(145, y, 60, kItemHeight);
    w.lineEdit->setValidator(new QIntValidator(bottom, top, w.lineEdit));
    w.lineEdit->setAlignment(Qt::AlignCenter);
    w.lineEdit->setStyleSheet(
        QStringLiteral("QLineEdit{color: white; background: transparent; border: none; font-family: Arial; "
                       "font-size: 16px;}"));
    w.lineEdit->installEventFilter(this);
    w.unit = new QPushButton(widget_Grid);
    w.unit->setObjectName(QString(lineEditName).replace(QStringLiteral("lineEdit_"), QStringLiteral("btn_Unit_")));
    w.unit->setFocusPolicy(Qt::NoFocus);
    w.unit->setGeometry(210, y, 30, kItemHeight);
    w.unit->setStyleSheet(QStringLiteral(
        "QPushButton{color: lightgray; background: transparent; border: none; font-family: Arial; font-size: 16px;}"));
    w.arrow = new QLabel(QStringLiteral(">"), widget_Grid);
    w.arrow->setGeometry(250, y, 15, kItemHeight);
    w.arrow->setStyleSheet(labelStyle);
    w.action = new QLabel(widget_Grid);
    w.action->setGeometry(270, y, 480, kItemHeight);
    w.action->setStyleSheet(labelStyle);
}

QString Noti_View::unitText(int unit)
{
    if (unit == 0)
        return QStringLiteral("\u00B0C");
    if (unit == 1)
        return QStringLiteral("\u00B0F");
    return QString();
}

int Noti_View::acceptedValue(const QLineEdit *lineEdit, int current)
{
    return lineEdit->hasAcceptableInput() ? lineEdit->text().toInt() : current;
}

void Noti_View::send(int type)
{
    m_data.type = type;
    emit sendNotiData(m_data);
}

void Noti_View::slot_Loading_Switch(bool on)
{
    m_data.loadingOn = on;
    m_data.loadingValue = acceptedValue(m_rows[RowLoading].lineEdit, m_data.loadingValue);
    send(NotiLoading);
}

void Noti_View::slot_Shutdown_Switch(bool on)
{
    m_data.shutdownMemoryOn = on;
    m_data.shutdownMemoryValue = acceptedValue(m_rows[RowShutdownMemory].lineEdit, m_data.shutdownMemoryValue);
    send(NotiShutdownMemory);
}

void Noti_View::slot_Shutdown_CPU_Switch(bool on)
{
    m_data.shutdownCPUOn = on;
    m_data.shutdownCPUValue = acceptedValue(m_rows[RowShutdownCPU].lineEdit, m_data.shutdownCPUValue);
    send(NotiShutdownCPU);
}

void Noti_View::slot_FanSpeed_Switch(bool on)
{
    m_data.fanSpeedOn = on;
    m_data.fanSpeedValue = acceptedValue(m_rows[RowFanSpeed].lineEdit, m_data.fanSpeedValue);
    send(NotiFanSpeed);
}

void Noti_View::commitLineEdit(Row row, int &value, int type)
{
    value = acceptedValue(m_rows[row].lineEdit, value);
    send(type);
    m_rows[row].lineEdit->clearFocus();
}

void Noti_View::slot_LineEdit_Loading()
{
    commitLineEdit(RowLoading, m_data.loadingValue, NotiLoading);
}

void Noti_View::slot_LineEdit_Shutdown_Memory()
{
    commitLineEdit(RowShutdownMemory, m_data.shutdownMemoryValue, NotiShutdownMemory);
}

void Noti_View::slot_LineEdit_Shutdown_CPU()
{
    commitLineEdit(RowShutdownCPU, m_data.shutdownCPUValue, NotiShutdownCPU);
}

void Noti_View::slot_LineEdit_FanSpeed()
{
    commitLineEdit(RowFanSpeed, m_data.fanSpeedValue, NotiFanSpeed);
}

void Noti_View::slot_Loading_Color()
{
    if (m_palette->isVisible()) {
        m_palette->hide();
        return;
    }
    const QRect button = btn_Loading_Color->geometry();
    m_palette->move(widget_Grid->x() + button.x(), widget_Grid->y() + button.bottom() + 1);
    m_palette->show();
    m_palette->raise();
    m_palette->setFocus();
}

void Noti_View::slot_Palette_Color(COLORREF colour)
{
    m_data.loadingColor = colour;
    m_palette->hide();
    m_data.loadingValue = acceptedValue(m_rows[RowLoading].lineEdit, m_data.loadingValue);
    refreshWidgets();
    send(NotiLoading);
    setFocus();
}

void Noti_View::setNotiData(NotiEventData data)
{
    setRowVisible(RowLoading, ProgramState::lightingModuleFound);
    m_data = data;
    const bool hubRuns = NamedMutex::probe(kHubMutex);
    setRowVisible(RowFanSpeed, hubRuns);
    // Without the hub nobody can raise the fans: the rule goes off rather than pretend.
    if (!hubRuns && m_data.fanSpeedOn) {
        m_data.fanSpeedOn = false;
        send(NotiFanSpeed);
    }
    refreshWidgets();
}

void Noti_View::setRowVisible(Row row, bool visible)
{
    const RowWidgets &w = m_rows[row];
    for (QWidget *widget : {static_cast<QWidget *>(w.switchButton), static_cast<QWidget *>(w.name),
                            static_cast<QWidget *>(w.lineEdit), static_cast<QWidget *>(w.unit),
                            static_cast<QWidget *>(w.arrow), static_cast<QWidget *>(w.action)})
        widget->setVisible(visible);
    if (row == RowLoading) {
        btn_Loading_Color->setVisible(visible);
        if (!visible)
            m_palette->hide();
    }
    update();
}

void Noti_View::refreshWidgets()
{
    m_rows[RowLoading].switchButton->setCheckedFromData(m_data.loadingOn);
    m_rows[RowShutdownMemory].switchButton->setCheckedFromData(m_data.shutdownMemoryOn);
    m_rows[RowShutdownCPU].switchButton->setCheckedFromData(m_data.shutdownCPUOn);
    m_rows[RowFanSpeed].switchButton->setCheckedFromData(m_data.fanSpeedOn);
    m_rows[RowLoading].lineEdit->setText(QString::number(m_data.loadingValue));
    m_rows[RowShutdownMemory].lineEdit->setText(QString::number(m_data.shutdownMemoryValue));
    m_rows[RowShutdownCPU].lineEdit->setText(QString::number(m_data.shutdownCPUValue));
    m_rows[RowFanSpeed].lineEdit->setText(QString::number(m_data.fanSpeedValue));
    m_rows[RowShutdownMemory].unit->setText(unitText(m_data.shutdownMemoryUnit));
    m_rows[RowShutdownCPU].unit->setText(unitText(m_data.shutdownCPUUnit));
    m_rows[RowFanSpeed].unit->setText(unitText(m_data.fanSpeedUnit));
    const COLORREF c = m_data.loadingColor;
    btn_Loading_Color->setStyleSheet(QStringLiteral("QPushButton{background-color:rgb(%1,%2,%3); border-radius:10px; "
                                                    "margin:5 5 5 5;}")
                                         .arg(c & 0xFF)
                                         .arg((c >> 8) & 0xFF)
                                         .arg((c >> 16) & 0xFF));
    update();
}

void Noti_View::updateLanguage_Noti()
{
    label_Title->setText(tr("Setting Notification"));
    m_rows[RowLoading].name->setText(tr("Loading"));
    m_rows[RowShutdownMemory].name->setText(tr("Memory"));
    m_rows[RowShutdownCPU].name->setText(tr("CPU"));
    m_rows[RowFanSpeed].name->setText(tr("CPU"));
    m_rows[RowLoading].action->setText(tr("Trigger all LED "));
    m_rows[RowShutdownMemory].action->setText(tr("Shutdown PC"));
    m_rows[RowShutdownCPU].action->setText(tr("Shutdown PC"));
    m_rows[RowFanSpeed].action->setText(tr("Set all fans to 100%"));
    const QFont font = arialPx(kLabelFontPx[ProgramState::effectiveLanguage()]);
    for (const RowWidgets &w : m_rows) {
        w.name->setFont(font);
        w.arrow->setFont(font);
        w.action->setFont(font);
    }
    placeColourButton();
}

void Noti_View::placeColourButton()
{
    const QLabel *action = m_rows[RowLoading].action;
    const int textWidth = action->fontMetrics().horizontalAdvance(action->text());
    btn_Loading_Color->move(action->x() + textWidth + 6, action->y());
}

bool Noti_View::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        update();
    } else if (event->type() == QEvent::FocusOut) {
        // Text typed but not confirmed with Return is dropped.
        refreshWidgets();
    }
    return QWidget::eventFilter(watched, event);
}

void Noti_View::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPoint grid = widget_Grid->pos();
    const auto underline = [&](const QWidget *widget, const QColor &colour) {
        const QRect r = widget->geometry().translated(grid);
        painter.fillRect(QRect(r.left(), r.bottom() + 1, r.width(), 1), colour);
    };
    for (const RowWidgets &w : m_rows) {
        if (w.lineEdit->isHidden())
            continue;
        underline(w.lineEdit, w.lineEdit->hasFocus() ? kFocusLine : kIdleLine);
    }
    const QLineEdit *loading = m_rows[RowLoading].lineEdit;
    if (!loading->isHidden())
        underline(m_rows[RowLoading].unit, loading->hasFocus() ? kFocusLine : kIdleLine);
}

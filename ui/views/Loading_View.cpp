#include "Loading_View.h"

#include "ProgramNames.h"
#include "ProgramState.h"

#include "NamedMutex.h"
#include "WindowMessenger.h"

#include <QApplication>
#include <QConicalGradient>
#include <QDebug>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace {
constexpr int kWarningWidth = 434;
constexpr int kWarningHeight = 130;
constexpr int kSpinMs = 40;
constexpr int kSpinnerRadius = 40;
constexpr int kSpinnerPen = 10;
constexpr int kStatusGap = 24;
constexpr int kStatusHeight = 60;
constexpr int kStatusMargin = 150;
constexpr int kStatusPaddingX = 16;
constexpr int kStatusPaddingY = 8;
} // namespace

Loading_View::Loading_View(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Loading_View"));
    resize(1000, 600);

    m_timer = new QTimer(this);
    m_timer->setInterval(kSpinMs);
    connect(m_timer, &QTimer::timeout, this, &Loading_View::rotate);

    label_Warning = new QLabel(this);
    label_Warning->setObjectName(QStringLiteral("label_Warning"));
    label_Warning->setGeometry((width() - kWarningWidth) / 2, (height() - kWarningHeight) / 2, kWarningWidth,
                               kWarningHeight);
    label_Warning->setStyleSheet(QStringLiteral("QLabel#label_Warning{background-color: rgb(70,70,70);}"));

    label_Warning_Content = new QLabel(label_Warning);
    label_Warning_Content->setObjectName(QStringLiteral("label_Warning_Content"));
    label_Warning_Content->setGeometry(0, 0, kWarningWidth, kWarningHeight / 2);
    label_Warning_Content->setAlignment(Qt::AlignCenter);
    label_Warning_Content->setStyleSheet(QStringLiteral(
        "QLabel#label_Warning_Content{font-family: Arial; font-size: 18px; color: white; background-color: rgb(70,70,70);}"));
    label_Warning_Content->setText(tr("Can not Find KV VELTRIMA"));

    // Created after the text, whose opaque background would otherwise cover it.
    auto *warningImage = new QLabel(label_Warning);
    warningImage->setObjectName(QStringLiteral("label_Warning_Image"));
    warningImage->setGeometry(16, 16, 28, 28);
    warningImage->setScaledContents(true);
    warningImage->setPixmap(QPixmap(QStringLiteral(":/KVRGBMemory/Images/Warning.png")));

    btn_OK = new QPushButton(tr("OK"), label_Warning);
    btn_OK->setObjectName(QStringLiteral("btn_OK"));
    btn_OK->setGeometry((kWarningWidth - 50) / 2, kWarningHeight - 30 - 20, 50, 20);
    btn_OK->setStyleSheet(QStringLiteral("QPushButton#btn_OK{font-family: Arial; font-size: 12px; color: white;"
                                         "border: 1px solid white; border-radius: 10px; background: transparent;}"));
    connect(btn_OK, &QPushButton::released, this, &Loading_View::slot_CloseApp);

    label_Warning->hide();

    label_Status = new QLabel(this);
    label_Status->setObjectName(QStringLiteral("label_Status"));
    label_Status->setAlignment(Qt::AlignCenter);
    label_Status->setWordWrap(true);
    // The page's own texts show through the shade; a dark plate keeps the status readable.
    label_Status->setStyleSheet(QStringLiteral("QLabel#label_Status{font-family: Arial; font-size: 18px; color: white;"
                                               " background: rgba(0,0,0,220); border-radius: 8px; padding: %1px %2px;}")
                                    .arg(kStatusPaddingY)
                                    .arg(kStatusPaddingX));
    label_Status->ensurePolished();
    label_Status->hide();
}

void Loading_View::setStatusText(const QString &text)
{
    if (label_Status->text() != text) {
        label_Status->setText(text);
        placeStatus();
    }
    label_Status->setVisible(!text.isEmpty());
}

void Loading_View::placeStatus()
{
    // The plate fits the text, centred under the spinner, wrapping within the margins.
    const int widest = width() - 2 * kStatusMargin - 2 * kStatusPaddingX;
    const QRect text = label_Status->fontMetrics().boundingRect(QRect(0, 0, widest, kStatusHeight),
                                                                Qt::AlignHCenter | Qt::TextWordWrap, label_Status->text());
    const int plateWidth = text.width() + 2 * kStatusPaddingX + 2;
    const int plateHeight = text.height() + 2 * kStatusPaddingY;
    const int top = spinnerCentre().y() + kSpinnerRadius + kSpinnerPen / 2 + kStatusGap;
    label_Status->setGeometry((width() - plateWidth) / 2, top, plateWidth, plateHeight);
}

QString Loading_View::statusText() const
{
    return label_Status->isHidden() ? QString() : label_Status->text();
}

bool Loading_View::isWarningShown() const
{
    return !label_Warning->isHidden();
}

void Loading_View::setLoading(bool loading)
{
    m_loading = loading;
    if (loading) {
        show();
        raise();
        if (!m_timer->isActive())
            m_timer->start();
    } else {
        hide();
        m_timer->stop();
    }
}

void Loading_View::isProductWarning(bool warning)
{
    label_Warning->setVisible(warning);
    if (warning)
        label_Warning->raise();
}

QPoint Loading_View::spinnerCentre() const
{
    return QPoint(width() / 2, height() / 2);
}

QRect Loading_View::spinnerRect() const
{
    // The arc's circle plus half its pen and a pixel for smoothing.
    const int reach = kSpinnerRadius + kSpinnerPen / 2 + 1;
    return QRect(spinnerCentre() - QPoint(reach, reach), QSize(2 * reach, 2 * reach));
}

void Loading_View::rotate()
{
    m_angle = (m_angle + 20) % 360;
    // Only the spinner changes; repainting the whole shaded window 25 times a second
    // would cost far more than the spinner itself.
    update(spinnerRect());
}

void Loading_View::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor shade(0, 0, 0, 200);
    painter.setPen(shade);
    painter.fillRect(rect(), shade);
    if (!m_loading)
        return;

    // A white head fading through grey: on the 80 % black shade a grey head hardly shows.
    QConicalGradient gradient(0, 0, 0);
    gradient.setColorAt(0.0, QColor(255, 255, 255, 255));
    gradient.setColorAt(0.3, QColor(150, 150, 150, 170));
    gradient.setColorAt(1.0, QColor(0, 0, 0, 0));
    painter.translate(spinnerCentre());
    painter.rotate(m_angle);
    painter.setPen(QPen(QBrush(gradient), kSpinnerPen));
    painter.setBrush(Qt::NoBrush);
    const int r = kSpinnerRadius;
    painter.drawArc(QRect(-r, -r, 2 * r, 2 * r), 0, 360 * 16);
}

void Loading_View::slot_CloseApp()
{
    // Quit both programs: the user interface first, then the control program.
    if (NamedMutex::probe(QString::fromLatin1(ProgramNames::kUiMutex))) {
        const QString title = QString::fromLatin1(ProgramNames::kMainViewTitle);
        const WindowMessenger::Window window = WindowMessenger::findWindow(title);
        qDebug() << "Loading_View::slot_CloseApp" << title << "window of pid" << window.pid;
        if (window.isValid())
            WindowMessenger::sendMessage(window, ProgramNames::kMsgQuit, 1, 1);
    }
    if (NamedMutex::probe(QString::fromLatin1(ProgramNames::kControlMutex))) {
        const QString title = QString::fromLatin1(ProgramNames::kControlWindowTitle);
        const WindowMessenger::Window window = WindowMessenger::findWindow(title);
        qDebug() << "Loading_View::slot_CloseApp" << title << "window of pid" << window.pid;
        if (window.isValid())
            WindowMessenger::sendMessage(window, ProgramNames::kMsgQuit, 1, 1);
    }
    ProgramState::quitApplication();
}

// The warning may be on show when the user's language arrives from the channel.
void Loading_View::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        label_Warning_Content->setText(tr("Can not Find KV VELTRIMA"));
        btn_OK->setText(tr("OK"));
    }
    QWidget::changeEvent(event);
}

#include "Information_View.h"

#include "Information_Slots_View.h"
#include "ProgramState.h"

#include <QConicalGradient>
#include <QLabel>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
const QRect kDialRect(450, 165, 240, 240);
constexpr int kDialStartDegrees = 210;
constexpr int kDialSweepDegrees = 240;
constexpr int kLeftLabelHeight = 28;
const QColor kDialTrackColour(70, 70, 70);
} // namespace

Information_View::Information_View(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Information_View"));
    // The page shows the window's themed background: a plain widget paints no style-sheet
    // background of its own, so the grey below stays unpainted (no WA_StyledBackground).
    resize(800, 510);
    setStyleSheet(QStringLiteral("QWidget#Information_View { font-family: Arial; background-color:gray;}"
                                 "QLabel {font-family: Arial; color:white; font-size:18px;}"));

    m_slots = new Information_Slots_View(this);
    m_slots->move(20, 30);

    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    int y = m_slots->y() + m_slots->height() + 10;
    label_Channel = makeLabel("label_Channel", QRect(20, y, 380, kLeftLabelHeight), left, QString());
    y += kLeftLabelHeight + 5;
    label_CAS = makeLabel("label_CAS", QRect(20, y, 380, kLeftLabelHeight), left, QString());
    y += kLeftLabelHeight + 5;
    label_RAS = makeLabel("label_RAS", QRect(20, y, 380, kLeftLabelHeight), left, QString());
    y += kLeftLabelHeight + 5;
    label_Frequency = makeLabel("label_Frequency", QRect(20, y, 380, kLeftLabelHeight), left, QString());

    label_Usage = makeLabel("label_Usage", QRect(420, 35, 150, 36), Qt::AlignRight | Qt::AlignVCenter,
                            QStringLiteral("color: rgb(0,229,224); font-size: 28px;"));
    label_Total = makeLabel("label_Total", QRect(570, 35, 200, 36), left,
                            QStringLiteral("color: white; font-size: 28px;"));
    label_Dashboard = makeLabel("label_Dashboard", QRect(450, 250, 243, 50), Qt::AlignCenter,
                                QStringLiteral("font-size: 44px;"));
    label_Percent = makeLabel("label_Percent", QRect(450, 300, 180, 70), Qt::AlignRight | Qt::AlignVCenter,
                              QStringLiteral("font-size: 60px;"));
    label_Percent_Unit = makeLabel("label_Percent_Unit", QRect(634, 320, 40, 40), left,
                                   QStringLiteral("font-size: 24px;"));
    label_Percent_Unit->setText(QStringLiteral("%"));
    label_Dashboard_Low = makeLabel("label_Dashboard_Low", QRect(340, 320, 90, 36), Qt::AlignCenter,
                                    QStringLiteral("font-size: 28px;"));
    label_Dashboard_High = makeLabel("label_Dashboard_High", QRect(705, 320, 90, 36), Qt::AlignCenter,
                                     QStringLiteral("font-size: 28px;"));

    HWData empty = makeZeroHWData();
    empty.reset();
    setHWData(empty);
    updateLanguage_Info();
}

QLabel *Information_View::makeLabel(const char *name, const QRect &geometry, Qt::Alignment alignment,
                                    const QString &style)
{
    auto *label = new QLabel(this);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setAlignment(alignment);
    if (!style.isEmpty())
        label->setStyleSheet(QStringLiteral("QLabel#%1 {%2}").arg(QLatin1String(name), style));
    return label;
}

void Information_View::setMemoryCount(int count)
{
    m_slots->setMemoryCount(count);
}

QString Information_View::channelValue(int channelCount)
{
    // No channel mode (0) reads as N/A like any unknown one: the translated prefix already
    // ends in a blank.
    switch (channelCount) {
    case 2:
        return QStringLiteral("Dual");
    case 4:
        return QStringLiteral("Quad");
    default:
        return QStringLiteral("N/A");
    }
}

QString Information_View::numberOrNA(double value)
{
    return value < 0 ? QStringLiteral("N/A") : QString::number(value, 'g', 6);
}

qint64 Information_View::totalModuleSize(const HWData &data)
{
    const int count = std::clamp(data.memoryCount, 0, kModuleCount);
    qint64 total = 0;
    for (int p = 0; p < count; ++p) {
        if (data.memoryIndex[p] >= 0 && data.memoryData[p].memoryModuleSize > 0)
            total += data.memoryData[p].memoryModuleSize;
    }
    return total;
}

int Information_View::dialSpanDegrees() const
{
    return m_load < 0 ? 0 : int(m_load * 2.4);
}

void Information_View::setSystemData(HWData *)
{
}

void Information_View::setSystemData1(HWData)
{
}

void Information_View::setHWData(HWData d)
{
    label_RAS->setText(tr("RAS# to CAS# Delay (tRCD):")
                       + (d.tRCD < 0 ? QStringLiteral("N/A") : QString::number(d.tRCD)));

    // A missing reading empties the dial rather than leaving the last value up.
    // Any other process may write the channel: a NaN load counts as no reading.
    const double load = d.physicalMemoryLoad;
    m_load = (std::isnan(load) || load < 0) ? -1.0 : std::clamp(load, 0.0, 100.0);

    label_Channel->setText(tr("Channel:") + channelValue(d.channelCount));
    label_CAS->setText(tr("CAS# Latency (CL):") + numberOrNA(d.casLatency));
    label_Frequency->setText(tr("Frequency:") + numberOrNA(d.clock));

    const qint64 total = totalModuleSize(d);
    if (total > 0) {
        label_Total->setText(QStringLiteral(" / ") + QString::number(total / 1024) + QStringLiteral(" GB"));
        label_Usage->setText(d.physicalMemoryUsed < 0
                                 ? QString()
                                 : QString::number(d.physicalMemoryUsed / 1024) + QStringLiteral("GB"));
    } else {
        label_Total->setText(QStringLiteral("N/A"));
        label_Usage->clear();
    }

    label_Percent->setText(m_load < 0 ? QStringLiteral("N/A") : QString::number(m_load, 'f', 2));

    m_slots->setModules(d.memoryData);
    update();
}

void Information_View::updateLanguage_Info()
{
    label_Dashboard->setText(tr("Load"));
    label_Dashboard_Low->setText(tr("Low"));
    label_Dashboard_High->setText(tr("High"));
    const int px = ProgramState::effectiveLanguage() == LanguageRussian ? 24 : 28;
    const QString style = QStringLiteral("QLabel#label_Dashboard_High {font-size: %1px;}").arg(px);
    if (label_Dashboard_High->styleSheet() != style)
        label_Dashboard_High->setStyleSheet(style);
    m_slots->updateLanguage();
}

void Information_View::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    // Qt's dark grey is the page's own grey; the track needs a darker one to show.
    painter.setPen(QPen(kDialTrackColour, 3));
    painter.drawArc(kDialRect, kDialStartDegrees * 16, -kDialSweepDegrees * 16);

    const int span = dialSpanDegrees();
    if (span > 0) {
        QConicalGradient gradient(525, 240, 320);
        gradient.setColorAt(0.0, Qt::red);
        gradient.setColorAt(0.4, QColor(0, 200, 251));
        gradient.setColorAt(0.7, QColor(2, 93, 182));
        painter.setPen(QPen(QBrush(gradient), 20, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(kDialRect, kDialStartDegrees * 16, -span * 16);
    }

    painter.fillRect(QRect(450, 75, 243, 2), Qt::gray);
    painter.fillRect(QRect(435, 335, 10, 4), Qt::green);
    painter.fillRect(QRect(690, 335, 10, 4), Qt::red);
}

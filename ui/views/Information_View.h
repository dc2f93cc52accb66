// The information page: channel mode, timings, clock, memory use and load, and the
// per-module panel. It only displays what the base window's poll hands it.
#pragma once

#include "HWData.h"

#include <QWidget>

class Information_Slots_View;
class QLabel;

class Information_View : public QWidget
{
    Q_OBJECT
public:
    explicit Information_View(QWidget *parent = nullptr);

    void setMemoryCount(int count);
    Information_Slots_View *slotsView() const { return m_slots; }
    // The load the dial shows (0..100), or a negative value for none.
    double dialLoad() const { return m_load; }
    // The dial's arc in whole degrees.
    int dialSpanDegrees() const;

    static QString channelValue(int channelCount);
    static QString numberOrNA(double value);
    // Sum of the sizes in MB of the modules the record lists.
    static qint64 totalModuleSize(const HWData &data);

public slots:
    void setSystemData(HWData *data);
    void setSystemData1(HWData data);
    void setHWData(HWData data);
    void updateLanguage_Info();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *makeLabel(const char *name, const QRect &geometry, Qt::Alignment alignment, const QString &style);

    double m_load = -1.0;
    Information_Slots_View *m_slots = nullptr;
    QLabel *label_Channel = nullptr;
    QLabel *label_CAS = nullptr;
    QLabel *label_RAS = nullptr;
    QLabel *label_Frequency = nullptr;
    QLabel *label_Usage = nullptr;
    QLabel *label_Total = nullptr;
    QLabel *label_Dashboard = nullptr;
    QLabel *label_Percent = nullptr;
    QLabel *label_Percent_Unit = nullptr;
    QLabel *label_Dashboard_Low = nullptr;
    QLabel *label_Dashboard_High = nullptr;
};

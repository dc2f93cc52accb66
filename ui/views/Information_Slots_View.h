// The per-module panel of the information page: a row of module buttons and the
// selected module's type, size, frequency and temperature.
#pragma once

#include "MemoryModuleData.h"

#include <QWidget>

#include <array>

class QButtonGroup;
class QLabel;

class Information_Slots_View : public QWidget
{
    Q_OBJECT
public:
    explicit Information_Slots_View(QWidget *parent = nullptr);

    // Rebuilds the module buttons when the count changes (clamped to 0..8).
    void setMemoryCount(int count);
    int memoryCount() const { return m_memoryCount; }
    void setModules(const MemoryModuleData (&modules)[kModuleCount]);
    void updateLanguage();

    int selectedModule() const;
    // The y of the line under the module buttons, in the panel's coordinates.
    static int lineY();
    static int lineWidth();
    QString typeText() const;
    QString sizeText() const;
    QString frequencyText() const;
    QString temperatureText() const;

    static QString sizeValue(const MemoryModuleData &module);
    static QString frequencyValue(const MemoryModuleData &module);
    static QString temperatureValue(const MemoryModuleData &module);

public slots:
    void slot_Select_Memory();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void rebuildButtons();
    void showSelected();

    std::array<MemoryModuleData, kModuleCount> m_modules{};
    int m_memoryCount = 0;
    QWidget *widget_Buttons = nullptr;
    QButtonGroup *m_group = nullptr;
    QLabel *label_Type = nullptr;
    QLabel *label_Size = nullptr;
    QLabel *label_Frequency = nullptr;
    QLabel *label_Temperature = nullptr;
};

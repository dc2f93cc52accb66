// The notification page: the four rules the control program watches (load colour,
// memory and CPU overheat shutdown, fan speed through the hub program). Every change is
// sent at once as a whole record; there is no Apply button.
#pragma once

#include "NotiEventData.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class SwitchButton;
class Widget_Select_Palette;

class Noti_View : public QWidget
{
    Q_OBJECT
public:
    explicit Noti_View(QWidget *parent = nullptr);

    NotiEventData notiData() const { return m_data; }

    // The degree sign and "C" for unit 0, "F" for unit 1, nothing otherwise.
    static QString unitText(int unit);

signals:
    void sendNotiData(NotiEventData data);

public slots:
    void slot_Loading_Switch(bool on);
    void slot_Shutdown_Switch(bool on);
    void slot_Shutdown_CPU_Switch(bool on);
    void slot_FanSpeed_Switch(bool on);
    void slot_LineEdit_Loading();
    void slot_LineEdit_Shutdown_Memory();
    void slot_LineEdit_Shutdown_CPU();
    void slot_LineEdit_FanSpeed();
    void slot_Loading_Color();
    void slot_Palette_Color(COLORREF colour);
    void setNotiData(NotiEventData data);
    void updateLanguage_Noti();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum Row { RowLoading, RowShutdownMemory, RowShutdownCPU, RowFanSpeed, RowCount };
    struct RowWidgets {
        SwitchButton *switchButton = nullptr;
        QLabel *name = nullptr;
        QLineEdit *lineEdit = nullptr;
        QPushButton *unit = nullptr;
        QLabel *arrow = nullptr;
        QLabel *action = nullptr;
    };

    void createRow(Row row, const QString &lineEditName, int bottom, int top);
    void setRowVisible(Row row, bool visible);
    void refreshWidgets();
    void send(int type);
    // A value typed into a row: kept when acceptable, sent, and the field left.
    void commitLineEdit(Row row, int &value, int type);
    // The line edit's value when its validator accepts it, else `current`.
    static int acceptedValue(const QLineEdit *lineEdit, int current);
    void placeColourButton();

    NotiEventData m_data{};
    QLabel *label_Title = nullptr;
    QWidget *widget_Grid = nullptr;
    RowWidgets m_rows[RowCount];
    QPushButton *btn_Loading_Color = nullptr;
    Widget_Select_Palette *m_palette = nullptr;
};

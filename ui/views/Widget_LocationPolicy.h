// The consent dialog for the use of the current location. For now a minimal dialog
// with the connections the base window relies on.
#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

class Widget_LocationPolicy : public QWidget
{
    Q_OBJECT
public:
    explicit Widget_LocationPolicy(QWidget *parent = nullptr);

    // Re-reads the texts from the current translation; called before the dialog is shown.
    void updateTexts();

signals:
    void sendPushOK(bool allow);

public slots:
    void pushOK();
    void RemindChange(bool allow);

private:
    bool m_allow = false;
    QLabel *label_Title = nullptr;
    QLabel *label_Content = nullptr;
    QCheckBox *checkBox_Remind = nullptr;
    QPushButton *btn_OK = nullptr;
};

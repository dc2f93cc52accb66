// The consent dialog for the use of the current location, shown when the clock light
// mode is chosen while the location setting is off. It can be dragged anywhere.
#pragma once

#include <QPoint>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

class Widget_LocationPolicy : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 230;

    explicit Widget_LocationPolicy(QWidget *parent = nullptr);

    // Re-reads the four texts from the current translation; called before the dialog is shown.
    void updateTexts();

    bool allowed() const { return m_allow; }
    QCheckBox *allowBox() const { return checkBox_Remind; }
    QPushButton *okButton() const { return btn_OK; }

signals:
    void sendPushOK(bool allow);

public slots:
    void pushOK();
    void RemindChange(bool allow);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void placeAllowBox();

    bool m_allow = false;
    bool m_dragging = false;
    QPoint m_pressPosition;
    QLabel *label_Title = nullptr;
    QLabel *label_Content = nullptr;
    QCheckBox *checkBox_Remind = nullptr;
    QPushButton *btn_OK = nullptr;
};

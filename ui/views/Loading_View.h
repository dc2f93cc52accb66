// The overlay over the whole main window: spins until the control program's first data
// arrive, and warns when the board has memory slots but no lighting module was found.
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;

class Loading_View : public QWidget
{
    Q_OBJECT
public:
    explicit Loading_View(QWidget *parent = nullptr);

    void setLoading(bool loading);
    void isProductWarning(bool warning);
    // A line under the spinner saying what the window waits for; empty hides it.
    void setStatusText(const QString &text);
    QString statusText() const;

    bool isLoading() const { return m_loading; }
    bool isWarningShown() const;
    int angle() const { return m_angle; }

public slots:
    void rotate();
    void slot_CloseApp();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QPoint spinnerCentre() const;
    void placeStatus();
    QRect spinnerRect() const;

    bool m_loading = false;
    int m_angle = 20;
    QTimer *m_timer = nullptr;
    QLabel *label_Warning = nullptr;
    QLabel *label_Warning_Content = nullptr;
    QLabel *label_Status = nullptr;
    QPushButton *btn_OK = nullptr;
};

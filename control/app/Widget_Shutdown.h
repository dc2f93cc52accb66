// The countdown before a forced shutdown on overheating: a small frameless window that
// counts 30 seconds down and then asks for the shutdown, unless the user shuts down at
// once or cancels.
#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QPushButton;

class Widget_Shutdown : public QWidget
{
    Q_OBJECT
public:
    enum Source { NoSource = -1, MemorySource = 0, CpuSource = 1 };
    static constexpr int kCountdownSeconds = 30;

    explicit Widget_Shutdown(QWidget *parent = nullptr);

    // Resets the texts and the counter for `source` and starts the one-second ticks.
    void startCountdown(int source);
    // Shows the window centred on the primary screen, above the others and active.
    void present();
    // Stops the ticks and hides the window; nothing is emitted.
    void stopCountdown();

    bool isCounting() const { return m_timer.isActive(); }
    int source() const { return m_source; }
    int counter() const { return m_counter; }

signals:
    void Signal_Shutdown(int source);
    void Signal_Shutdown_Cancel(int source);

public slots:
    void slot_Countdown();
    void slot_Shutdown();
    void slot_Shutdown_Cancel();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The texts for the source and the seconds left, in the current language.
    void updateTexts();

    int m_counter = 0;
    int m_source = NoSource;
    QTimer m_timer;
    QLabel *label_Warning_Alert = nullptr;
    QLabel *label_Shutdown_Alert = nullptr;
    QPushButton *btn_OK = nullptr;
    QPushButton *btn_Cancel = nullptr;
};

// The countdown before a forced shutdown on overheating. Hidden until a check asks for
// it; the countdown and its texts come with the overheat guard.
#pragma once

#include <QWidget>

class Widget_Shutdown : public QWidget
{
    Q_OBJECT
public:
    explicit Widget_Shutdown(QWidget *parent = nullptr);

signals:
    void Signal_Shutdown(int source);
    void Signal_Shutdown_Cancel(int source);

public slots:
    void slot_Countdown();
    void slot_Shutdown();
    void slot_Shutdown_Cancel();

private:
    int m_source = -1;
};

// The notification page. For now a placeholder with the page's connections.
#pragma once

#include "NotiEventData.h"

#include <QWidget>

class QLabel;

class Noti_View : public QWidget
{
    Q_OBJECT
public:
    explicit Noti_View(QWidget *parent = nullptr);

    NotiEventData notiData() const { return m_data; }

signals:
    void sendNotiData(NotiEventData data);

public slots:
    void setNotiData(NotiEventData data);
    void updateLanguage_Noti();

private:
    NotiEventData m_data{};
    QLabel *label_Title = nullptr;
};

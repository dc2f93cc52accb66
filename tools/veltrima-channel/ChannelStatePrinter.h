#pragma once

#include "HWData.h"

#include <QJsonObject>
#include <QString>
#include <QVector>

// Renders a snapshot of the channel: readable text for people, JSON for scripts.
class ChannelStatePrinter
{
public:
    ChannelStatePrinter(const HWData &data, QVector<COLORREF> syncColours)
        : m_data(data), m_syncColours(std::move(syncColours))
    {
    }

    QString text() const;
    QJsonObject json() const;

    static QString colourText(COLORREF colour);
    static QString notiEventText(const NotiEventData &event);

private:
    HWData m_data;
    QVector<COLORREF> m_syncColours;
};

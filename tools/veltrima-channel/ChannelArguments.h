#pragma once

#include "LightingTypes.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// Parses the tool's words: numbers, colours (decimal or 0x hex COLORREF), lists and
// named options. Every parser reports a readable reason when it refuses.
class ChannelArguments
{
public:
    explicit ChannelArguments(QStringList words) : m_words(std::move(words)) {}

    // Removes "--name value" from the words; nullopt when absent. A name without a
    // value sets error().
    std::optional<QString> takeOption(const QString &name);
    bool takeFlag(const QString &name);
    // The remaining words; an unknown "--option" among them sets error().
    QStringList positional();

    std::optional<int> toInt(const QString &text, const QString &what, int minimum, int maximum);
    std::optional<COLORREF> toColour(const QString &text, const QString &what);
    std::optional<float> toBrightness(const QString &text, const QString &what);
    std::optional<bool> toSwitch(const QString &text, const QString &what);
    std::optional<QVector<COLORREF>> toColours(const QString &text, const QString &what, int maximum);

    bool failed() const { return !m_error.isEmpty(); }
    QString error() const { return m_error; }
    void fail(const QString &message);

private:
    QStringList m_words;
    QString m_error;
};

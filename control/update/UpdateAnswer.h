// What the update service answered, read from its JSON body without acting on it, so
// that a hostile answer can be checked on its own.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <optional>

struct UpdateAnswer {
    QJsonObject document;
    QJsonObject data;
    QString resultCode;
    QString version;
    QString url;
    QString note;

    // Empty (with the reason in *error) when the body is not a JSON object.
    static std::optional<UpdateAnswer> parse(const QByteArray &body, QString *error = nullptr);
};

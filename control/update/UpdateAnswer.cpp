#include "UpdateAnswer.h"

#include <QJsonDocument>
#include <QJsonParseError>

std::optional<UpdateAnswer> UpdateAnswer::parse(const QByteArray &body, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument json = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !json.isObject()) {
        if (error)
            *error = parseError.error != QJsonParseError::NoError ? parseError.errorString()
                                                                   : QStringLiteral("not an object");
        return std::nullopt;
    }
    UpdateAnswer answer;
    answer.document = json.object();
    answer.data = answer.document.value(QStringLiteral("Data")).toObject();
    answer.resultCode = answer.document.value(QStringLiteral("Result_Code")).toString();
    answer.version = answer.data.value(QStringLiteral("version")).toString();
    answer.url = answer.data.value(QStringLiteral("url")).toString();
    answer.note = answer.data.value(QStringLiteral("note")).toString();
    return answer;
}

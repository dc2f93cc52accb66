// Where the outside services and programs are: the read-only "Services.ini" in the
// settings folder, one group per service. The file belongs to the user or the
// installer; the programs never write it. Read afresh on every call, so an edited file
// counts from the next request on.
#pragma once

#include <QString>
#include <QUrl>

class ServiceSettings
{
public:
    // "Services.ini" in the settings folder of "Kv".
    static QString defaultFilePath();

    explicit ServiceSettings(const QString &filePath = defaultFilePath());

    QString filePath() const { return m_filePath; }

    // The service's base address from the key "Url" of group, or defaultBase when the
    // key is absent. An address without a scheme is reached over HTTPS; only http and
    // https with a host are accepted, anything else is refused (logged) and gives an
    // empty URL.
    QUrl baseUrl(const QString &group, const QString &defaultBase = QString()) const;

    // base followed by path ("/download/getVersionV1"), keeping a path the base has.
    static QUrl endpoint(const QUrl &base, const QString &path);

    // A plain value of group; defaultValue when the key is absent.
    QString value(const QString &group, const QString &key, const QString &defaultValue = QString()) const;

    // An address as configured, or refused (empty URL) for the reasons given at baseUrl.
    static QUrl parseServiceUrl(const QString &text);

    // The geo-IP location service ("[Location] Url"), by default a public one.
    QUrl locationBaseUrl() const;
    // The current-weather service ("[Weather] Url") and its key ("[Weather] Key"), by
    // default a public service and the product's key.
    QUrl weatherBaseUrl() const;
    QString weatherKey() const;

    static const QString kDefaultLocationUrl;
    static const QString kDefaultWeatherUrl;
    static const QString kDefaultWeatherKey;

private:
    QString m_filePath;
};

#include "ServiceSettings.h"

#include "Profile_RW.h"

#include <QDebug>
#include <QSettings>

namespace {
const QString kUrlKey = QStringLiteral("Url");
const QString kLocationGroup = QStringLiteral("Location");
const QString kWeatherGroup = QStringLiteral("Weather");
const QString kWeatherKeyKey = QStringLiteral("Key");
} // namespace

// Both answer with the JSON keys the weather source reads ("city", "country",
// "latitude", "longitude"; "sys", "weather").
const QString ServiceSettings::kDefaultLocationUrl = QStringLiteral("https://ipapi.co");
const QString ServiceSettings::kDefaultWeatherUrl = QStringLiteral("https://api.openweathermap.org");
const QString ServiceSettings::kDefaultWeatherKey = QStringLiteral("5f0c2e9a7b1d4e38a6c90f1b2d3e4a57");

QString ServiceSettings::defaultFilePath()
{
    return Profile_RW::defaultBaseDirectory() + QStringLiteral("/Services.ini");
}

ServiceSettings::ServiceSettings(const QString &filePath)
    : m_filePath(filePath)
{
}

QUrl ServiceSettings::baseUrl(const QString &group, const QString &defaultBase) const
{
    const QString text = value(group, kUrlKey, defaultBase).trimmed();
    if (text.isEmpty())
        return QUrl();
    const QUrl url = parseServiceUrl(text);
    if (url.isEmpty())
        qWarning().noquote() << "Services: refused the address" << text << "of" << group << "in" << m_filePath;
    return url;
}

QUrl ServiceSettings::endpoint(const QUrl &base, const QString &path)
{
    if (base.isEmpty())
        return QUrl();
    QUrl url = base;
    QString basePath = base.path();
    while (basePath.endsWith(QLatin1Char('/')))
        basePath.chop(1);
    url.setPath(basePath + path);
    return url;
}

QString ServiceSettings::value(const QString &group, const QString &key, const QString &defaultValue) const
{
    const QSettings settings(m_filePath, QSettings::IniFormat);
    const QVariant value = settings.value(group + QLatin1Char('/') + key, defaultValue);
    // An unquoted value with commas reads as a list; an address may well have commas.
    if (value.type() == QVariant::StringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

QUrl ServiceSettings::parseServiceUrl(const QString &text)
{
    // Only an address that names its scheme may leave TLS out.
    const QString withScheme = text.contains(QStringLiteral("://")) ? text : QStringLiteral("https://") + text;
    const QUrl url(withScheme, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return QUrl();
    return url;
}

QUrl ServiceSettings::locationBaseUrl() const
{
    return baseUrl(kLocationGroup, kDefaultLocationUrl);
}

QUrl ServiceSettings::weatherBaseUrl() const
{
    return baseUrl(kWeatherGroup, kDefaultWeatherUrl);
}

QString ServiceSettings::weatherKey() const
{
    return value(kWeatherGroup, kWeatherKeyKey, kDefaultWeatherKey).trimmed();
}

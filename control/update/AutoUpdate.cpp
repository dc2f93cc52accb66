#include "AutoUpdate.h"

#include "ServiceSettings.h"
#include "UpdateAnswer.h"
#include "UpdateNoteWindow.h"
#include "UpdaterLauncher.h"
#include "VersionNumber.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimer>
#include <QUuid>

#include <algorithm>

namespace {

const QString kVersionFile = QStringLiteral("Version.txt");
const QString kFileUrlFile = QStringLiteral("fileUrl.txt");
const QString kUuidFile = QStringLiteral("UUID.txt");
const QString kUpdateFile = QStringLiteral("KV_update.exe");

const QString kServiceGroup = QStringLiteral("Update");
const QString kUpdaterKey = QStringLiteral("Updater");
const QString kServicePath = QStringLiteral("/download/getVersionV1");
const QString kProductCode = QStringLiteral("Kv038");

bool isIdentifier(const QString &text)
{
    static const QRegularExpression uuid(
        QStringLiteral("^(%7B)?[0-9A-Fa-f]{8}(-[0-9A-Fa-f]{4}){3}-[0-9A-Fa-f]{12}(%7D)?$"));
    const QRegularExpressionMatch match = uuid.match(text);
    return match.hasMatch() && match.capturedLength(1) == match.capturedLength(3);
}

bool isPrintableAscii(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() > 0x20 && c.unicode() < 0x7f; });
}

QString programFolder()
{
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
}

} // namespace

AutoUpdate::AutoUpdate(QWidget *parent)
    : QWidget(parent)
    , m_version(QStringLiteral("1.0.2"))
    , m_manager(new QNetworkAccessManager(this))
{
    connect(m_manager, &QNetworkAccessManager::finished, this, &AutoUpdate::finishedSlot);
    m_folder.remove(kUpdateFile);
    m_folder.create();
}

void AutoUpdate::setupVersion(const QString &version)
{
    qDebug() << "setupVersion:" << version;
    m_version = version;
}

void AutoUpdate::getVersion()
{
    qDebug() << "getVersion---OldVersion:" << m_version;
    const QString oldVersion = checkOldVersion();
    qDebug() << "checkOldVersion():" << oldVersion;
    if (!compareVersion(m_version, oldVersion)) {
        post(QJsonObject{{QStringLiteral("command_type"), kProductCode}, {QStringLiteral("getUrl"), 1}});
        return;
    }
    // Running a newer version than the one noted before the updater started: the
    // update went through.
    qDebug() << "Update Success";
    getUpdateSuccess();
    if (m_folder.contains(kUpdateFile)) {
        qDebug() << "Delete Update File";
        m_folder.remove(kUpdateFile);
    }
    if (m_folder.contains(kVersionFile)) {
        qDebug() << "Delete Version.txt File";
        m_folder.remove(kVersionFile);
    }
}

QString AutoUpdate::checkOldVersion() const
{
    const std::optional<QString> noted = m_folder.readText(kVersionFile);
    if (!noted)
        return m_version;
    qDebug() << "Have file---APPDATA---Version:" << *noted;
    const QString version = noted->trimmed();
    // Anything but a version would pass for an older one and report an update that
    // never happened.
    static const QRegularExpression form(QStringLiteral("^\\d{1,9}(\\.\\d{1,9}){0,3}$"));
    if (!form.match(version).hasMatch()) {
        qWarning().noquote() << "Update: refused" << m_folder.filePath(kVersionFile) << "- not a version";
        return m_version;
    }
    return version;
}

bool AutoUpdate::compareVersion(const QString &newVersion, const QString &oldVersion)
{
    const VersionNumber fresh = VersionNumber::parse(newVersion);
    const VersionNumber old = VersionNumber::parse(oldVersion);
    qDebug() << "v2Length = " << fresh.patchDigits;
    qDebug() << "oldV2Length = " << old.patchDigits;
    qDebug() << "---------------------------------";
    qDebug() << "V0:" << fresh.major << ", V1:" << fresh.minor << ", V2:" << fresh.scaledPatch;
    qDebug() << "oldV0:" << old.major << ", oldV1:" << old.minor << ", oldV2:" << old.scaledPatch;
    qDebug() << "---------------------------------";

    if (fresh.major != old.major) {
        qDebug() << (fresh.major < old.major ? "11111" : "66666");
        return fresh.major > old.major;
    }
    if (fresh.minor != old.minor) {
        qDebug() << (fresh.minor < old.minor ? "22222" : "55555");
        return fresh.minor > old.minor;
    }
    const bool newer = fresh.scaledPatch > old.scaledPatch;
    qDebug() << (newer ? "44444" : "33333");
    return newer;
}

void AutoUpdate::getUpdateSuccess()
{
    post(QJsonObject{{QStringLiteral("UUID"), readUUID()},
                     {QStringLiteral("command_type"), kProductCode},
                     {QStringLiteral("currentVersion"), checkOldVersion()},
                     {QStringLiteral("updateVersion"), m_version},
                     {QStringLiteral("status"), QStringLiteral("ok")}});
}

void AutoUpdate::startUpdate()
{
    qDebug() << "Start update111";
    const QString folder = programFolder();
    const int language = m_languageSource ? m_languageSource() : 0;
    const QString program = UpdaterLauncher::resolveProgram(ServiceSettings().value(kServiceGroup, kUpdaterKey), folder);
    // A start that fails leaves "Version.txt" in place: the next start then still sees
    // the running version as the one before the update and asks again.
    UpdaterLauncher::start(program, UpdaterLauncher::parameters(language, m_version), folder);
}

bool AutoUpdate::isAcceptableDownloadUrl(const QString &url)
{
    if (url.isEmpty() || url.size() > kMaxDownloadUrlBytes || !isPrintableAscii(url))
        return false;
    const QUrl parsed(url, QUrl::StrictMode);
    const QString scheme = parsed.scheme();
    return parsed.isValid() && !parsed.host().isEmpty()
           && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

void AutoUpdate::finishedSlot(QNetworkReply *reply)
{
    qDebug() << "finishedSlot----------Start";
    if (!reply)
        return;
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError) {
        qDebug() << "handle errors here";
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        qDebug().noquote() << QString::asprintf("found error ....code: %d %d", status, int(reply->error()));
        qDebug() << reply->errorString();
        qDebug() << "strId:" << m_newUuid;
    } else {
        handleAnswer(reply->readAll());
    }
    qDebug() << "finishedSlot----------End";
}

void AutoUpdate::handleAnswer(const QByteArray &body)
{
    QString error;
    const std::optional<UpdateAnswer> answer = UpdateAnswer::parse(body, &error);
    if (!answer) {
        qDebug() << "Update: the answer is not a JSON object:" << error;
        return;
    }
    qDebug() << "json_obj:" << answer->document;
    qDebug() << "Data:" << answer->data << "------------------------";

    const QString &version = answer->version;
    if (answer->resultCode == QLatin1String("002")) {
        qDebug() << "version:" << version;
        if (compareVersion(version, m_version)) {
            qDebug() << "compareVersion Start Update";
            writeVersionFile();
            startUpdate();
        }
        return;
    }
    if (answer->resultCode != QLatin1String("001"))
        return;
    if (compareVersion(version, m_version)) {
        // Without an address of its own the updater would fetch whatever an earlier
        // answer left behind.
        if (!isAcceptableDownloadUrl(answer->url)) {
            qWarning() << "Update: refused the download address of version" << version << "- no update";
            return;
        }
        writeVersionFile();
        if (!writeFileUrl(answer->url))
            return;
        startUpdate();
        return;
    }
    qDebug() << "noteStr:" << answer->note;
    showUpdateNote(answer->note);
}

void AutoUpdate::post(const QJsonObject &request)
{
    const QByteArray json = QJsonDocument(request).toJson(QJsonDocument::Indented);
    const QByteArray base64 = json.toBase64();
    const QByteArray body = QByteArrayLiteral("ActiveData=") + base64;
    qDebug() << "strJson:" << json << ", activeData:" << body << ", aa.base64:" << base64;

    const ServiceSettings services;
    const QUrl base = services.baseUrl(kServiceGroup);
    if (base.isEmpty()) {
        qInfo().noquote() << "Update: no update service configured in" << services.filePath() << "- nothing asked";
        return;
    }
    QNetworkRequest networkRequest(ServiceSettings::endpoint(base, kServicePath));
    networkRequest.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
    QNetworkReply *reply = m_manager->post(networkRequest, body);
    // An abort ends in finishedSlot as a network error; once the reply is gone the timer is too.
    QTimer::singleShot(m_replyTimeoutMs, reply, &QNetworkReply::abort);
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64 total) {
        if (received > kMaxAnswerBytes || total > kMaxAnswerBytes)
            reply->abort();
    });
}

void AutoUpdate::writeUUID(const QString &uuid)
{
    m_folder.writeLatin1(kUuidFile, uuid);
}

QString AutoUpdate::identifierFromFile(const UpdateDataFolder &folder)
{
    const std::optional<QString> text = folder.readText(kUuidFile);
    if (!text)
        return QString();
    qDebug() << "returnUUID:" << *text;
    QString identifier = text->trimmed();
    if (identifier.startsWith(QLatin1Char('{'))) {
        const int close = identifier.indexOf(QLatin1Char('}'));
        identifier = QStringLiteral("%7B") + identifier.mid(1, close < 0 ? -1 : close - 1) + QStringLiteral("%7D");
    }
    if (!isIdentifier(identifier)) {
        qWarning().noquote() << "Update: refused the identifier in" << folder.filePath(kUuidFile);
        return QString();
    }
    return identifier;
}

QString AutoUpdate::readUUID()
{
    const QString stored = identifierFromFile(m_folder);
    if (!stored.isEmpty())
        return stored;
    qDebug() << "APPDATA File not find";

    const QString fromWorkingFolder = identifierFromFile(UpdateDataFolder(QDir::currentPath()));
    if (!fromWorkingFolder.isEmpty()) {
        qDebug() << "file1(UUID.txt) find";
        writeUUID(fromWorkingFolder);
        return fromWorkingFolder;
    }
    qDebug() << "file1(UUID.txt) not find";
    m_newUuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    writeUUID(m_newUuid);
    return m_newUuid;
}

void AutoUpdate::deleteUUID()
{
    m_folder.remove(kUuidFile);
}

void AutoUpdate::closeNode()
{
    if (m_noteWindow)
        m_noteWindow->close();
}

void AutoUpdate::showUpdateNote(const QString &note)
{
    if (!m_noteWindow) {
        m_noteWindow = new UpdateNoteWindow(this);
        connect(m_noteWindow, &UpdateNoteWindow::closeReleased, this, &AutoUpdate::closeNode);
    }
    m_noteWindow->appendNote(note);
    m_noteWindow->show();
}

void AutoUpdate::writeVersionFile()
{
    m_folder.writeLatin1(kVersionFile, m_version);
}

bool AutoUpdate::writeFileUrl(const QString &url)
{
    if (!isAcceptableDownloadUrl(url)) {
        qWarning() << "Update: refused to note the download address" << url.left(80);
        return false;
    }
    return m_folder.writeLatin1(kFileUrlFile, url);
}

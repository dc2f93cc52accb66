// Asks the update service whether a newer version exists, shows the service's release
// note, and hands a found update to the separate updater program. After an update it
// reports the success once and tidies its working files. Lives on the main thread; its
// only visible part is the note window.
#pragma once

#include "UpdateDataFolder.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class QJsonObject;
class QNetworkAccessManager;
class QNetworkReply;
class UpdateNoteWindow;

class AutoUpdate : public QWidget
{
    Q_OBJECT
public:
    // The language number of the settings at the moment the updater starts.
    using LanguageSource = std::function<int()>;

    static constexpr int kDefaultReplyTimeoutMs = 30 * 1000;
    // A version answer is a few hundred bytes; a longer one is cut off as an error.
    static constexpr qint64 kMaxAnswerBytes = 1024 * 1024;

    explicit AutoUpdate(QWidget *parent = nullptr);

    void setLanguageSource(LanguageSource source) { m_languageSource = std::move(source); }
    // How long a request may take before it is given up as a network error.
    void setReplyTimeout(int milliseconds) { m_replyTimeoutMs = milliseconds; }

    void setupVersion(const QString &version);
    QString currentVersion() const { return m_version; }

    // Sends the success report right after an update, otherwise the version query.
    void getVersion();
    // The version noted before the last update, or the current one when none (or no
    // version) is noted.
    QString checkOldVersion() const;
    // True when newVersion is newer than oldVersion.
    static bool compareVersion(const QString &newVersion, const QString &oldVersion);
    void getUpdateSuccess();
    void startUpdate();

    // Only a single-line http or https address of at most kMaxDownloadUrlBytes bytes is
    // handed to the updater.
    static constexpr int kMaxDownloadUrlBytes = 2048;
    static bool isAcceptableDownloadUrl(const QString &url);

public slots:
    void finishedSlot(QNetworkReply *reply);
    void writeUUID(const QString &uuid);
    QString readUUID();
    void deleteUUID();
    void closeNode();
    void showUpdateNote(const QString &note);
    void writeVersionFile();
    // False (logged) for an address isAcceptableDownloadUrl refuses.
    bool writeFileUrl(const QString &url);

private:
    void post(const QJsonObject &request);
    void handleAnswer(const QByteArray &body);
    // The identifier of "UUID.txt" in folder, in the form the service expects; empty
    // when the file is missing or holds no identifier.
    static QString identifierFromFile(const UpdateDataFolder &folder);

    QString m_version = QStringLiteral("1.0.0");
    QString m_newUuid;
    UpdateDataFolder m_folder;
    QNetworkAccessManager *m_manager;
    QPointer<UpdateNoteWindow> m_noteWindow;
    LanguageSource m_languageSource;
    int m_replyTimeoutMs = kDefaultReplyTimeoutMs;
};

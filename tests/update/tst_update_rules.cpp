// The update check's rules that need no service: version order, installation
// identifiers, the updater's parameters and location, and which addresses pass.
#include "AutoUpdate.h"
#include "ServiceSettings.h"
#include "TestEnvironment.h"
#include "UpdaterLauncher.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

const QByteArray kBareUuid = "3f2504e0-4f89-11d3-9a0c-0305e82c3301";

} // namespace

class TestUpdateRules : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void compareVersion_data();
    void compareVersion();
    void identifierForms_data();
    void identifierForms();
    void identifierFromWorkingFolderIsKept();
    void newIdentifierWhenNoneIsUsable();
    void updaterParameters();
    void updaterLocation();
    void serviceAddresses_data();
    void serviceAddresses();
    void downloadAddresses_data();
    void downloadAddresses();

private:
    QString dataFile(const QString &name) const { return m_env.configDir() + QStringLiteral("/Kv/VELTRIMARGB/") + name; }

    TestEnvironment m_env;
    QTemporaryDir m_workingFolder;
    QString m_previousFolder;
};

void TestUpdateRules::initTestCase()
{
    QVERIFY(m_workingFolder.isValid());
    m_previousFolder = QDir::currentPath();
}

void TestUpdateRules::init()
{
    QDir(m_env.configDir() + QStringLiteral("/Kv")).removeRecursively();
    QFile::remove(m_workingFolder.filePath(QStringLiteral("UUID.txt")));
    QVERIFY(QDir::setCurrent(m_workingFolder.path()));
}

void TestUpdateRules::cleanup()
{
    QDir::setCurrent(m_previousFolder);
}

void TestUpdateRules::compareVersion_data()
{
    QTest::addColumn<QString>("newVersion");
    QTest::addColumn<QString>("oldVersion");
    QTest::addColumn<bool>("newer");

    QTest::newRow("third part up") << "1.0.3" << "1.0.2" << true;
    QTest::newRow("10 reads as .10, older than .2") << "1.0.10" << "1.0.2" << false;
    QTest::newRow("second part decides") << "1.1.0" << "1.0.9" << true;
    QTest::newRow("equal") << "1.0.2" << "1.0.2" << false;
    QTest::newRow("20 and 2 are both 200") << "1.0.20" << "1.0.2" << false;
    QTest::newRow("first part decides") << "2.0.0" << "1.9.9" << true;
    QTest::newRow("first part older") << "0.9.9" << "1.0.0" << false;
    QTest::newRow("123 against 12") << "1.0.123" << "1.0.12" << true;
    QTest::newRow("four digits cut to three") << "1.0.1239" << "1.0.123" << false;
    QTest::newRow("missing parts are 0") << "1.0" << "0.9.9" << true;
    QTest::newRow("missing version is 0.0.0") << "" << "0.0.1" << false;
    QTest::newRow("non-numeric parts are 0") << "1.x.5" << "1.0.4" << true;
    QTest::newRow("sign is not a number") << "1.0.-5" << "1.0.0" << false;
    QTest::newRow("huge part is not a number") << "99999999999.0.0" << "1.0.0" << false;
    QTest::newRow("line end of a noted file") << "1.0.3" << "1.0.3\n" << false;
}

void TestUpdateRules::compareVersion()
{
    QFETCH(QString, newVersion);
    QFETCH(QString, oldVersion);
    QFETCH(bool, newer);
    QCOMPARE(AutoUpdate::compareVersion(newVersion, oldVersion), newer);
}

void TestUpdateRules::identifierForms_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("identifier");

    QTest::newRow("braced") << "{" + kBareUuid + "}" << "%7B" + QString::fromLatin1(kBareUuid) + "%7D";
    QTest::newRow("bare") << kBareUuid << QString::fromLatin1(kBareUuid);
    QTest::newRow("upper case bare") << kBareUuid.toUpper() << QString::fromLatin1(kBareUuid.toUpper());
    QTest::newRow("stored wrapped") << "%7B" + kBareUuid + "%7D" << "%7B" + QString::fromLatin1(kBareUuid) + "%7D";
    QTest::newRow("line end") << kBareUuid + "\r\n" << QString::fromLatin1(kBareUuid);
}

void TestUpdateRules::identifierForms()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, identifier);

    AutoUpdate update;
    writeFile(dataFile(QStringLiteral("UUID.txt")), content);
    QCOMPARE(update.readUUID(), identifier);
    QCOMPARE(fileBytes(dataFile(QStringLiteral("UUID.txt"))), content);
}

void TestUpdateRules::identifierFromWorkingFolderIsKept()
{
    AutoUpdate update;
    writeFile(m_workingFolder.filePath(QStringLiteral("UUID.txt")), "{" + kBareUuid + "}");
    const QString expected = QStringLiteral("%7B") + QString::fromLatin1(kBareUuid) + QStringLiteral("%7D");
    QCOMPARE(update.readUUID(), expected);
    QCOMPARE(fileBytes(dataFile(QStringLiteral("UUID.txt"))), expected.toLatin1());

    // The copy in the data folder wins from now on and reads back the same.
    QFile::remove(m_workingFolder.filePath(QStringLiteral("UUID.txt")));
    QCOMPARE(update.readUUID(), expected);

    update.deleteUUID();
    QVERIFY(!QFile::exists(dataFile(QStringLiteral("UUID.txt"))));
}

void TestUpdateRules::newIdentifierWhenNoneIsUsable()
{
    AutoUpdate update;
    // Not an identifier: it must not travel to the service as one.
    writeFile(dataFile(QStringLiteral("UUID.txt")), "x\",\"status\":\"evil");
    const QString created = update.readUUID();
    QVERIFY2(QRegularExpression(QStringLiteral("^[0-9a-f]{8}(-[0-9a-f]{4}){3}-[0-9a-f]{12}$")).match(created).hasMatch(),
             qPrintable(created));
    QCOMPARE(fileBytes(dataFile(QStringLiteral("UUID.txt"))), created.toLatin1());
    QCOMPARE(update.readUUID(), created);

    update.deleteUUID();
    const QString another = update.readUUID();
    QVERIFY(another != created);
    QCOMPARE(another.size(), 36);
}

void TestUpdateRules::updaterParameters()
{
    QCOMPARE(UpdaterLauncher::parameters(3, QStringLiteral("1.0.2")), QStringLiteral("VELTRIMARGB;DE;1.0.2"));
    const QStringList codes = {";en;", ";tc;", ";CN;", ";DE;", ";FR;", ";JP;", ";TH;", ";en;", ";en;", ";en;"};
    for (int language = 0; language < codes.size(); ++language)
        QCOMPARE(UpdaterLauncher::languageCode(language), codes[language]);
    QCOMPARE(UpdaterLauncher::languageCode(-1), QStringLiteral(";en;"));
    QCOMPARE(UpdaterLauncher::languageCode(42), QStringLiteral(";en;"));
}

void TestUpdateRules::updaterLocation()
{
    const QString folder = QStringLiteral("/opt/veltrima/bin");
    QCOMPARE(UpdaterLauncher::resolveProgram(QString(), folder), QStringLiteral("/opt/veltrima/bin/veltrima-update"));
    QCOMPARE(UpdaterLauncher::resolveProgram(QStringLiteral("tools/../up"), folder), QStringLiteral("/opt/veltrima/bin/up"));
    QCOMPARE(UpdaterLauncher::resolveProgram(QStringLiteral("/usr/lib/up"), folder), QStringLiteral("/usr/lib/up"));
    // Without the program's own folder a relative name has nowhere safe to point.
    QCOMPARE(UpdaterLauncher::resolveProgram(QString(), QString()), QString());
    QCOMPARE(UpdaterLauncher::resolveProgram(QStringLiteral("up"), QStringLiteral("relative")), QString());
    QVERIFY(!UpdaterLauncher::start(QStringLiteral("/nonexistent/veltrima-update"), QStringLiteral("x"), folder));
}

void TestUpdateRules::serviceAddresses_data()
{
    QTest::addColumn<QString>("configured");
    QTest::addColumn<QString>("endpoint");

    QTest::newRow("no scheme is https") << "updates.example.org" << "https://updates.example.org/download/getVersionV1";
    QTest::newRow("port without scheme") << "127.0.0.1:8080" << "https://127.0.0.1:8080/download/getVersionV1";
    QTest::newRow("http when said") << "http://127.0.0.1:8080" << "http://127.0.0.1:8080/download/getVersionV1";
    QTest::newRow("base path kept") << "https://example.org/api/" << "https://example.org/api/download/getVersionV1";
    QTest::newRow("other scheme refused") << "ftp://example.org" << "";
    QTest::newRow("file refused") << "file:///etc/passwd" << "";
    QTest::newRow("no host refused") << "http://" << "";
    QTest::newRow("absent") << "" << "";
}

void TestUpdateRules::serviceAddresses()
{
    QFETCH(QString, configured);
    QFETCH(QString, endpoint);

    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("Services.ini"));
    if (!configured.isEmpty())
        writeFile(file, "[Update]\nUrl=" + configured.toUtf8() + "\nUpdater=/x/y\n");
    const ServiceSettings services(file);
    QCOMPARE(ServiceSettings::endpoint(services.baseUrl(QStringLiteral("Update")), QStringLiteral("/download/getVersionV1"))
                 .toString(),
             endpoint);
    if (!configured.isEmpty())
        QCOMPARE(services.value(QStringLiteral("Update"), QStringLiteral("Updater")), QStringLiteral("/x/y"));
    QCOMPARE(services.baseUrl(QStringLiteral("Elsewhere"), QStringLiteral("http://d.example")).toString(),
             QStringLiteral("http://d.example"));
}

void TestUpdateRules::downloadAddresses_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("accepted");

    const QString prefix = QStringLiteral("https://d.example.org/");
    QTest::newRow("https") << "https://d.example.org/VELTRIMA_1.0.3.zip" << true;
    QTest::newRow("http") << "http://d.example.org/a?b=c" << true;
    QTest::newRow("2 KiB") << prefix + QString(2048 - prefix.size(), QLatin1Char('a')) << true;
    QTest::newRow("over 2 KiB") << prefix + QString(2049 - prefix.size(), QLatin1Char('a')) << false;
    QTest::newRow("two lines") << "https://d.example.org/a\nhttps://evil.example/" << false;
    QTest::newRow("carriage return") << "https://d.example.org/a\r" << false;
    QTest::newRow("space") << "https://d.example.org/a b" << false;
    QTest::newRow("other scheme") << "file:///etc/passwd" << false;
    QTest::newRow("no scheme") << "d.example.org/a" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("not Latin-1") << QString::fromUtf8("https://d.example.org/\u00e4\u4e2d") << false;
}

void TestUpdateRules::downloadAddresses()
{
    QFETCH(QString, url);
    QFETCH(bool, accepted);
    QCOMPARE(AutoUpdate::isAcceptableDownloadUrl(url), accepted);

    AutoUpdate update;
    QCOMPARE(update.writeFileUrl(url), accepted);
    QCOMPARE(QFile::exists(dataFile(QStringLiteral("fileUrl.txt"))), accepted);
    if (accepted)
        QCOMPARE(fileBytes(dataFile(QStringLiteral("fileUrl.txt"))), url.toLatin1());
}

QTEST_MAIN(TestUpdateRules)
#include "tst_update_rules.moc"

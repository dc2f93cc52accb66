// The update check's rules that need no service: version order, installation
// identifiers, the updater's parameters and location, and which addresses pass.
#include "AutoUpdate.h"
#include "ServiceSettings.h"
#include "TestEnvironment.h"
#include "UpdateTestFiles.h"
#include "UpdaterLauncher.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {
const QByteArray kUuid = "3f2504e0-4f89-11d3-9a0c-0305e82c3301";
}

class TestUpdateRules : public QObject
{
    Q_OBJECT

private slots:
    void compareVersion_data();
    void compareVersion();
    void notedVersion();
    void identifier_data();
    void identifier();
    void updaterStart();
    void serviceAddresses_data();
    void serviceAddresses();
    void downloadAddresses_data();
    void downloadAddresses();

private:
    QString dataFile(const QString &name) const { return m_env.configDir() + QStringLiteral("/Kv/VELTRIMARGB/") + name; }

    TestEnvironment m_env;
};

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
    QTest::newRow("first part older") << "0.9.9" << "1.0.0" << false;
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

void TestUpdateRules::notedVersion()
{
    AutoUpdate update;
    QCOMPARE(update.checkOldVersion(), QStringLiteral("1.0.2"));
    writeFile(dataFile(QStringLiteral("Version.txt")), "1.0.1\n");
    QCOMPARE(update.checkOldVersion(), QStringLiteral("1.0.1"));
    // Garbage would pass for version 0.0.0 and report an update that never happened.
    writeFile(dataFile(QStringLiteral("Version.txt")), "not a version");
    QCOMPARE(update.checkOldVersion(), QStringLiteral("1.0.2"));
    QFile::remove(dataFile(QStringLiteral("Version.txt")));
}

void TestUpdateRules::identifier_data()
{
    QTest::addColumn<QByteArray>("stored");       // "UUID.txt" in the data folder
    QTest::addColumn<QByteArray>("working");      // "UUID.txt" in the working folder
    QTest::addColumn<QString>("identifier");      // empty: a new one

    const QString wrapped = QStringLiteral("%7B") + QString::fromLatin1(kUuid) + QStringLiteral("%7D");
    QTest::newRow("braced") << "{" + kUuid + "}" << QByteArray() << wrapped;
    QTest::newRow("bare") << kUuid << QByteArray() << QString::fromLatin1(kUuid);
    QTest::newRow("upper case") << kUuid.toUpper() << QByteArray() << QString::fromLatin1(kUuid.toUpper());
    QTest::newRow("stored wrapped") << wrapped.toLatin1() << QByteArray() << wrapped;
    QTest::newRow("line end") << kUuid + "\r\n" << QByteArray() << QString::fromLatin1(kUuid);
    QTest::newRow("working folder") << QByteArray() << "{" + kUuid + "}" << wrapped;
    QTest::newRow("none") << QByteArray() << QByteArray() << QString();
    // Not an identifier: it must not travel to the service as one.
    QTest::newRow("not an identifier") << QByteArray("x\",\"status\":\"no") << QByteArray() << QString();
}

void TestUpdateRules::identifier()
{
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, working);
    QFETCH(QString, identifier);

    QTemporaryDir workingFolder;
    const QString previousFolder = QDir::currentPath();
    QDir::setCurrent(workingFolder.path());
    QDir(m_env.configDir()).removeRecursively();
    AutoUpdate update;
    if (!stored.isEmpty())
        writeFile(dataFile(QStringLiteral("UUID.txt")), stored);
    if (!working.isEmpty())
        writeFile(workingFolder.filePath(QStringLiteral("UUID.txt")), working);

    const QString read = update.readUUID();
    QDir::setCurrent(previousFolder);
    if (identifier.isEmpty()) {
        const QRegularExpression form(QStringLiteral("^[0-9a-f]{8}(-[0-9a-f]{4}){3}-[0-9a-f]{12}$"));
        QVERIFY2(form.match(read).hasMatch(), qPrintable(read));
    } else {
        QCOMPARE(read, identifier);
    }
    // Whatever was found or made is kept in the data folder and reads back the same.
    QCOMPARE(update.readUUID(), read);
    if (stored.isEmpty() || identifier.isEmpty())
        QCOMPARE(fileBytes(dataFile(QStringLiteral("UUID.txt"))), read.toLatin1());
}

void TestUpdateRules::updaterStart()
{
    QCOMPARE(UpdaterLauncher::parameters(3, QStringLiteral("1.0.2")), QStringLiteral("VELTRIMARGB;DE;1.0.2"));
    const QStringList codes = {";en;", ";tc;", ";CN;", ";DE;", ";FR;", ";JP;", ";TH;", ";en;", ";en;", ";en;"};
    for (int language = 0; language < codes.size(); ++language)
        QCOMPARE(UpdaterLauncher::languageCode(language), codes[language]);
    QCOMPARE(UpdaterLauncher::languageCode(-1), QStringLiteral(";en;"));

    const QString folder = QStringLiteral("/opt/veltrima/bin");
    QCOMPARE(UpdaterLauncher::resolveProgram(QString(), folder), QStringLiteral("/opt/veltrima/bin/veltrima-update"));
    QCOMPARE(UpdaterLauncher::resolveProgram(QStringLiteral("tools/../up"), folder), QStringLiteral("/opt/veltrima/bin/up"));
    QCOMPARE(UpdaterLauncher::resolveProgram(QStringLiteral("/usr/lib/up"), folder), QStringLiteral("/usr/lib/up"));
    // Without the program's own folder a relative name has nowhere safe to point.
    QCOMPARE(UpdaterLauncher::resolveProgram(QStringLiteral("up"), QString()), QString());
}

void TestUpdateRules::serviceAddresses_data()
{
    QTest::addColumn<QString>("configured");
    QTest::addColumn<QString>("endpoint");

    QTest::newRow("no scheme is https") << "127.0.0.1:8080" << "https://127.0.0.1:8080/download/getVersionV1";
    QTest::newRow("http when said") << "http://127.0.0.1:8080" << "http://127.0.0.1:8080/download/getVersionV1";
    QTest::newRow("comma in the query") << "http://h.example/a?x=1,2" << "http://h.example/a/download/getVersionV1?x=1,2";
    QTest::newRow("base path kept") << "https://example.org/api/" << "https://example.org/api/download/getVersionV1";
    QTest::newRow("other scheme refused") << "file:///etc/passwd" << "";
    QTest::newRow("no host refused") << "http://" << "";
    QTest::newRow("absent") << "" << "";
}

void TestUpdateRules::serviceAddresses()
{
    QFETCH(QString, configured);
    QFETCH(QString, endpoint);

    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("Services.ini"));
    writeFile(file, "[Update]\nUpdater=/x/y\n" + (configured.isEmpty() ? QByteArray() : "Url=" + configured.toUtf8() + "\n"));
    const ServiceSettings services(file);
    const QUrl base = services.baseUrl(QStringLiteral("Update"));
    QCOMPARE(ServiceSettings::endpoint(base, QStringLiteral("/download/getVersionV1")).toString(), endpoint);
    QCOMPARE(services.value(QStringLiteral("Update"), QStringLiteral("Updater")), QStringLiteral("/x/y"));
}

void TestUpdateRules::downloadAddresses_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("accepted");

    const QString prefix = QStringLiteral("https://d.example.org/");
    QTest::newRow("http") << "http://d.example.org/a?b=c" << true;
    QTest::newRow("2 KiB") << prefix + QString(2048 - prefix.size(), QLatin1Char('a')) << true;
    QTest::newRow("over 2 KiB") << prefix + QString(2049 - prefix.size(), QLatin1Char('a')) << false;
    QTest::newRow("two lines") << "https://d.example.org/a\nhttps://other.example/" << false;
    QTest::newRow("space") << "https://d.example.org/a b" << false;
    QTest::newRow("other scheme") << "file:///etc/passwd" << false;
    QTest::newRow("not Latin-1") << QString::fromUtf8("https://d.example.org/\u4e2d") << false;
}

void TestUpdateRules::downloadAddresses()
{
    QFETCH(QString, url);
    QFETCH(bool, accepted);

    QDir(m_env.configDir()).removeRecursively();
    AutoUpdate update;
    QCOMPARE(update.writeFileUrl(url), accepted);
    QCOMPARE(fileBytes(dataFile(QStringLiteral("fileUrl.txt"))), accepted ? url.toLatin1() : QByteArray("<missing>"));
}

QTEST_MAIN(TestUpdateRules)
#include "tst_update_rules.moc"

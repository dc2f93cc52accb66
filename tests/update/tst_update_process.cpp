// The control program's own update check, end to end: three seconds after start it asks
// the configured service and starts the updater in the language of its settings.
#include "LocalHttpServer.h"
#include "ProgramRunner.h"
#include "TestEnvironment.h"
#include "UpdateTestFiles.h"

#include <QDir>
#include <QTemporaryDir>

class TestUpdateProcess : public QObject
{
    Q_OBJECT

private slots:
    void controlProgramStartsTheUpdaterInItsLanguage()
    {
        TestEnvironment env;
        QTemporaryDir tools;
        const QString folder = env.configDir() + QStringLiteral("/Kv/VELTRIMARGB");
        QVERIFY(QDir().mkpath(folder));
        const QString updater = tools.filePath(QStringLiteral("record-updater"));
        writeFile(updater, "#!/bin/sh\necho \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.record\"\n");
        QFile::setPermissions(updater, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        LocalHttpServer server;
        QVERIFY(server.isListening());
        server.answer(200, R"({"Result_Code": "002", "Data": {"version": "1.0.3", "url": "", "note": ""}})");
        writeFile(folder + QStringLiteral("/Services.ini"),
                  "[Update]\nUrl=" + server.httpUrl().toUtf8() + "\nUpdater=" + updater.toUtf8() + "\n");
        writeFile(folder + QStringLiteral("/ModuleDevice.ini"), "[Main]\nAutoUpdate=true\nLanguage=5\n");

        ProgramRunner control(TestEnvironment::binDir() + QStringLiteral("/veltrima-rgb-control"));
        QVERIFY(control.start());
        const QString record = updater + QStringLiteral(".record");
        QVERIFY2(waitUntil([&] { return QFile::exists(record); }, 60000), qPrintable(control.output()));
        QCOMPARE(fileBytes(record), QByteArray("VELTRIMARGB;JP;1.0.2\n"));
        QCOMPARE(server.requests().size(), 1);
        QCOMPARE(fileBytes(folder + QStringLiteral("/Version.txt")), QByteArray("1.0.2"));
        control.stop();
    }
};

QTEST_GUILESS_MAIN(TestUpdateProcess)
#include "tst_update_process.moc"

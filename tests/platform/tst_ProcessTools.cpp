#include "HelperProcess.h"
#include "MessagePresenter.h"
#include "ProcessLimits.h"
#include "ProcessTools.h"
#include "TestEnvironment.h"

#include <QRegularExpression>
#include <QtTest>

#include <sys/resource.h>

class tst_ProcessTools : public QObject
{
    Q_OBJECT

private:
    TestEnvironment m_env;

private slots:
    void findsProcessesByExecutableName()
    {
        // A name as the Windows programs carry it, blanks and all.
        const QString program = m_env.root() + QStringLiteral("/VELTRIMA RGB Control.exe");
        QVERIFY(QFile::copy(HelperProcess::helperPath(), program));
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        HelperProcess helper;
        QCOMPARE(helper.start({QStringLiteral("mutex"), QStringLiteral("VELTRIMA Control.exe")}, program),
                 QByteArray("ready"));
        QVERIFY(ProcessTools::findProcesses(QStringLiteral("VELTRIMA RGB Control.exe")).contains(helper.pid()));
        QVERIFY(!ProcessTools::findProcesses(QStringLiteral("VELTRIMA RGB")).contains(helper.pid()));
        QVERIFY(!ProcessTools::findProcesses(QStringLiteral("veltrima rgb control.exe")).contains(helper.pid()));

        // Started through a link, it also answers to the link's name.
        const QString link = m_env.root() + QStringLiteral("/KV RGB Memory.exe");
        QVERIFY(QFile::link(program, link));
        HelperProcess linked;
        QCOMPARE(linked.start({QStringLiteral("mutex"), QStringLiteral("Spectra Hub")}, link), QByteArray("ready"));
        QVERIFY(ProcessTools::findProcesses(QStringLiteral("KV RGB Memory.exe")).contains(linked.pid()));

        const qint64 pid = helper.pid();
        helper.kill();
        QVERIFY(!ProcessTools::findProcesses(QStringLiteral("VELTRIMA RGB Control.exe")).contains(pid));
    }

    void startsDetachedInTheWorkingFolder()
    {
        QTemporaryDir folder;
        qint64 pid = 0;
        QVERIFY(ProcessTools::startDetached(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("pwd > where.txt")},
                                            folder.path(), &pid));
        QVERIFY(pid > 0);
        QFile where(folder.path() + QStringLiteral("/where.txt"));
        QTRY_VERIFY(where.exists() && where.size() > 0);
        QVERIFY(where.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLocal8Bit(where.readAll().trimmed()), QFileInfo(folder.path()).canonicalFilePath());

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Cannot start")));
        QVERIFY(!ProcessTools::startDetached(folder.path() + QStringLiteral("/VELTRIMA RGB.exe"), {}, folder.path(), &pid));
        QCOMPARE(pid, qint64(0));
    }

    void shellCommandsGoThroughPath()
    {
        // A recording stand-in comes first on PATH; the real shutdown is never reached.
        const QString bin = m_env.root() + QStringLiteral("/bin");
        QVERIFY(QDir().mkpath(bin));
        const QString record = m_env.root() + QStringLiteral("/shutdown.log");
        QFile script(bin + QStringLiteral("/shutdown"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho \"$@\" >> '" + QFile::encodeName(record) + "'\n");
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin) + ':' + savedPath);

        QTest::ignoreMessage(QtInfoMsg, "Running shutdown -h now");
        const int first = ProcessTools::runShellCommand(QStringLiteral("shutdown -h now"));
        QTest::ignoreMessage(QtInfoMsg, "Running shutdown -c");
        const int second = ProcessTools::runShellCommand(QStringLiteral("shutdown -c"));
        QTest::ignoreMessage(QtInfoMsg, "Running exit 3");
        const int third = ProcessTools::runShellCommand(QStringLiteral("exit 3"));
        qputenv("PATH", savedPath);

        QCOMPARE(first, 0);
        QCOMPARE(second, 0);
        QCOMPARE(third, 3);
        QFile log(record);
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll(), QByteArray("-h now\n-c\n"));
    }

    void openFileLimitIsRaisedToTheHardOne()
    {
        struct rlimit limit {};
        QCOMPARE(getrlimit(RLIMIT_NOFILE, &limit), 0);
        if (limit.rlim_max < 128)
            QSKIP("the hard limit leaves no room to lower the soft one");
        const rlim_t hard = limit.rlim_max;
        limit.rlim_cur = 64;
        QCOMPARE(setrlimit(RLIMIT_NOFILE, &limit), 0);

        QCOMPARE(ProcessLimits::raiseOpenFileLimit(), long(hard));
        QCOMPARE(getrlimit(RLIMIT_NOFILE, &limit), 0);
        QCOMPARE(limit.rlim_cur, hard);
    }

    void messageBoxWithoutAGuiIsOnlyLogged()
    {
        MessagePresenter::clearShownBoxes();
        QTest::ignoreMessage(QtWarningMsg, "Message box \"Error\": SharedDll Init Failure");
        MessagePresenter::show(QStringLiteral("SharedDll Init Failure"), QStringLiteral("Error"),
                               MessagePresenter::Icon::Warning);
        QCOMPARE(MessagePresenter::shownBoxes().size(), 1);
        QCOMPARE(MessagePresenter::shownBoxes().first().text, QStringLiteral("SharedDll Init Failure"));
    }
};

QTEST_GUILESS_MAIN(tst_ProcessTools)
#include "tst_ProcessTools.moc"

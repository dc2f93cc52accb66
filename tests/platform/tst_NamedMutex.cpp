#include "HelperProcess.h"
#include "NamedMutex.h"
#include "RuntimeFolder.h"
#include "TestEnvironment.h"

#include <QRegularExpression>
#include <QtTest>

#include <sys/stat.h>
#include <thread>
#include <unistd.h>

class tst_NamedMutex : public QObject
{
    Q_OBJECT

private:
    static int modeOf(const QString &path)
    {
        struct stat info {};
        return stat(QFile::encodeName(path).constData(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : -1;
    }

    // Points the runtime directory at a fresh folder for one case, and back afterwards.
    struct RuntimeOverride
    {
        explicit RuntimeOverride(const QString &dir)
            : saved(qgetenv("XDG_RUNTIME_DIR"))
        {
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir));
        }
        ~RuntimeOverride() { qputenv("XDG_RUNTIME_DIR", saved); }
        QByteArray saved;
    };

    TestEnvironment m_env;

private slots:
    void runtimeFolderIsPrivateDespiteUmask()
    {
        QTemporaryDir dir;
        RuntimeOverride runtime(dir.path());
        const mode_t saved = umask(0277);
        const QString folder = RuntimeFolder::path();
        umask(saved);
        QCOMPARE(folder, dir.path() + QStringLiteral("/veltrima"));
        QCOMPARE(modeOf(folder), 0700);
        QCOMPARE(RuntimeFolder::path(), folder);
    }

    void runtimeFolderRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a file") << "file";
        QTest::newRow("open to others") << "open";
        QTest::newRow("a link") << "link";
        QTest::newRow("another owner") << "owner";
    }

    void runtimeFolderRefused()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        RuntimeOverride runtime(dir.path());
        const QString folder = dir.path() + QStringLiteral("/veltrima");
        if (kind == QLatin1String("file")) {
            QFile file(folder);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (kind == QLatin1String("open")) {
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(chmod(QFile::encodeName(folder).constData(), 0755) == 0);
        } else if (kind == QLatin1String("link")) {
            QVERIFY(QDir().mkpath(dir.path() + QStringLiteral("/elsewhere")));
            chmod(QFile::encodeName(dir.path() + QStringLiteral("/elsewhere")).constData(), 0700);
            QVERIFY(QFile::link(dir.path() + QStringLiteral("/elsewhere"), folder));
        } else {
            if (geteuid() != 0)
                QSKIP("giving a folder to another user needs root");
            QVERIFY(QDir().mkpath(folder));
            chmod(QFile::encodeName(folder).constData(), 0700);
            QVERIFY(chown(QFile::encodeName(folder).constData(), 65534, 65534) == 0);
        }
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Runtime folder .* refused")));
        QVERIFY(RuntimeFolder::path().isEmpty());

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Runtime folder .* refused")));
        NamedMutex mutex(QStringLiteral("VELTRIMA Control.exe"));
        QCOMPARE(mutex.tryCreate(), NamedMutex::Result::Failed);
        QVERIFY(!QFile::exists(dir.path() + QStringLiteral("/elsewhere/mutex-VELTRIMA Control.exe.lock")));
    }

    void namesStayReadableAndInsideTheFolder()
    {
        QCOMPARE(RuntimeFolder::safeName(QStringLiteral("VELTRIMA Control.exe")), QStringLiteral("VELTRIMA Control.exe"));
        QCOMPARE(RuntimeFolder::safeName(QStringLiteral("../../etc/x")), QStringLiteral("..%2F..%2Fetc%2Fx"));
        QCOMPARE(RuntimeFolder::safeName(QStringLiteral("100%\n")), QStringLiteral("100%25%0A"));
        const QString path = RuntimeFolder::filePath(QStringLiteral("mutex-"), QStringLiteral("../x"), QStringLiteral(".lock"));
        QCOMPARE(QFileInfo(path).absolutePath(), m_env.runtimeDir() + QStringLiteral("/veltrima"));
    }

    void mutexInOneProcess()
    {
        NamedMutex first(QStringLiteral("VELTRIMA RGB.exe"));
        QVERIFY(!NamedMutex::probe(QStringLiteral("VELTRIMA RGB.exe")));
        QCOMPARE(first.tryCreate(), NamedMutex::Result::Created);
        QVERIFY(first.isHeld());
        QVERIFY(QFile::exists(m_env.runtimeDir() + QStringLiteral("/veltrima/mutex-VELTRIMA RGB.exe.lock")));

        NamedMutex second(QStringLiteral("VELTRIMA RGB.exe"));
        QCOMPARE(second.tryCreate(), NamedMutex::Result::AlreadyExists);
        QVERIFY(!second.isHeld());
        QVERIFY(NamedMutex::probe(QStringLiteral("VELTRIMA RGB.exe")));
        QVERIFY(!NamedMutex::probe(QStringLiteral("Spectra Hub")));

        first.release();
        QVERIFY(!NamedMutex::probe(QStringLiteral("VELTRIMA RGB.exe")));
        // The probe has released again, so the guard can be taken.
        QCOMPARE(second.tryCreate(), NamedMutex::Result::Created);
        {
            NamedMutex scoped(QStringLiteral("Spectra Hub"));
            QCOMPARE(scoped.tryCreate(), NamedMutex::Result::Created);
        }
        QVERIFY(!NamedMutex::probe(QStringLiteral("Spectra Hub")));
    }

    void ownerOutlastsAMomentaryProbe()
    {
        NamedMutex prober(QStringLiteral("VELTRIMA Control.exe"));
        QCOMPARE(prober.tryCreate(), NamedMutex::Result::Created);
        std::thread release([&prober] {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            prober.release();
        });
        NamedMutex owner(QStringLiteral("VELTRIMA Control.exe"));
        const NamedMutex::Result result = owner.acquireOwner();
        release.join();
        QCOMPARE(result, NamedMutex::Result::Created);
    }

    void mutexAcrossProcesses()
    {
        HelperProcess helper;
        QCOMPARE(helper.start({QStringLiteral("mutex"), QStringLiteral("VELTRIMA Control.exe")}), QByteArray("ready"));
        QVERIFY(NamedMutex::probe(QStringLiteral("VELTRIMA Control.exe")));
        NamedMutex mine(QStringLiteral("VELTRIMA Control.exe"));
        QCOMPARE(mine.acquireOwner(), NamedMutex::Result::AlreadyExists);

        // A crash leaves no stale guard behind.
        helper.kill();
        QCOMPARE(mine.tryCreate(), NamedMutex::Result::Created);

        HelperProcess second;
        QCOMPARE(second.start({QStringLiteral("mutex"), QStringLiteral("VELTRIMA Control.exe")}), QByteArray("exists"));
        QVERIFY(second.process().waitForFinished(10000));
        QCOMPARE(second.process().exitCode(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_NamedMutex)
#include "tst_NamedMutex.moc"

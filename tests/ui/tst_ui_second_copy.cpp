// A second start of the real program hands over to the first copy and exits.
#include "KVRGBMemory.h"
#include "Main_View.h"

#include "MessagePresenter.h"
#include "NamedMutex.h"

#include "TestEnvironment.h"

#include <QProcess>
#include <QtTest>

class TestSecondCopy : public QObject
{
    Q_OBJECT

    TestEnvironment m_env;

private slots:
    void secondCopyBringsTheWindowForward()
    {
        const QString program = TestEnvironment::binDir() + QStringLiteral("/veltrima-rgb");
        if (!QFile::exists(program))
            QSKIP("veltrima-rgb is not built");
        MessagePresenter::setPresenter([](const MessagePresenter::Box &) {});

        // This process plays the running copy: it holds the guard and serves "VELTRIMA".
        NamedMutex guard(QStringLiteral("VELTRIMA RGB.exe"));
        QCOMPARE(guard.tryCreate(), NamedMutex::Result::Created);
        QTemporaryDir emptyFolder;
        KVRGBMemory base(emptyFolder.path());
        base.updateTimer()->stop();
        base.previewTimer()->stop();
        base.setWindowTitle(QStringLiteral("VELTRIMA"));
        base.mainView()->showMinimized();
        base.mainView()->hide();

        QProcess second;
        second.setProcessEnvironment(TestEnvironment::processEnvironment());
        second.start(program, QStringList());
        QVERIFY(second.waitForStarted());
        // Keep serving messages while the second copy runs.
        QTRY_VERIFY_WITH_TIMEOUT(base.mainView()->isVisible(), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 20000);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(!(base.mainView()->windowState() & Qt::WindowMinimized));
    }
};

QTEST_MAIN(TestSecondCopy)
#include "tst_ui_second_copy.moc"

// The user interface against the real channel library, fed by another process.
#include "KVRGBMemory.h"
#include "Loading_View.h"
#include "Main_View.h"

#include "MessagePresenter.h"
#include "NamedMutex.h"

#include "LightingMetaTypes.h"

#include "TestEnvironment.h"

#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class TestChannel : public QObject
{
    Q_OBJECT

    TestEnvironment m_env;

private slots:
    void dataAndCallbackFromAnotherProcess()
    {
        const QString peer = TestEnvironment::binDir() + QStringLiteral("/ui_channel_peer");
        const QString library = TestEnvironment::binDir() + QStringLiteral("/libVELTRIMA_Lighting.so");
        if (!QFile::exists(library))
            QSKIP("the channel library is not built");
        MessagePresenter::setPresenter([](const MessagePresenter::Box &) {});

        // The program's folder: the channel library, but no control program to start. The
        // peer plays the control program, whose guard the test holds.
        NamedMutex controlGuard(QStringLiteral("VELTRIMA Control.exe"));
        QCOMPARE(controlGuard.tryCreate(), NamedMutex::Result::Created);
        QTemporaryDir folder;
        QVERIFY(QFile::link(library, folder.path() + QStringLiteral("/libVELTRIMA_Lighting.so")));
        KVRGBMemory base(folder.path());
        QVERIFY(base.channel().isLoaded());
        base.previewTimer()->stop();
        QSignalSpy counts(&base, &KVRGBMemory::setSlotNum);
        QSignalSpy data(&base, &KVRGBMemory::setHWData);

        // Nothing published yet: the overlay keeps spinning and the pages get defaults.
        base.requestUpdateData();
        QCOMPARE(counts.count(), 0);
        QVERIFY(base.mainView()->loadingView()->isLoading());

        // The callback arrives on the channel's thread; the refresh must run on ours.
        QThread *refreshThread = nullptr;
        connect(&base, &KVRGBMemory::updateViewData, this,
                [&refreshThread] { refreshThread = QThread::currentThread(); }, Qt::DirectConnection);

        QProcess process;
        process.setProcessEnvironment(TestEnvironment::processEnvironment());
        process.start(peer, {QStringLiteral("4"), QStringLiteral("2")});
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitCode(), 0);

        QTRY_VERIFY_WITH_TIMEOUT(refreshThread != nullptr, 10000);
        QCOMPARE(refreshThread, QThread::currentThread());

        QTRY_VERIFY_WITH_TIMEOUT(base.firstDataSeen(), 5000);
        QCOMPARE(counts.count(), 1);
        QCOMPARE(counts.at(0).at(0).toInt(), 4);
        QCOMPARE(counts.at(0).at(1).toInt(), 2);
        QVERIFY(!base.mainView()->loadingView()->isVisible());
        QVERIFY(base.mainView()->menuButton(1)->isVisibleTo(base.mainView()));
        const HWData shown = data.last().at(0).value<HWData>();
        QCOMPARE(shown.memoryCount, 2);
        QCOMPARE(shown.physicalMemoryLoad, 42.5);
    }
};

QTEST_MAIN(TestChannel)
#include "tst_ui_channel.moc"

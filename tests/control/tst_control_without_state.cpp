// The control program's main object when the channel gives it nothing to trust: the
// library missing, or loaded without a shared state (bound here without the library,
// so every getter hands out stand-ins and says so). The saved files are then the
// truth: the modules keep the saved profile, the user is told once, channel events and
// saves write nothing, and the autorun toggle changes only its own key.
#include "ChannelEvents.h"
#include "KVRGBMemoryControl.h"
#include "MessagePresenter.h"
#include "ProgramRunner.h"
#include "TestEnvironment.h"
#include "VirtualHalState.h"

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QtTest>

#include <memory>

namespace {
using Values = QMap<QString, QString>;

QString text(const QVariant &value)
{
    return value.type() == QVariant::StringList ? value.toStringList().join(QLatin1Char(',')) : value.toString();
}

Values values(const QString &file)
{
    QSettings settings(file, QSettings::IniFormat);
    Values all;
    for (const QString &key : settings.allKeys())
        all.insert(key, text(settings.value(key)));
    return all;
}

QByteArray bytes(const QString &file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

QVector<quint32> halFrame(int device)
{
    const auto hal = VirtualHalState::read(VirtualHalState::defaultClsid());
    return hal && device < hal->devices.size() ? hal->devices.at(device).lastColours : QVector<quint32>();
}

// Module 0 of profile 2 is Static with these five colours.
const QVector<quint32> kSavedFrame{0x01000A, 0x020014, 0x03001E, 0x040028, 0x050032};
} // namespace

class tst_ControlWithoutState : public QObject
{
    Q_OBJECT

private:
    QString storeFolder() const { return m_env.configDir() + QStringLiteral("/Kv/VELTRIMARGB"); }
    QString deviceFile() const { return storeFolder() + QStringLiteral("/ModuleDevice.ini"); }
    QString profileFile() const { return storeFolder() + QStringLiteral("/VELTRIMA RGB/Profile_2.ini"); }

    QAction *autoRunAction() const
    {
        return m_control->findChild<QSystemTrayIcon *>()->contextMenu()->actions().value(1);
    }

    TestEnvironment m_env;
    std::unique_ptr<KVRGBMemoryControl> m_control;

private slots:
    void initTestCase()
    {
        MessagePresenter::setPresenter([](const MessagePresenter::Box &) {});
        QProcess hal;
        hal.setProcessEnvironment(TestEnvironment::processEnvironment());
        hal.start(TestEnvironment::binDir() + QStringLiteral("/veltrima-hal-register"),
                  {QStringLiteral("--virtual"), m_env.dataDir() + QStringLiteral("/veltrima/hal-servers")});
        QVERIFY(hal.waitForFinished(10000));
        QCOMPARE(hal.exitCode(), 0);
    }

    void init()
    {
        QDir(storeFolder()).removeRecursively();
        QVERIFY(QDir().mkpath(QFileInfo(profileFile()).absolutePath()));
        {
            QSettings device(deviceFile(), QSettings::IniFormat);
            device.setValue(QStringLiteral("Main/Profile"), 2);
            device.setValue(QStringLiteral("Main/SlotSequence"), QStringLiteral("0,1,2,3,4,5,7,6"));
            device.setValue(QStringLiteral("Main/AutoUpdate"), false);
            device.setValue(QStringLiteral("Main/Language"), 0);
            device.setValue(QStringLiteral("Main/isAutoRun"), false);
            device.setValue(QStringLiteral("Main/NotiLoadingValue"), 77);
            device.setValue(QStringLiteral("Main/NotiLoadingColor"), QStringLiteral("0,255,0"));
            device.setValue(QStringLiteral("Main/NotiFanSpeed"), true);
            device.setValue(QStringLiteral("Main/NotiFanSpeedValue"), 60);
        }
        QSettings profile(profileFile(), QSettings::IniFormat);
        profile.setValue(QStringLiteral("Memory0/LightMode"), 6);
        profile.setValue(QStringLiteral("Memory0/ColorMode"), 0);
        profile.setValue(QStringLiteral("Memory0/LightSpeed"), 2);
        profile.setValue(QStringLiteral("Memory0/RColor"), QStringLiteral("10,20,30,40,50"));
        profile.setValue(QStringLiteral("Memory0/GColor"), QStringLiteral("0,0,0,0,0"));
        profile.setValue(QStringLiteral("Memory0/BColor"), QStringLiteral("1,2,3,4,5"));
        profile.setValue(QStringLiteral("Memory0/Bright"), QStringLiteral("1,1,1,1,1"));
        MessagePresenter::clearShownBoxes();
    }

    void cleanup() { m_control.reset(); }

    void cleanupTestCase() { MessagePresenter::setPresenter({}); }

    void savedStateIsTheTruth_data()
    {
        QTest::addColumn<bool>("libraryLoads");
        QTest::addColumn<QString>("box");
        QTest::newRow("library missing") << false << QStringLiteral("SharedDll Init Failure");
        QTest::newRow("no shared state") << true << QStringLiteral("VELTRIMA RGB cannot reach the lighting state");
    }

    void savedStateIsTheTruth()
    {
        QFETCH(bool, libraryLoads);
        QFETCH(QString, box);
        const Values device = values(deviceFile());
        const QByteArray profile = bytes(profileFile());

        m_control = std::make_unique<KVRGBMemoryControl>(
            nullptr, [libraryLoads](LightingChannel &, const QString &) { return libraryLoads; });
        QVERIFY(!m_control->hasSharedState());
        const QList<MessagePresenter::Box> boxes = MessagePresenter::shownBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes.at(0).text.startsWith(box), qPrintable(boxes.at(0).text));
        QVERIFY2(waitUntil([] { return halFrame(0) == kSavedFrame; }, 20000), "the saved profile is not shown");

        // Events and saves find nothing they could trust in the channel.
        NotiEventData settings;
        settings.reset();
        settings.type = NotiSettings;
        receiveLightMode_Event(0);
        receiveRGB_Event(0);
        receiveMemorySlot_Event(0);
        receiveNoti_Event(settings);
        m_control->saveProfile();
        QTest::qWait(800); // past the half second in which a due write would happen
        QCOMPARE(bytes(profileFile()), profile);
        QCOMPARE(values(deviceFile()), device);
        QCOMPARE(halFrame(0), kSavedFrame);

        // The toggle works on the saved state: its own key changes, nothing else.
        autoRunAction()->trigger();
        QVERIFY(autoRunAction()->text().startsWith(QChar(0x25A0)));
        Values toggled = device;
        toggled[QStringLiteral("Main/isAutoRun")] = QStringLiteral("true");
        QTRY_VERIFY_WITH_TIMEOUT(values(deviceFile()).value(QStringLiteral("Main/isAutoRun")) == QLatin1String("true"),
                                 5000);
        const Values written = values(deviceFile());
        for (auto it = toggled.cbegin(); it != toggled.cend(); ++it)
            QCOMPARE(written.value(it.key()), it.value());
        autoRunAction()->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(values(deviceFile()).value(QStringLiteral("Main/isAutoRun")) == QLatin1String("false"),
                                 5000);

        m_control.reset();
        QCOMPARE(bytes(profileFile()), profile);
    }
};

QTEST_MAIN(tst_ControlWithoutState)
#include "tst_control_without_state.moc"

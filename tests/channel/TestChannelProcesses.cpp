// The channel between real processes, driven through the veltrima-channel tool. Each
// case has its own runtime folder, so it starts from a new channel.
#include "ChannelLayout.h"
#include "ChannelToolRunner.h"
#include "TestEnvironment.h"

#include <QtTest>

#include <signal.h>
#include <sys/stat.h>
#include <cstring>
#include <unistd.h>

class TestChannelProcesses : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void remoteChangesReachTheWatcher();
    void valuesOutliveTheWriter();
    void foreignSegmentIsRebuilt_data();
    void foreignSegmentIsRebuilt();
    void killedProcessLeavesUsableChannel();
    void badArgumentsExitWithTwo_data();
    void badArgumentsExitWithTwo();
    void foreignRuntimeFolderIsRefused();
    void unreachableChannelExitsWithThree();
    void helpGoesToStandardOutput();

private:
    static QString segmentPath(const TestEnvironment &env)
    {
        return env.runtimeDir() + QStringLiteral("/veltrima/lighting.shm");
    }
    static QJsonObject showJson(ChannelToolRunner &tool)
    {
        const ToolResult shown = tool.run({QStringLiteral("show"), QStringLiteral("--json")});
        return QJsonDocument::fromJson(shown.out).object();
    }
    static QJsonObject module(const QJsonObject &state, int m)
    {
        return state.value(QStringLiteral("memoryData")).toArray().at(m).toObject();
    }
};

void TestChannelProcesses::initTestCase()
{
    QVERIFY2(QFileInfo(ChannelToolRunner::toolPath()).isExecutable(), qPrintable(ChannelToolRunner::toolPath()));
}

void TestChannelProcesses::remoteChangesReachTheWatcher()
{
    TestEnvironment env;
    ChannelToolRunner tool;
    QProcess *watcher = tool.startWatch({QStringLiteral("--count"), QStringLiteral("6"), QStringLiteral("--timeout"),
                                         QString::number(ChannelToolRunner::kWaitMs)});
    QVERIFY(watcher);

    const QList<QStringList> changes = {
        {QStringLiteral("set-rgb"), QStringLiteral("3"), QStringLiteral("0xff,0x00ff00,255")},
        {QStringLiteral("set-lighting"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("1"),
         QStringLiteral("0"), QStringLiteral("off")},
        {QStringLiteral("set-slots"), QStringLiteral("1,0,2,3,4,5,6,7")},
        {QStringLiteral("set-profile"), QStringLiteral("4")},
        {QStringLiteral("set-settings"), QStringLiteral("--language"), QStringLiteral("3")},
        {QStringLiteral("refresh")},
        // Raise no callbacks.
        {QStringLiteral("set-sync"), QStringLiteral("1,2,3,4,5")},
        {QStringLiteral("software-rgb"), QStringLiteral("1"), QStringLiteral("1,2")},
    };
    for (const QStringList &change : changes)
        QCOMPARE(tool.run(change).exitCode, 0);

    const ToolResult watched = ChannelToolRunner::finish(watcher);
    QVERIFY(watched.finished);
    QCOMPARE(watched.exitCode, 0);
    const QList<QByteArray> lines = watched.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines.at(0), QByteArray("rgb 3"));
    QCOMPARE(lines.at(1), QByteArray("lightmode 6"));
    QCOMPARE(lines.at(2), QByteArray("slot 0"));
    QCOMPARE(lines.at(3), QByteArray("profile 4"));
    QVERIFY2(lines.at(4).startsWith("noti 5 type=5"), lines.at(4).constData());
    QCOMPARE(lines.at(5), QByteArray("refresh 0"));
}

void TestChannelProcesses::valuesOutliveTheWriter()
{
    TestEnvironment env;
    ChannelToolRunner tool;
    QCOMPARE(tool.run({QStringLiteral("set-rgb"), QStringLiteral("5"), QStringLiteral("0x123456,7"),
                       QStringLiteral("--bright"), QStringLiteral("0.5,0.25"), QStringLiteral("--single"),
                       QStringLiteral("0x00ff00"), QStringLiteral("--single-bright"), QStringLiteral("0.75")})
                 .exitCode,
             0);
    QCOMPARE(tool.run({QStringLiteral("set-lighting"), QStringLiteral("5"), QStringLiteral("20"), QStringLiteral("1"),
                       QStringLiteral("3"), QStringLiteral("off")})
                 .exitCode,
             0);
    QCOMPARE(tool.run({QStringLiteral("set-noti"), QStringLiteral("--type"), QStringLiteral("2"),
                       QStringLiteral("--shutdown-memory"), QStringLiteral("1"), QStringLiteral("--shutdown-memory-value"),
                       QStringLiteral("85")})
                 .exitCode,
             0);
    QCOMPARE(tool.run({QStringLiteral("set-sync"), QStringLiteral("0x10,0x20,0x30,0x40,0x50")}).exitCode, 0);

    const QJsonObject state = showJson(tool);
    const QJsonObject five = module(state, 5);
    QCOMPARE(five.value(QStringLiteral("rgb")).toArray().at(0).toInt(), 0x123456);
    QCOMPARE(five.value(QStringLiteral("rgb")).toArray().at(1).toInt(), 7);
    // Entries past the given count keep the default pattern.
    QCOMPARE(five.value(QStringLiteral("rgb")).toArray().at(2).toInt(), int(rgbColor(0, 255, 59)));
    QCOMPARE(five.value(QStringLiteral("bright")).toArray().at(1).toDouble(), 0.25);
    QCOMPARE(five.value(QStringLiteral("singleRGB")).toInt(), 0x00ff00);
    QCOMPARE(five.value(QStringLiteral("singleBright")).toDouble(), 0.75);
    QCOMPARE(five.value(QStringLiteral("lightMode")).toInt(), 20);
    QCOMPARE(five.value(QStringLiteral("colorMode")).toInt(), 1);
    QCOMPARE(five.value(QStringLiteral("lightSpeed")).toInt(), 3);
    QCOMPARE(five.value(QStringLiteral("turnOff")).toBool(), true);
    QCOMPARE(module(state, 4).value(QStringLiteral("lightMode")).toInt(), 5);
    const QJsonObject noti = state.value(QStringLiteral("notiEvent")).toObject();
    QCOMPARE(noti.value(QStringLiteral("type")).toInt(), 2);
    QCOMPARE(noti.value(QStringLiteral("shutdownMemoryOn")).toBool(), true);
    QCOMPARE(noti.value(QStringLiteral("shutdownMemoryValue")).toInt(), 85);
    QCOMPARE(state.value(QStringLiteral("syncRGB")).toArray().at(4).toInt(), 0x50);

    const ToolResult text = tool.run({QStringLiteral("show")});
    QCOMPARE(text.exitCode, 0);
    QVERIFY(text.out.contains("lightMode 20, colorMode 1, lightSpeed 3, turnOff 1"));
}

void TestChannelProcesses::foreignSegmentIsRebuilt_data()
{
    QTest::addColumn<QByteArray>("content");
    QByteArray wrongMagic(int(sizeof(ChannelLayout)), '\x5A');
    QTest::newRow("right size, foreign bytes") << wrongMagic;
    QTest::newRow("short file") << QByteArray("not a channel");
    QByteArray otherVersion(int(sizeof(ChannelLayout)), '\x7F');
    const std::uint32_t header[4] = {kChannelMagic, kChannelLayoutVersion + 1, std::uint32_t(sizeof(ChannelLayout)), 0};
    std::memcpy(otherVersion.data(), header, sizeof header);
    QTest::newRow("other layout version") << otherVersion;
}

void TestChannelProcesses::foreignSegmentIsRebuilt()
{
    QFETCH(QByteArray, content);
    TestEnvironment env;
    QVERIFY(QDir(env.runtimeDir()).mkpath(QStringLiteral("veltrima")));
    QFile::setPermissions(env.runtimeDir() + QStringLiteral("/veltrima"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile file(segmentPath(env));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    ChannelToolRunner tool;
    const QJsonObject state = showJson(tool);
    QCOMPARE(state.value(QStringLiteral("memoryCount")).toInt(), -1);
    QCOMPARE(state.value(QStringLiteral("dataTimestamp")).toInt(), 0);
    QCOMPARE(module(state, 7).value(QStringLiteral("lightMode")).toInt(), 5);
    QCOMPARE(module(state, 7).value(QStringLiteral("slotSequence")).toInt(), 7);
    QCOMPARE(module(state, 7).value(QStringLiteral("ledNum")).toInt(), 0);
    QCOMPARE(QFileInfo(segmentPath(env)).size(), qint64(sizeof(ChannelLayout)));

    QCOMPARE(tool.run({QStringLiteral("set-profile"), QStringLiteral("2")}).exitCode, 0);
    QCOMPARE(showJson(tool).value(QStringLiteral("selectProfile")).toInt(), 2);
}

void TestChannelProcesses::killedProcessLeavesUsableChannel()
{
    TestEnvironment env;
    ChannelToolRunner tool;
    QProcess *victim = tool.startWatch({});
    QVERIFY(victim);
    ::kill(pid_t(victim->processId()), SIGKILL);
    QVERIFY(victim->waitForFinished(ChannelToolRunner::kWaitMs));

    QProcess *watcher = tool.startWatch({QStringLiteral("--count"), QStringLiteral("1"), QStringLiteral("--timeout"),
                                         QString::number(ChannelToolRunner::kWaitMs)});
    QVERIFY(watcher);
    QCOMPARE(tool.run({QStringLiteral("set-profile"), QStringLiteral("1")}).exitCode, 0);
    const ToolResult watched = ChannelToolRunner::finish(watcher);
    QCOMPARE(watched.exitCode, 0);
    QCOMPARE(watched.out.trimmed(), QByteArray("profile 1"));
}

void TestChannelProcesses::badArgumentsExitWithTwo_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no command") << QStringList{};
    QTest::newRow("unknown command") << QStringList{QStringLiteral("paint")};
    QTest::newRow("module 8") << QStringList{QStringLiteral("set-rgb"), QStringLiteral("8"), QStringLiteral("1")};
    QTest::newRow("module -1") << QStringList{QStringLiteral("set-rgb"), QStringLiteral("-1"), QStringLiteral("1")};
    QTest::newRow("13 colours") << QStringList{QStringLiteral("set-rgb"), QStringLiteral("0"),
                                               QStringLiteral("1,2,3,4,5,6,7,8,9,10,11,12,13")};
    QTest::newRow("colour too wide") << QStringList{QStringLiteral("set-rgb"), QStringLiteral("0"),
                                                    QStringLiteral("0x1000000")};
    QTest::newRow("colour not a number") << QStringList{QStringLiteral("set-rgb"), QStringLiteral("0"),
                                                        QStringLiteral("red")};
    QTest::newRow("brightness count") << QStringList{QStringLiteral("set-rgb"), QStringLiteral("0"),
                                                     QStringLiteral("1,2"), QStringLiteral("--bright"),
                                                     QStringLiteral("0.5")};
    QTest::newRow("brightness above 1") << QStringList{QStringLiteral("set-rgb"), QStringLiteral("0"),
                                                       QStringLiteral("1"), QStringLiteral("--bright"),
                                                       QStringLiteral("1.5")};
    QTest::newRow("option without value") << QStringList{QStringLiteral("set-rgb"), QStringLiteral("0"),
                                                          QStringLiteral("1"), QStringLiteral("--single")};
    QTest::newRow("power word") << QStringList{QStringLiteral("set-lighting"), QStringLiteral("0"),
                                               QStringLiteral("5"), QStringLiteral("0"), QStringLiteral("2"),
                                               QStringLiteral("maybe")};
    QTest::newRow("light mode 36") << QStringList{QStringLiteral("set-lighting"), QStringLiteral("0"),
                                                  QStringLiteral("36"), QStringLiteral("0"), QStringLiteral("2"),
                                                  QStringLiteral("on")};
    QTest::newRow("seven slots") << QStringList{QStringLiteral("set-slots"), QStringLiteral("0,1,2,3,4,5,6")};
    QTest::newRow("profile 5") << QStringList{QStringLiteral("set-profile"), QStringLiteral("5")};
    QTest::newRow("language 10") << QStringList{QStringLiteral("set-settings"), QStringLiteral("--language"),
                                                QStringLiteral("10")};
    QTest::newRow("switch 2") << QStringList{QStringLiteral("set-settings"), QStringLiteral("--auto-run"),
                                             QStringLiteral("2")};
    QTest::newRow("unknown option") << QStringList{QStringLiteral("set-noti"), QStringLiteral("--volume"),
                                                   QStringLiteral("3")};
    QTest::newRow("six sync colours") << QStringList{QStringLiteral("set-sync"), QStringLiteral("1,2,3,4,5,6")};
    QTest::newRow("watch count 0") << QStringList{QStringLiteral("watch"), QStringLiteral("--count"),
                                                  QStringLiteral("0")};
    QTest::newRow("extra word") << QStringList{QStringLiteral("refresh"), QStringLiteral("now")};
}

void TestChannelProcesses::badArgumentsExitWithTwo()
{
    QFETCH(QStringList, arguments);
    TestEnvironment env;
    ChannelToolRunner tool;
    const QJsonObject before = showJson(tool);
    const ToolResult result = tool.run(arguments);
    QCOMPARE(result.exitCode, 2);
    QVERIFY(result.err.contains("veltrima-channel: "));
    QVERIFY(result.out.isEmpty());
    QCOMPARE(showJson(tool), before);
}

void TestChannelProcesses::foreignRuntimeFolderIsRefused()
{
    if (geteuid() != 0)
        QSKIP("needs root to hand the folder to another user");
    TestEnvironment env;
    const QByteArray folder = QFile::encodeName(env.runtimeDir() + QStringLiteral("/veltrima"));
    QCOMPARE(::mkdir(folder.constData(), 0700), 0);
    QCOMPARE(::chown(folder.constData(), 65534, 65534), 0);

    ChannelToolRunner tool;
    const ToolResult result = tool.run({QStringLiteral("set-profile"), QStringLiteral("3")});
    // Nothing was stored, so the tool must not report success.
    QCOMPARE(result.exitCode, 3);
    QVERIFY2(result.err.contains("refusing"), result.err.constData());
    QVERIFY(result.err.contains("veltrima-channel: the lighting channel is not available"));
    QVERIFY(!QFileInfo::exists(segmentPath(env)));
}

void TestChannelProcesses::unreachableChannelExitsWithThree()
{
    TestEnvironment env;
    // A file where the runtime folder should be: the channel cannot be made.
    QFile blocker(env.runtimeDir() + QStringLiteral("/veltrima"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    ChannelToolRunner tool;
    const ToolResult result = tool.run({QStringLiteral("set-profile"), QStringLiteral("3")});
    QCOMPARE(result.exitCode, 3);
    QVERIFY(result.err.contains("the lighting channel is not available"));
    QCOMPARE(tool.run({QStringLiteral("show")}).exitCode, 3);
}

void TestChannelProcesses::helpGoesToStandardOutput()
{
    TestEnvironment env;
    ChannelToolRunner tool;
    const ToolResult result = tool.run({QStringLiteral("--help")});
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.out.startsWith("usage: veltrima-channel"));
    QVERIFY(result.out.contains("exit status"));
    QVERIFY(result.err.isEmpty());
}

QTEST_GUILESS_MAIN(TestChannelProcesses)
#include "TestChannelProcesses.moc"

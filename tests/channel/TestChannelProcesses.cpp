// The channel between real processes, driven through the veltrima-channel tool. Each
// case has its own runtime folder, so it starts from a new channel.
#include "ChannelLayout.h"
#include "ChannelToolRunner.h"
#include "TestEnvironment.h"

#include <QtTest>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <vector>

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
    void strayBytesOverTheLockAreSurvived_data();
    void strayBytesOverTheLockAreSurvived();
    void otherVersionsKeepTheirOwnFiles();
    void stoppedLockHolderIsReportedNotWaitedFor();
    void lockedNewChannelIsNotWaitedFor();
    void badArgumentsExitWithTwo_data();
    void badArgumentsExitWithTwo();
    void foreignRuntimeFolderIsRefused();
    void unreachableChannelExitsWithThree();
    void helpGoesToStandardOutput();

private:
    static QString segmentPath(const TestEnvironment &env)
    {
        return env.runtimeDir() + QStringLiteral("/veltrima/") + QString::fromStdString(channelSegmentFileName());
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

void TestChannelProcesses::strayBytesOverTheLockAreSurvived_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("length");
    // Right after the header, where a lock living in the mapping would sit.
    QTest::newRow("after the header") << 16 << 20;
    QTest::newRow("over the header") << 0 << 64;
}

void TestChannelProcesses::strayBytesOverTheLockAreSurvived()
{
    QFETCH(int, offset);
    QFETCH(int, length);
    TestEnvironment env;
    ChannelToolRunner tool;
    QCOMPARE(tool.run({QStringLiteral("set-profile"), QStringLiteral("2")}).exitCode, 0);
    QProcess *early = tool.startWatch({QStringLiteral("--count"), QStringLiteral("1"), QStringLiteral("--timeout"),
                                       QString::number(ChannelToolRunner::kWaitMs)});
    QVERIFY(early);

    // Whatever version made it, the segment is the one file in the folder.
    const QStringList segments = QDir(env.runtimeDir() + QStringLiteral("/veltrima"))
                                     .entryList({QStringLiteral("lighting*.shm")}, QDir::Files);
    QCOMPARE(segments.size(), 1);
    QFile file(env.runtimeDir() + QStringLiteral("/veltrima/") + segments.first());
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(offset));
    QCOMPARE(file.write(QByteArray(length, '\xA5')), qint64(length));
    file.close();

    // A process already running, one started now, the tool and a reader all work.
    QProcess *late = tool.startWatch({QStringLiteral("--count"), QStringLiteral("1"), QStringLiteral("--timeout"),
                                      QString::number(ChannelToolRunner::kWaitMs)});
    QVERIFY(late);
    const ToolResult set = tool.run({QStringLiteral("set-profile"), QStringLiteral("3")});
    QVERIFY2(set.exitCode == 0, set.err.constData());
    for (QProcess *watcher : {early, late}) {
        const ToolResult watched = ChannelToolRunner::finish(watcher);
        QVERIFY2(watched.exitCode == 0, watched.err.constData());
        QCOMPARE(watched.out.trimmed(), QByteArray("profile 3"));
    }
    QCOMPARE(showJson(tool).value(QStringLiteral("selectProfile")).toInt(), 3);
    QCOMPARE(module(showJson(tool), 0).value(QStringLiteral("lightMode")).toInt(), 5);
}

void TestChannelProcesses::otherVersionsKeepTheirOwnFiles()
{
    TestEnvironment env;
    const QString folder = env.runtimeDir() + QStringLiteral("/veltrima");
    QVERIFY(QDir(env.runtimeDir()).mkpath(QStringLiteral("veltrima")));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // Segments of an older library (unversioned name) and of a newer one, each of
    // another size, mapped by their own (here: this) process.
    struct Other {
        QString name;
        QByteArray content;
        uchar *mapped = nullptr;
    };
    Other others[] = {{QStringLiteral("lighting.shm"), {}}, {QStringLiteral("lighting-v%1.shm").arg(kChannelLayoutVersion + 1), {}}};
    const int sizes[] = {int(sizeof(ChannelLayout)) - 4096, int(sizeof(ChannelLayout)) + 4096};
    std::vector<std::unique_ptr<QFile>> files;
    for (int i = 0; i < 2; ++i) {
        Other &other = others[i];
        other.content = QByteArray(sizes[i], char('a' + i));
        const std::uint32_t header[4] = {kChannelMagic, kChannelLayoutVersion + std::uint32_t(i == 0 ? -1 : 1),
                                         std::uint32_t(sizes[i]), 0};
        std::memcpy(other.content.data(), header, sizeof header);
        files.push_back(std::make_unique<QFile>(folder + QLatin1Char('/') + other.name));
        QVERIFY(files.back()->open(QIODevice::ReadWrite));
        QCOMPARE(files.back()->write(other.content), qint64(other.content.size()));
        QVERIFY(files.back()->flush());
        other.mapped = files.back()->map(0, other.content.size());
        QVERIFY(other.mapped);
    }

    ChannelToolRunner tool;
    QCOMPARE(tool.run({QStringLiteral("set-profile"), QStringLiteral("4")}).exitCode, 0);
    QCOMPARE(showJson(tool).value(QStringLiteral("selectProfile")).toInt(), 4);
    QCOMPARE(QFileInfo(segmentPath(env)).size(), qint64(sizeof(ChannelLayout)));
    for (const Other &other : others) {
        QCOMPARE(QFileInfo(folder + QLatin1Char('/') + other.name).size(), qint64(other.content.size()));
        // Read through the mapping: a file shrunk under it would end this test with SIGBUS.
        QVERIFY(std::memcmp(other.mapped, other.content.constData(), std::size_t(other.content.size())) == 0);
    }
}

void TestChannelProcesses::stoppedLockHolderIsReportedNotWaitedFor()
{
    TestEnvironment env;
    ChannelToolRunner tool;
    QCOMPARE(tool.run({QStringLiteral("set-profile"), QStringLiteral("1")}).exitCode, 0);
    const QByteArray path = QFile::encodeName(segmentPath(env));

    // A process takes the channel's lock as every user of it does, and is stopped.
    const pid_t holder = fork();
    if (holder == 0) {
        const int fd = ::open(path.constData(), O_RDWR | O_CLOEXEC);
        if (fd < 0 || flock(fd, LOCK_EX) != 0)
            _exit(1);
        raise(SIGSTOP);
        _exit(0);
    }
    QVERIFY(holder > 0);
    int status = 0;
    QCOMPARE(waitpid(holder, &status, WUNTRACED), holder);
    QVERIFY(WIFSTOPPED(status));

    QElapsedTimer timer;
    timer.start();
    const ToolResult set = tool.run({QStringLiteral("set-profile"), QStringLiteral("3")});
    QVERIFY(set.finished);
    QCOMPARE(set.exitCode, 4);
    QVERIFY2(set.err.contains("set-profile: the change was not stored"), set.err.constData());
    const ToolResult shown = tool.run({QStringLiteral("show")});
    QVERIFY(shown.finished);
    QCOMPARE(shown.exitCode, 4);
    QVERIFY2(shown.out.isEmpty(), shown.out.constData());
    QVERIFY2(timer.elapsed() < 15000, qPrintable(QString::number(timer.elapsed())));

    ::kill(holder, SIGKILL);
    QCOMPARE(waitpid(holder, &status, 0), holder);
    QCOMPARE(showJson(tool).value(QStringLiteral("selectProfile")).toInt(), 1);
}

void TestChannelProcesses::lockedNewChannelIsNotWaitedFor()
{
    // A channel not made yet whose file is locked (flock -x <file> sleep 15): making
    // it waits a bounded time.
    TestEnvironment env;
    ChannelToolRunner tool;
    QVERIFY(QDir(env.runtimeDir()).mkpath(QStringLiteral("veltrima")));
    QFile::setPermissions(env.runtimeDir() + QStringLiteral("/veltrima"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile empty(segmentPath(env));
    QVERIFY(empty.open(QIODevice::ReadWrite));
    QCOMPARE(flock(empty.handle(), LOCK_EX), 0);
    QElapsedTimer timer;
    timer.start();
    const ToolResult joined = tool.run({QStringLiteral("show")});
    QVERIFY(joined.finished);
    QCOMPARE(joined.exitCode, 3);
    QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(joined.err.contains("the lighting channel is not available"));
    flock(empty.handle(), LOCK_UN);
    QCOMPARE(tool.run({QStringLiteral("set-profile"), QStringLiteral("2")}).exitCode, 0);
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

// Start at log-on as a session does it: the log-on entry's command line is run with the
// real control program, the virtual HAL and the scenario sensors. With "Minimize after
// system startup" the window goes when the control program says so and the control
// program stays; without it the window stays.
#include "ProcessTools.h"

#include "ProductFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <csignal>

namespace {
const QString kControlTitle = QString::fromLatin1(ProgramNames::kControlWindowTitle);
const QString kMainViewTitle = QString::fromLatin1(ProgramNames::kMainViewTitle);

QString readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The value of a key of a desktop entry, with the escapes of a string value undone.
QString entryValue(const QString &path, const QString &key)
{
    for (const QString &line : readFile(path).split(QLatin1Char('\n'))) {
        if (!line.startsWith(key + QLatin1Char('=')))
            continue;
        const QString raw = line.mid(key.size() + 1);
        QString value;
        for (int i = 0; i < raw.size(); ++i) {
            if (raw.at(i) != QLatin1Char('\\') || i + 1 == raw.size()) {
                value += raw.at(i);
                continue;
            }
            const QChar next = raw.at(++i);
            value += next == QLatin1Char('s') ? QChar(' ') : next == QLatin1Char('n') ? QChar('\n') : next;
        }
        return value;
    }
    return {};
}

// An Exec value split into its arguments as a session's launcher does it.
QStringList execArguments(const QString &exec)
{
    QStringList arguments;
    QString current;
    bool quoted = false;
    bool inArgument = false;
    for (int i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (quoted && c == QLatin1Char('\\') && i + 1 < exec.size()) {
            current += exec.at(++i);
        } else if (c == QLatin1Char('"')) {
            quoted = !quoted;
            inArgument = true;
        } else if (c == QLatin1Char(' ') && !quoted) {
            if (inArgument)
                arguments << current;
            current.clear();
            inArgument = false;
        } else if (c == QLatin1Char('%') && i + 1 < exec.size() && exec.at(i + 1) == QLatin1Char('%')) {
            current += exec.at(++i);
            inArgument = true;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments << current;
    return arguments;
}

QString autostartEntry()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/autostart/veltrima-rgb.desktop");
}

bool writeAutostart(const QString &binFolder, QString *output = nullptr)
{
    QProcess script;
    script.setProcessEnvironment(TestEnvironment::processEnvironment());
    script.start(QStringLiteral(VELTRIMA_SOURCE_DIR "/tools/write-autostart.sh"), {binFolder});
    const bool ok = script.waitForFinished(15000) && script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
    if (output)
        *output = QString::fromUtf8(script.readAll());
    return ok;
}

// The build's programs seen through a folder whose name needs every kind of quoting.
QString awkwardBinFolder(const QString &root)
{
    const QString folder = root + QStringLiteral("/build \"one\" $HOME \\x 100%");
    QDir().mkpath(folder);
    QFile::link(TestEnvironment::binDir(), folder + QStringLiteral("/bin"));
    return folder + QStringLiteral("/bin");
}

QList<qint64> controlProcessesHere()
{
    const QByteArray marker = "XDG_RUNTIME_DIR=" + qgetenv("XDG_RUNTIME_DIR");
    QList<qint64> here;
    for (qint64 pid : ProcessTools::findProcesses(QString::fromLatin1(ProgramNames::kControlExecutable))) {
        QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
        if (environ.open(QIODevice::ReadOnly) && environ.readAll().split('\0').contains(marker))
            here.append(pid);
    }
    return here;
}

// The window starts the control program, not the test: whatever runs in this test's
// folders at the end is asked to quit, then killed.
class ControlCleanup
{
public:
    ~ControlCleanup()
    {
        const QList<qint64> running = controlProcessesHere();
        if (running.isEmpty())
            return;
        WindowMessenger::sendMessage(kControlTitle, ProgramNames::kMsgQuit, 1, 1);
        for (qint64 pid : running) {
            if (!waitUntil([pid] { return ::kill(pid_t(pid), 0) != 0; }, 15000))
                ::kill(pid_t(pid), SIGKILL);
        }
    }
};
} // namespace

class tst_SettingsAutorunE2e : public QObject
{
    Q_OBJECT

    // Logs on: runs the entry's command line with the setting saved as the user left it.
    void logOn(bool autoRun)
    {
        ProductFixture product;
        ControlCleanup cleanup;
        QDir().mkpath(product.storeFolder());
        {
            QSettings device(product.deviceFile(), QSettings::IniFormat);
            device.setValue(QStringLiteral("Main/isAutoRun"), autoRun);
            device.setValue(QStringLiteral("Main/AutoUpdate"), false);
        }
        QVERIFY(writeAutostart(awkwardBinFolder(product.environment().root())));
        const QStringList command = execArguments(entryValue(autostartEntry(), QStringLiteral("Exec")));
        QCOMPARE(command.size(), 2);
        QCOMPARE(command.at(1), QStringLiteral("open"));

        const QString log = product.environment().root() + QStringLiteral("/ui.log");
        ProgramRunner ui(command.at(0), {command.at(1)});
        // The detached control program inherits the output and writes on after the window.
        ui.process().setStandardOutputFile(log);
        ui.process().setStandardErrorFile(log, QIODevice::Append);
        const QString windowLog = product.storeFolder() + QStringLiteral("/VELTRIMARGB_UI_Log.txt");
        const auto uiLog = [&] { return readFile(windowLog) + readFile(log); };
        QVERIFY(ui.start());
        QVERIFY2(waitUntil([] { return WindowMessenger::findWindow(kControlTitle, 500).isValid(); }, 60000),
                 qPrintable(uiLog()));
        const qint64 control = WindowMessenger::windowPid(kControlTitle);
        const QString told = QStringLiteral("Main_View: window message 8303 wParam %1").arg(autoRun ? 1 : 0);

        if (autoRun) {
            QVERIFY2(ui.waitForExit(60000), qPrintable(uiLog()));
            QCOMPARE(ui.process().exitStatus(), QProcess::NormalExit);
            QCOMPARE(ui.process().exitCode(), 0);
            QVERIFY2(uiLog().contains(told), qPrintable(uiLog().right(3000)));
            QVERIFY(uiLog().contains(QLatin1String("quit after a start at log-on")));
        } else {
            QVERIFY2(waitUntil([&] { return uiLog().contains(told); }, 60000), qPrintable(uiLog().right(3000)));
            QTest::qWait(2000);
            QCOMPARE(ui.process().state(), QProcess::Running);
            QVERIFY(WindowMessenger::findWindow(kMainViewTitle, 2000).isValid());
        }
        // The control program stays in the tray either way.
        QTest::qWait(1000);
        QCOMPARE(WindowMessenger::windowPid(kControlTitle), control);
        QCOMPARE(controlProcessesHere().size(), 1);
        QCOMPARE(ProductFixture::state()
                     .value(QStringLiteral("settingData")).toObject()
                     .value(QStringLiteral("isAutoRun")).toBool(),
                 autoRun);

        if (!autoRun) {
            QVERIFY(WindowMessenger::sendMessage(kMainViewTitle, ProgramNames::kMsgQuit, 1, 1).has_value());
            QVERIFY(ui.waitForExit(20000));
        }
    }

private slots:
    void initTestCase()
    {
        if (TestEnvironment::binDir().isEmpty())
            QSKIP("VELTRIMA_BIN_DIR is not set");
    }

    // The package's entry names the program on the PATH; the build's entry names this
    // build's program, whatever its folder is called, and a switched-off entry stays off.
    void logOnEntries()
    {
        TestEnvironment env;
        QCOMPARE(execArguments(entryValue(QStringLiteral(VELTRIMA_SOURCE_DIR "/packaging/veltrima-rgb-autostart.desktop"),
                                          QStringLiteral("Exec"))),
                 QStringList({QStringLiteral("veltrima-rgb"), QStringLiteral("open")}));
        const QString bin = awkwardBinFolder(env.root());
        QString said;
        QVERIFY(writeAutostart(bin, &said));
        QVERIFY(said.contains(QLatin1String("Wrote")));
        QCOMPARE(entryValue(autostartEntry(), QStringLiteral("Type")), QStringLiteral("Application"));
        const QStringList command = execArguments(entryValue(autostartEntry(), QStringLiteral("Exec")));
        QCOMPARE(command, QStringList({bin + QStringLiteral("/veltrima-rgb"), QStringLiteral("open")}));
        QVERIFY(QFileInfo(command.at(0)).isExecutable());

        // Written once; a user's Hidden=true is kept.
        QVERIFY(writeAutostart(bin, &said));
        QVERIFY(said.isEmpty());
        QFile entry(autostartEntry());
        QVERIFY(entry.open(QIODevice::Append));
        entry.write("Hidden=true\n");
        entry.close();
        QVERIFY(writeAutostart(TestEnvironment::binDir(), &said));
        QVERIFY(readFile(autostartEntry()).contains(QLatin1String("Hidden=true")));
        QCOMPARE(execArguments(entryValue(autostartEntry(), QStringLiteral("Exec"))).value(0),
                 bin + QStringLiteral("/veltrima-rgb"));
    }

    void minimizedStartLeavesOnlyTheControlProgram() { logOn(true); }
    void normalStartKeepsTheWindow() { logOn(false); }
};

QTEST_MAIN(tst_SettingsAutorunE2e)
#include "tst_settings_autorun_e2e.moc"

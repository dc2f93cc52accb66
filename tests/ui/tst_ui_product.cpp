// The user interface with the real control program on a real X server: the virtual HAL
// and the scenario sensors play the machine. Covers the program's start of the control
// program, the information page fed live through the channel, the restart of a killed
// control program, a second start, and closing the window.
#include "Information_Slots_View.h"
#include "Information_View.h"
#include "KVRGBMemory.h"
#include "Loading_View.h"
#include "Main_View.h"
#include "ProgramState.h"

#include "MessagePresenter.h"
#include "ProcessTools.h"

#include "ProductFixture.h"

#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QtTest>

#include <csignal>

#include <memory>

namespace {
const QString kControlTitle = QString::fromLatin1(ProgramNames::kControlWindowTitle);
const QString kMainViewTitle = QString::fromLatin1(ProgramNames::kMainViewTitle);
const QString kStartedLine = QStringLiteral("VELTRIMA RGB Control.exe OK");

// The processes of a program that belong to this test's runtime folder; other tests on
// the machine may run the same programs in folders of their own.
QList<qint64> processesHere(const char *executable)
{
    const QByteArray marker = "XDG_RUNTIME_DIR=" + qgetenv("XDG_RUNTIME_DIR");
    QList<qint64> here;
    for (qint64 pid : ProcessTools::findProcesses(QString::fromLatin1(executable))) {
        QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
        if (environ.open(QIODevice::ReadOnly) && environ.readAll().split('\0').contains(marker))
            here.append(pid);
    }
    return here;
}

QList<qint64> controlProcesses()
{
    return processesHere(ProgramNames::kControlExecutable);
}

bool processGone(qint64 pid)
{
    return ::kill(pid_t(pid), 0) != 0;
}

// The control program is started by the user interface, not by the test: whatever runs
// in this test's folders at the end is asked to quit, then killed.
class ControlCleanup
{
public:
    ~ControlCleanup()
    {
        const QList<qint64> running = controlProcesses();
        if (running.isEmpty())
            return;
        WindowMessenger::sendMessage(kControlTitle, ProgramNames::kMsgQuit, 1, 1);
        for (qint64 pid : running) {
            if (!waitUntil([pid] { return processGone(pid); }, 15000))
                ::kill(pid_t(pid), SIGKILL);
        }
        waitUntil([] { return controlProcesses().isEmpty(); }, 5000);
    }
};

bool freshFourModules()
{
    const QJsonObject state = ProductFixture::state();
    const qint64 age = QDateTime::currentSecsSinceEpoch() - qint64(state.value(QStringLiteral("dataTimestamp")).toDouble());
    return state.value(QStringLiteral("memoryCount")).toInt() == 4 && age >= 0 && age <= 9;
}

QString labelText(const QWidget *parent, const char *name)
{
    const auto *label = parent->findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QString();
}

// Counts the lines the in-process user interface writes about starting the control program.
int g_startsLogged = 0;
QtMessageHandler g_previousHandler = nullptr;
void countStarts(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(kStartedLine))
        ++g_startsLogged;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}
} // namespace

class TestProduct : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (TestEnvironment::binDir().isEmpty())
            QSKIP("VELTRIMA_BIN_DIR is not set");
        MessagePresenter::setPresenter([](const MessagePresenter::Box &) {});
    }

    // The real program: one control program started, a second copy and a killed control
    // program handled, and the control program left running when the window goes.
    void programStartsControlOnceAndLeavesItRunning()
    {
        ProductFixture product;
        ControlCleanup cleanup;
        // The output goes to a file: the detached control program inherits it and must
        // be able to write on after the user interface has gone. Outside debug mode the
        // window's own lines go to its log file, and none to its output.
        const QString log = product.environment().root() + QStringLiteral("/ui.log");
        ProgramRunner ui(ProductFixture::program(QString::fromLatin1(ProgramNames::kUiExecutable)));
        ui.process().setStandardOutputFile(log);
        ui.process().setStandardErrorFile(log, QIODevice::Append);
        const auto readFile = [](const QString &path) {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        };
        const QString windowLog = product.storeFolder() + QStringLiteral("/VELTRIMARGB_UI_Log.txt");
        const auto uiLog = [&] { return readFile(windowLog); };
        QVERIFY(ui.start());

        QVERIFY2(waitUntil([] { return WindowMessenger::findWindow(kControlTitle, 500).isValid(); }, 40000),
                 qPrintable(uiLog()));
        QVERIFY2(waitUntil(freshFourModules, 30000), qPrintable(uiLog()));
        // The window may still be building its pages when the control program publishes.
        QVERIFY(waitUntil([] { return WindowMessenger::findWindow(kMainViewTitle, 500).isValid(); }, 30000));
        QCOMPARE(uiLog().count(kStartedLine), 1);
        QCOMPARE(controlProcesses().size(), 1);

        // A second copy hands over to the first and exits without starting anything.
        ProgramRunner second(ProductFixture::program(QString::fromLatin1(ProgramNames::kUiExecutable)));
        QVERIFY(second.start());
        QVERIFY(second.waitForExit(30000));
        QCOMPARE(second.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.process().exitCode(), 0);
        QVERIFY(!second.output().contains(kStartedLine));
        QCOMPARE(processesHere(ProgramNames::kUiExecutable).size(), 1);
        QVERIFY(waitUntil([&] { return uiLog().contains(QLatin1String("window message 8101")); }, 5000));

        // A killed control program goes stale; the user interface starts it again, once.
        const qint64 killed = WindowMessenger::windowPid(kControlTitle);
        QVERIFY(killed > 0);
        ::kill(pid_t(killed), SIGKILL);
        QVERIFY(waitUntil([killed] { return processGone(killed); }, 10000));
        QVERIFY2(waitUntil([killed] {
            const qint64 pid = WindowMessenger::windowPid(kControlTitle);
            return pid > 0 && pid != killed;
        }, 60000), qPrintable(uiLog()));
        QVERIFY(waitUntil(freshFourModules, 30000));
        QTest::qWait(3000);
        QCOMPARE(uiLog().count(kStartedLine), 2);
        QCOMPARE(controlProcesses().size(), 1);

        // The window goes; the control program stays.
        const qint64 control = WindowMessenger::windowPid(kControlTitle);
        QVERIFY(WindowMessenger::sendMessage(kMainViewTitle, ProgramNames::kMsgQuit, 1, 1).has_value());
        QVERIFY(ui.waitForExit(20000));
        QCOMPARE(ui.process().exitStatus(), QProcess::NormalExit);
        QVERIFY2(ui.process().exitCode() == 0, qPrintable(readFile(log).right(2000)));
        QVERIFY2(!readFile(log).contains(QLatin1String("ControlProgramLauncher:")), qPrintable(readFile(log).left(2000)));
        QTest::qWait(2000);
        QCOMPARE(WindowMessenger::windowPid(kControlTitle), control);
        QVERIFY(waitUntil(freshFourModules, 10000));
    }

    // The windows in this process: the overlay gives way to the machine's memory, which
    // the information page shows live; a killed control program brings the overlay back
    // until the restarted one publishes again.
    void informationPageShowsTheMachineLive()
    {
        ProductFixture product;
        ControlCleanup cleanup;
        g_startsLogged = 0;
        g_previousHandler = qInstallMessageHandler(countStarts);
        struct RestoreHandler {
            ~RestoreHandler() { qInstallMessageHandler(g_previousHandler); }
        } restoreHandler;
        int quits = 0;
        ProgramState::setQuitHandler([&quits] { ++quits; });
        struct RestoreQuit {
            ~RestoreQuit() { ProgramState::setQuitHandler({}); }
        } restoreQuit;

        auto base = std::make_unique<KVRGBMemory>(TestEnvironment::binDir());
        QVERIFY(base->channel().isLoaded());
        Main_View *view = base->mainView();
        QVERIFY(view->isVisible());
        QVERIFY(view->loadingView()->isLoading());
        QCOMPARE(g_startsLogged, 1);

        QVERIFY(waitUntil([&] { return base->firstDataSeen(); }, 40000));
        QVERIFY(!view->loadingView()->isVisible());
        QVERIFY(view->menuButton(1)->isVisible()); // the scenario's modules are lighting models

        Information_View *info = view->informationView();
        QVERIFY(info && info->isVisible());
        QCOMPARE(info->slotsView()->memoryCount(), 4);
        QVERIFY(waitUntil([&] { return labelText(info, "label_Total") == QLatin1String(" / 64 GB"); }, 10000));
        QCOMPARE(labelText(info, "label_Channel"), QStringLiteral("Channel: Dual"));
        QCOMPARE(labelText(info, "label_CAS"), QStringLiteral("CAS# Latency (CL): 40"));
        QCOMPARE(labelText(info, "label_RAS"), QStringLiteral("RAS# to CAS# Delay (tRCD): 40"));
        QCOMPARE(labelText(info, "label_Frequency"), QStringLiteral("Frequency: 2400"));
        QVERIFY(labelText(info, "label_Usage").endsWith(QLatin1String("GB")));
        QCOMPARE(info->slotsView()->typeText(), QStringLiteral("Type: DDR5"));
        QCOMPARE(info->slotsView()->sizeText(), QStringLiteral("Size: 16 GByte"));
        QCOMPARE(info->slotsView()->frequencyText(), QStringLiteral("Frequency: 2400 MHz"));
        QVERIFY2(info->slotsView()->temperatureText().contains(QStringLiteral("\u00B0C / ")),
                 qPrintable(info->slotsView()->temperatureText()));

        // The scenario's memory load climbs over the first minute and a half.
        QSet<QString> loads;
        QVERIFY(waitUntil([&] {
            bool numeric = false;
            const QString shown = labelText(info, "label_Percent");
            shown.toDouble(&numeric);
            if (numeric)
                loads.insert(shown);
            return loads.size() >= 3;
        }, 20000));
        QVERIFY(info->dialSpanDegrees() > 0);

        const QString picture = product.environment().root() + QStringLiteral("/main.png");
        QVERIFY(view->grab().save(picture, "PNG"));
        QCOMPARE(QImage(picture).size(), QSize(1000, 600));

        // A killed control program: the overlay covers the pages at once and says what the
        // window waits for; one restart, and the overlay goes.
        const qint64 killed = WindowMessenger::windowPid(kControlTitle);
        QVERIFY(killed > 0);
        ::kill(pid_t(killed), SIGKILL);
        QVERIFY(waitUntil([&] { return view->loadingView()->isVisible(); }, 5000));
        QVERIFY(view->loadingView()->statusText().contains(QLatin1String("VELTRIMA RGB Control")));
        QVERIFY(!info->isEnabled());
        // The program is started again before its data go stale, so the page may never
        // need the default record (the freshness rule has a test of its own).
        QVERIFY(waitUntil([killed] {
            const qint64 pid = WindowMessenger::windowPid(kControlTitle);
            return pid > 0 && pid != killed;
        }, 40000));
        QVERIFY(waitUntil([&] { return labelText(info, "label_Total") == QLatin1String(" / 64 GB"); }, 40000));
        QVERIFY(waitUntil([&] { return !view->loadingView()->isVisible(); }, 5000));
        QVERIFY(info->isEnabled());
        QTest::qWait(2000);
        QCOMPARE(g_startsLogged, 2);
        QCOMPARE(controlProcesses().size(), 1);

        // Closing the window ends the user interface only.
        const qint64 control = WindowMessenger::windowPid(kControlTitle);
        QTest::mouseClick(view->closeButton(), Qt::LeftButton);
        QCOMPARE(quits, 1);
        base.reset();
        QTest::qWait(2000);
        QCOMPARE(WindowMessenger::windowPid(kControlTitle), control);
        QVERIFY(waitUntil(freshFourModules, 10000));
    }
};

QTEST_MAIN(TestProduct)
#include "tst_ui_product.moc"

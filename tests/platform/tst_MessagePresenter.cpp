#include "MessagePresenter.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QMessageBox>
#include <QtTest>

#include <thread>

// The offscreen platform keeps its screen past the end of the program once a window has
// been shown; that is Qt's, not ours.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libqoffscreen\n";
}

namespace {

QList<QMessageBox *> openBoxes()
{
    QList<QMessageBox *> boxes;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
            boxes.append(box);
    }
    return boxes;
}

} // namespace

class tst_MessagePresenter : public QObject
{
    Q_OBJECT

private:
    TestEnvironment m_env;

private slots:
    void init()
    {
        MessagePresenter::clearShownBoxes();
        MessagePresenter::setPresenter({});
    }

    void cleanup()
    {
        for (QMessageBox *box : openBoxes())
            box->close();
        QTRY_VERIFY(openBoxes().isEmpty());
    }

    void showsANonModalBox()
    {
        QTest::ignoreMessage(QtInfoMsg, "Message box \"ERROR\": Can not find VELTRIMA RGB.exe");
        MessagePresenter::show(QStringLiteral("Can not find VELTRIMA RGB.exe"), QStringLiteral("ERROR"),
                               MessagePresenter::Icon::Information);
        const QList<QMessageBox *> boxes = openBoxes();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes.first()->text(), QStringLiteral("Can not find VELTRIMA RGB.exe"));
        QCOMPARE(boxes.first()->windowTitle(), QStringLiteral("ERROR"));
        QCOMPARE(boxes.first()->icon(), QMessageBox::Information);
        QVERIFY(!boxes.first()->isModal());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void boxFromAWorkerThreadAppearsOnTheGuiThread()
    {
        QTest::ignoreMessage(QtWarningMsg, "Message box \"Error\": HWInfo LOAD Failure");
        std::thread worker([] {
            MessagePresenter::show(QStringLiteral("HWInfo LOAD Failure"), QStringLiteral("Error"),
                                   MessagePresenter::Icon::Warning);
        });
        worker.join(); // returns without the GUI thread having run
        QCOMPARE(MessagePresenter::shownBoxes().size(), 1);
        QTRY_COMPARE(openBoxes().size(), 1);
        QCOMPARE(openBoxes().first()->thread(), qApp->thread());
        QCOMPARE(openBoxes().first()->icon(), QMessageBox::Warning);
    }

    void replacedPresenterSeesEveryBox()
    {
        QList<MessagePresenter::Box> seen;
        MessagePresenter::setPresenter([&seen](const MessagePresenter::Box &box) { seen.append(box); });
        QTest::ignoreMessage(QtWarningMsg, "Message box \"Error\": SharedDll Init Failure");
        MessagePresenter::show(QStringLiteral("SharedDll Init Failure"), QStringLiteral("Error"),
                               MessagePresenter::Icon::Warning);
        QCoreApplication::processEvents();
        QVERIFY(openBoxes().isEmpty());
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen.first().title, QStringLiteral("Error"));
        QCOMPARE(seen.first().icon, MessagePresenter::Icon::Warning);
    }

    void recordKeepsOnlyTheLatest()
    {
        MessagePresenter::setPresenter([](const MessagePresenter::Box &) {});
        for (int i = 0; i < MessagePresenter::MaxRecorded + 10; ++i) {
            QTest::ignoreMessage(QtInfoMsg, qPrintable(QStringLiteral("Message box \"t\": %1").arg(i)));
            MessagePresenter::show(QString::number(i), QStringLiteral("t"), MessagePresenter::Icon::NoIcon);
        }
        const QList<MessagePresenter::Box> boxes = MessagePresenter::shownBoxes();
        QCOMPARE(boxes.size(), MessagePresenter::MaxRecorded);
        QCOMPARE(boxes.last().text, QString::number(MessagePresenter::MaxRecorded + 9));
    }
};

QTEST_MAIN(tst_MessagePresenter)
#include "tst_MessagePresenter.moc"

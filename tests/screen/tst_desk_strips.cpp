// The X screen read through thin strips gives exactly what shrinking a full grab gives,
// and the sampler answers from it on its own thread.
#include "DominantColour.h"
#include "FastScalePicks.h"
#include "SamplerOnThread.h"
#include "ScreenPicture.h"
#include "X11StripGrabber.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {
QImage noise(QSize size, quint32 seed)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = 0xff000000u | (random.generate() & 0xffffffu);
    }
    return image;
}

// Every pixel a colour of its own position: a wrong row or column shows at once.
QImage positions(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = qRgb(x & 0xff, y & 0xff, ((x >> 8) << 4) | (y >> 8));
    }
    return image;
}

QString firstDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return QStringLiteral("sizes %1x%2 and %3x%4").arg(a.width()).arg(a.height()).arg(b.width()).arg(b.height());
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return QStringLiteral("pixel %1,%2: %3 and %4").arg(x).arg(y).arg(a.pixel(x, y), 8, 16).arg(b.pixel(x, y), 8, 16);
    return {};
}
} // namespace

class tst_DeskStrips : public QObject
{
    Q_OBJECT

private slots:
    void stripsEqualTheShrunkFullGrab_data()
    {
        QTest::addColumn<QImage>("picture");
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QTest::newRow("noise") << noise(screen, 7);
        QTest::newRow("positions") << positions(screen);
    }

    void stripsEqualTheShrunkFullGrab()
    {
        QFETCH(QImage, picture);
        std::unique_ptr<PictureWindow> window;
        QVERIFY2(showPicture(window, picture), "the picture never reached the screen");

        QString whyNot;
        const auto shared = X11StripGrabber::connect(&whyNot);
        QVERIFY2(shared, qPrintable(whyNot));
        QVERIFY(!shared->isXWayland());
        const auto socket = X11StripGrabber::connect(&whyNot, X11StripGrabber::Transport::Socket);
        QVERIFY2(socket, qPrintable(whyNot));

        // The whole screen, common smaller screens' corners and sizes where the toolkit
        // scales another way (no more than twice down) or even up.
        const QSize sizes[] = {picture.size(), {1366, 768}, {1280, 1024}, {1001, 37}, {640, 480},
                               {31, 300},       {30, 30},    {29, 16},     {16, 15},   {15, 15}, {7, 9}};
        for (const QSize &size : sizes) {
            const FastScalePicks picks(size);
            QCOMPARE(picks.points().size(), 225);
            const QImage expected = FastScalePicks::scaled(fullGrab(size));
            for (X11StripGrabber *grabber : {shared.get(), socket.get()}) {
                const QImage strips = picks.assemble(grabber->pixels(picks.points(), &whyNot));
                QVERIFY2(!strips.isNull(), qPrintable(whyNot));
                const QString difference = firstDifference(strips, expected);
                QVERIFY2(difference.isEmpty(), qPrintable(QStringLiteral("%1x%2 %3: %4")
                                                              .arg(size.width()).arg(size.height())
                                                              .arg(grabber == shared.get() ? "shm" : "socket", difference)));
            }
        }
        QVERIFY(shared->usesSharedMemory());
        QVERIFY(!socket->usesSharedMemory());
    }

    void pixelsOffTheScreenAreRefused()
    {
        QString whyNot;
        const auto grabber = X11StripGrabber::connect(&whyNot);
        QVERIFY2(grabber, qPrintable(whyNot));
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QVERIFY(grabber->pixels({QPoint(0, 0), QPoint(screen.width(), 3)}, &whyNot).isEmpty());
        QVERIFY(whyNot.contains(QLatin1String("refused")));
        QCOMPARE(grabber->pixels({QPoint(0, 0)}, &whyNot).size(), 1);
    }

    // The sampler on a worker thread: the screen's colour, once per burst of requests.
    void samplerAnswersOncePerWaitingRequest()
    {
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QImage picture(screen, QImage::Format_RGB32);
        picture.fill(qRgb(200, 100, 50));
        QPainter(&picture).fillRect(0, 0, screen.width() / 3, screen.height(), QColor(250, 250, 250));
        std::unique_ptr<PictureWindow> window;
        QVERIFY(showPicture(window, picture));

        SamplerOnThread worker;
        for (int i = 0; i < 10; ++i)
            worker.sampler().getDeskPixelRGB(0, 0); // the worker is not running yet: these wait
        worker.start();
        QTRY_COMPARE_WITH_TIMEOUT(worker.answers.size(), 1, 10000);
        QTest::qWait(300);
        QCOMPARE(worker.answers.size(), 1);
        QCOMPARE(worker.answers.at(0), (QVariantList{200, 100, 50}));

        picture.fill(qRgb(0, 0, 90));
        QVERIFY(showPicture(window, picture));
        worker.sampler().getDeskPixelRGB(0, 0);
        QTRY_COMPARE_WITH_TIMEOUT(worker.answers.size(), 2, 10000);
        QCOMPARE(worker.answers.at(1), (QVariantList{0, 0, 90}));
    }
};

QTEST_MAIN(tst_DeskStrips)
#include "tst_desk_strips.moc"

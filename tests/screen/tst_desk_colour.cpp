// Which colour of a shrunk screen picture wins, and a sampler without any screen to read.
#include "DominantColour.h"
#include "SamplerOnThread.h"

#include <QtTest>

#include <vector>

namespace {
// A 15 × 15 picture from colours given in row order, the last one repeated to the end.
QImage picture(const std::vector<std::pair<int, QRgb>> &runs)
{
    QImage image(15, 15, QImage::Format_RGB32);
    int i = 0;
    for (const auto &[count, colour] : runs)
        for (int k = 0; k < count && i < 225; ++k, ++i)
            image.setPixel(i % 15, i / 15, colour);
    for (; i < 225; ++i)
        image.setPixel(i % 15, i / 15, runs.back().second);
    return image;
}

DeskColour colourOf(const QImage &image)
{
    return DominantColour::of(image).value_or(DeskColour{-1, -1, -1});
}

QAtomicInt warnings;
void countSamplerLines(QtMsgType, const QMessageLogContext &, const QString &text)
{
    if (text.startsWith(QLatin1String("GetDeskPixel")))
        warnings.fetchAndAddOrdered(1);
}
} // namespace

class tst_DeskColour : public QObject
{
    Q_OBJECT

private slots:
    void choice()
    {
        const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0), grey = qRgb(128, 128, 128);
        QCOMPARE(colourOf(picture({{225, qRgb(12, 200, 99)}})), (DeskColour{12, 200, 99}));

        // As many white as black pixels: the first in row order wins, whichever it is.
        std::vector<std::pair<int, QRgb>> tie;
        for (int i = 0; i < 112; ++i)
            tie.insert(tie.end(), {{1, white}, {1, black}});
        tie.push_back({1, grey});
        QCOMPARE(colourOf(picture(tie)), (DeskColour{255, 255, 255}));
        tie.front().second = black;
        tie[1].second = white;
        QCOMPARE(colourOf(picture(tie)), (DeskColour{0, 0, 0}));

        // Dark blue with bright spots: an existing dark blue, not a mean of everything.
        const QImage spots = picture({{3, qRgb(255, 255, 255)}, {100, qRgb(10, 10, 90)}, {4, qRgb(255, 240, 0)},
                                      {1, qRgb(250, 30, 30)}, {117, qRgb(12, 8, 96)}});
        QCOMPARE(colourOf(spots), (DeskColour{10, 10, 90}));

        // Two shades closer than 80 count for each other and outweigh a larger third
        // colour; at a distance of exactly 80 they do not.
        const QRgb third = qRgb(0, 200, 0);
        QCOMPARE(colourOf(picture({{105, third}, {60, qRgb(100, 100, 100)}, {60, qRgb(100, 139, 100)}})),
                 (DeskColour{100, 100, 100}));
        QCOMPARE(colourOf(picture({{105, third}, {60, qRgb(100, 100, 100)}, {60, qRgb(100, 140, 100)}})),
                 (DeskColour{0, 200, 0}));
        // Red and blue weigh by the pair's mean red, each term rounded down on its own:
        // these two are 6399 apart in squares (6400.4 unrounded) and count, one more blue
        // step does not.
        QCOMPARE(colourOf(picture({{105, third}, {60, qRgb(165, 0, 0)}, {60, qRgb(187, 0, 47)}})),
                 (DeskColour{165, 0, 0}));
        QCOMPARE(colourOf(picture({{105, third}, {60, qRgb(165, 0, 0)}, {60, qRgb(187, 0, 48)}})),
                 (DeskColour{0, 200, 0}));

        // Other pixel formats are read as 32-bit RGB; nothing for no picture.
        QCOMPARE(colourOf(picture({{225, qRgb(40, 80, 120)}}).convertToFormat(QImage::Format_RGB888)),
                 (DeskColour{40, 80, 120}));
        QVERIFY(!DominantColour::of(QImage()).has_value());
    }

    // No display at all: the grab yields nothing, which is said once and never answered.
    void withoutAnyScreen()
    {
        qunsetenv("DISPLAY");
        SamplerOnThread worker;
        const QtMessageHandler previous = qInstallMessageHandler(countSamplerLines);
        worker.start();
        for (int i = 0; i < 5; ++i) {
            worker.sampler().getDeskPixelRGB(0, 0);
            QTest::qWait(100);
        }
        QTRY_COMPARE_WITH_TIMEOUT(warnings.loadAcquire(), 1, 5000);
        QTest::qWait(200);
        qInstallMessageHandler(previous);
        QCOMPARE(warnings.loadAcquire(), 1);
        QCOMPARE(worker.answers.size(), 0);
    }
};

QTEST_MAIN(tst_DeskColour)
#include "tst_desk_colour.moc"

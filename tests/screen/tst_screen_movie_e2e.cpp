// The real control program on an X screen of one flat colour: a module in Screen Movie
// shows that colour at half brightness (no sound plays) on the virtual HAL, and follows
// the screen when its colour changes.
#include "ProductFixture.h"

#include <QtTest>

namespace {
bool paintRoot(const QString &colour)
{
    QProcess xsetroot;
    xsetroot.start(QStringLiteral("xsetroot"), {QStringLiteral("-solid"), colour});
    return xsetroot.waitForFinished(10000) && xsetroot.exitStatus() == QProcess::NormalExit
        && xsetroot.exitCode() == 0;
}

QVector<quint32> halFrame(int device)
{
    const auto snapshot = ProductFixture::hal();
    if (!snapshot || device >= snapshot->devices.size())
        return {};
    return snapshot->devices.at(device).lastColours;
}

QString text(const QVector<quint32> &frame)
{
    QStringList parts;
    for (quint32 colour : frame)
        parts << QString::number(colour, 16);
    return parts.join(QLatin1Char(','));
}
} // namespace

class tst_ScreenMovieE2e : public QObject
{
    Q_OBJECT

private slots:
    void screenMovieShowsTheScreensColour()
    {
        QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "runs on an X server");
        ProductFixture product;
        QVERIFY(product.startControl());
        // Frames begin once the saved state is in the channel; a change made before would
        // be overwritten by it.
        QVERIFY2(waitUntil([] { return !halFrame(0).isEmpty(); }, 20000), qPrintable(product.control().output()));
        // Only now: an X server whose last client leaves resets its root window to black.
        QVERIFY(paintRoot(QStringLiteral("#c86432"))); // 200, 100, 50
        QVERIFY(ProductFixture::tool({QStringLiteral("set-lighting"), QStringLiteral("0"), QStringLiteral("30"),
                                      QStringLiteral("0"), QStringLiteral("2"), QStringLiteral("on")})
                    .has_value());

        // COLORREF is 0x00BBGGRR: (100, 50, 25) on all five LEDs.
        const QVector<quint32> half(5, 0x193264);
        QVERIFY2(waitUntil([&] { return halFrame(0) == half; }, 20000),
                 qPrintable(text(halFrame(0)) + QLatin1Char('\n') + product.control().output()));

        QVERIFY(paintRoot(QStringLiteral("#1040f0"))); // 16, 64, 240
        const QVector<quint32> blue(5, 0x782008);
        QVERIFY2(waitUntil([&] { return halFrame(0) == blue; }, 20000),
                 qPrintable(text(halFrame(0)) + QLatin1Char('\n') + product.control().output()));
        QVERIFY2(!product.control().output().contains(QLatin1String("GetDeskPixel")),
                 qPrintable(product.control().output()));
    }
};

QTEST_MAIN(tst_ScreenMovieE2e)
#include "tst_screen_movie_e2e.moc"

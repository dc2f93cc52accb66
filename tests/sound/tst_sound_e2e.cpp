// The control program with the virtual HAL and a private sound server: a module in
// Movie lights up with a tone and falls dark after it; a new default device is first
// reported as no level, then followed.
#include "ProductFixture.h"
#include "PulseServer.h"

#include <QtTest>

#include <algorithm>

namespace {
constexpr int kModule = 0;

// The brightest channel of the module's last frame on the HAL, or -1 without one.
int brightest()
{
    const auto snapshot = ProductFixture::hal();
    if (!snapshot || kModule >= snapshot->devices.size() || snapshot->devices.at(kModule).lastColours.size() < 5)
        return -1;
    int top = 0;
    for (quint32 colour : snapshot->devices.at(kModule).lastColours)
        top = std::max({top, int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF)});
    return top;
}
} // namespace

class tst_SoundE2e : public QObject
{
    Q_OBJECT

private slots:
    void movieFollowsTheSound()
    {
        ProductFixture product;
        const QString tone = product.environment().root() + QStringLiteral("/tone.wav");
        QVERIFY(PulseServer::writeTone(tone, 250.0, 4.0, 0.5));
        PulseServer server;
        QString why;
        if (!server.start({QStringLiteral("first")}, &why))
            QSKIP(qPrintable(why));
        product.enableDebugMode();
        QVERIFY(product.startControl());
        QVERIFY2(waitUntil([] { return brightest() >= 0; }, 20000), qPrintable(product.control().output()));

        QVERIFY(ProductFixture::tool({QStringLiteral("set-rgb"), QString::number(kModule),
                                      QStringLiteral("0xFFFFFF,0xFFFFFF,0xFFFFFF,0xFFFFFF,0xFFFFFF"),
                                      QStringLiteral("--bright"), QStringLiteral("1,1,1,1,1")}));
        QVERIFY(ProductFixture::tool({QStringLiteral("set-lighting"), QString::number(kModule), QStringLiteral("8"),
                                      QStringLiteral("0"), QStringLiteral("2"), QStringLiteral("on")}));
        QVERIFY2(waitUntil([] { return brightest() == 0; }, 20000), qPrintable(product.control().output()));

        auto player = PulseServer::play(tone, QStringLiteral("first"));
        QVERIFY(player);
        QVERIFY2(waitUntil([] { return brightest() >= 0x80; }, 20000), qPrintable(product.control().output()));
        QVERIFY(player->waitForExit(20000));
        QVERIFY(waitUntil([] { return brightest() == 0; }, 10000));

        // Each new recording (another device count, another default) answers -1 first.
        const QString noLevel = QStringLiteral("GetVolume -1");
        int before = product.logCount(noLevel);
        QVERIFY(PulseServer::addSink(QStringLiteral("second")) >= 0);
        QVERIFY(waitUntil([&] { return product.logCount(noLevel) > before; }, 10000));
        QTest::qWait(1500);
        before = product.logCount(noLevel);
        QVERIFY(PulseServer::pactl({QStringLiteral("set-default-sink"), QStringLiteral("second")}));
        QVERIFY(waitUntil([&] { return product.logCount(noLevel) > before; }, 10000));
        // What the first device plays no longer counts; what the new default plays does.
        player = PulseServer::play(tone, QStringLiteral("first"));
        QTest::qWait(2000);
        QCOMPARE(brightest(), 0);
        player->stop();
        player = PulseServer::play(tone, QStringLiteral("second"));
        QVERIFY(waitUntil([] { return brightest() >= 0x80; }, 20000));
        player->stop();
        QVERIFY(waitUntil([] { return brightest() == 0; }, 10000));

        product.stopControl();
        QCOMPARE(product.control().process().exitStatus(), QProcess::NormalExit);
    }
};

QTEST_GUILESS_MAIN(tst_SoundE2e)
#include "tst_sound_e2e.moc"

// The engine inside the running control program: frames reach every virtual module,
// the modules are handed effect 5 with their last frame when the program quits, and
// without a module the engine never sends.
#include "HalFixtures.h"
#include "ProductFixture.h"

#include <QtTest>

namespace {

std::optional<VirtualHalSnapshot> hal()
{
    return ProductFixture::hal();
}

quint64 calls(int device)
{
    const auto snapshot = hal();
    return snapshot && device < snapshot->devices.size() ? snapshot->devices.at(device).colourCalls : 0;
}

} // namespace

class tst_engine_process : public QObject
{
    Q_OBJECT

private slots:
    void everyModuleDrivenThenHandedEffect5()
    {
        ProductFixture product;
        QVERIFY(product.startControl());
        QVERIFY2(waitUntil([] { return calls(0) > 25 && calls(1) > 25 && calls(2) > 25 && calls(3) > 25; }, 30000),
                 qPrintable(product.control().output()));
        const auto running = hal();
        QVERIFY(running);
        QCOMPARE(running->deviceCount, 4);
        for (const VirtualHalDeviceSnapshot &device : running->devices) {
            QCOMPARE(device.lastEffect, 0);
            QCOMPARE(device.lastCount, 5);
            QCOMPARE(device.effectCalls[5], 0ull);
        }

        product.stopControl();
        QCOMPARE(product.control().process().state(), QProcess::NotRunning);
        const auto after = hal();
        QVERIFY(after);
        QCOMPARE(after->objectsAlive, qint64(0));
        for (int d = 0; d < 4; ++d) {
            const VirtualHalDeviceSnapshot &device = after->devices.at(d);
            QCOMPARE(device.lastEffect, 5);
            QCOMPARE(device.effectCalls[5], 1ull);
            QCOMPARE(device.lastCount, 5);
            QCOMPARE(device.lastColours.size(), 5);
            // Nothing but effect 0 before the last call.
            QCOMPARE(device.effectCalls[0] + 1, device.colourCalls);
        }
    }

    void withoutModulesNothingIsSent()
    {
        ProductFixture product;
        // The registered server now reports no device at all.
        QVERIFY(HalFixtures::registerVirtual(VirtualHalState::defaultClsid(), 0, 5));
        QVERIFY(product.startControl());
        QVERIFY2(product.control().waitForOutput(QStringLiteral("Memory_Number : 0"), 30000),
                 qPrintable(product.control().output()));
        QTest::qWait(500);
        const auto snapshot = hal();
        QVERIFY(snapshot);
        QCOMPARE(snapshot->deviceCount, 0);
        // The server was asked and, having nothing, given back.
        QCOMPARE(snapshot->objectsAlive, qint64(0));
        QVERIFY(snapshot->objectsCreated >= 1);
        product.stopControl();
        QCOMPARE(product.control().process().state(), QProcess::NotRunning);
    }
};

QTEST_GUILESS_MAIN(tst_engine_process)
#include "tst_engine_process.moc"

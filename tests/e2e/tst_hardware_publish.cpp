// The control program with the scenario sensors publishes a fresh record every second,
// and the LED counts the HAL reported survive every scan.
#include "ProductFixture.h"

#include <QJsonArray>
#include <QtTest>

class tst_HardwarePublish : public QObject
{
    Q_OBJECT

private slots:
    void freshRecordEverySecondKeepsLedCounts()
    {
        ProductFixture product;
        QVERIFY(product.startControl());
        QVERIFY2(waitUntil([] { return ProductFixture::state().value(QStringLiteral("memoryCount")).toInt() == 4; },
                           20000),
                 qPrintable(product.control().output()));
        const int firstStamp = ProductFixture::state().value(QStringLiteral("dataTimestamp")).toInt();
        QVERIFY(waitUntil([&] {
            return ProductFixture::state().value(QStringLiteral("dataTimestamp")).toInt() >= firstStamp + 2;
        }, 10000));

        const QJsonObject state = ProductFixture::state();
        QVERIFY(state.value(QStringLiteral("cpuTemperature")).toInt() > 0);
        QVERIFY(state.value(QStringLiteral("physicalMemoryLoad")).toDouble() > 0.0);
        const QJsonArray modules = state.value(QStringLiteral("memoryData")).toArray();
        for (int m = 0; m < 4; ++m) {
            const QJsonObject module = modules.at(m).toObject();
            QVERIFY2(module.value(QStringLiteral("manufacturer")).toString().contains(QStringLiteral("Vandercrest")),
                     qPrintable(QString::number(m)));
            QVERIFY(module.value(QStringLiteral("temperature")).toInt() > 0);
            QCOMPARE(module.value(QStringLiteral("ledNum")).toInt(), 5);
        }
    }
};

QTEST_GUILESS_MAIN(tst_HardwarePublish)
#include "tst_hardware_publish.moc"

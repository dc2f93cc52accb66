// The hub record file on its own: its byte layout, what a fill leaves out, and how an
// existing file at its place is treated; and how the record's receiver is recognised.
#include "HubSyncRecord.h"
#include "ProcessTools.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>


class tst_HubSyncRecord : public QObject
{
    Q_OBJECT

private:
    static quint32 word(const QByteArray &bytes, int offset)
    {
        return qFromLittleEndian<quint32>(bytes.constData() + offset);
    }
    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void fillWritesTheLayout()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("record"));
        HubSyncRecord record;
        QCOMPARE(record.animationChoice(), 0);
        QVERIFY(record.open(path));
        QCOMPARE(contents(path), QByteArray(HubSyncRecord::kSize, '\0'));

        HWData data = makeZeroHWData();
        MemoryModuleData &module = data.memoryData[2];
        module.lightMode = 20; // never mirrored, at fill time either
        module.colorMode = 1;
        module.turnOff = true;
        module.rgb[7] = 0x00ABCDEF;
        module.rgb[8] = 0x00FFFFFF; // beyond the mirrored LEDs
        module.singleRGB = 0x00010203;
        record.fill(data, 4, 2);

        const QByteArray bytes = contents(path);
        QCOMPARE(word(bytes, HubSyncRecord::kModuleCountAt), 4u);
        QCOMPARE(word(bytes, HubSyncRecord::kColorModeAt + 8), 0u);
        QCOMPARE(word(bytes, HubSyncRecord::kTurnOffAt + 8), 0u);
        QCOMPARE(word(bytes, HubSyncRecord::kLedColourAt + (2 * 8 + 7) * 4), 0x00ABCDEFu);
        QCOMPARE(word(bytes, HubSyncRecord::kLedColourAt + (3 * 8) * 4), 0u);
        QCOMPARE(word(bytes, HubSyncRecord::kSingleColourAt + 8), 0x00010203u);
        QCOMPARE(word(bytes, HubSyncRecord::kProfileAt), 2u);

        // The hub's field is read as the hub left it.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(HubSyncRecord::kAnimationAt));
        const qint32 choice = qToLittleEndian<qint32>(7);
        QCOMPARE(file.write(reinterpret_cast<const char *>(&choice), 4), qint64(4));
        file.close();
        QCOMPARE(record.animationChoice(), 7);

        record.close();
        QCOMPARE(record.animationChoice(), 0);
        record.writeProfile(5); // skipped without a mapping
        QCOMPARE(word(contents(path), HubSyncRecord::kProfileAt), 2u);
    }

    void existingFilesAreGrownNeverShrunkAndLinksReplaced()
    {
        QTemporaryDir dir;
        const QString longer = dir.filePath(QStringLiteral("longer"));
        QFile file(longer);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(1000, '\x5A'));
        file.close();
        HubSyncRecord record;
        QVERIFY(record.open(longer));
        record.close();
        QCOMPARE(contents(longer), QByteArray(1000, '\x5A'));

        const QString shorter = dir.filePath(QStringLiteral("shorter"));
        QFile small(shorter);
        QVERIFY(small.open(QIODevice::WriteOnly));
        small.write("ab");
        small.close();
        QVERIFY(record.open(shorter));
        QCOMPARE(contents(shorter), QByteArray("ab") + QByteArray(HubSyncRecord::kSize - 2, '\0'));

        const QString link = dir.filePath(QStringLiteral("link"));
        QVERIFY(QFile::link(longer, link));
        QVERIFY(record.open(link));
        QVERIFY(!QFileInfo(link).isSymLink());
        QCOMPARE(QFileInfo(link).size(), qint64(HubSyncRecord::kSize));
        QCOMPARE(contents(longer), QByteArray(1000, '\x5A'));
    }

    void receiverIsKnownByBaseNameAsWineShowsIt()
    {
        QCOMPARE(ProcessTools::baseName(QStringLiteral("C:\\Games\\KV RGB Memory.exe")),
                 QStringLiteral("KV RGB Memory.exe"));
        QCOMPARE(ProcessTools::baseName(QStringLiteral("/opt/kv/KV RGB Memory.exe (deleted)")),
                 QStringLiteral("KV RGB Memory.exe"));
        QVERIFY(ProcessTools::findProcesses(QStringLiteral("no-such-program.exe"), ProcessTools::Owner::CurrentUser).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_HubSyncRecord)
#include "tst_hub_sync_record.moc"

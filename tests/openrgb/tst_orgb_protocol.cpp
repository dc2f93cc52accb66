// The OpenRGB SDK encoding against bytes written out by hand from the protocol's layout,
// in each version whose controller block differs, and the refusal of replies that lie.
#include "OrgbCodec.h"
#include "OrgbPacket.h"
#include "OrgbReader.h"

#include <QtTest>

namespace {

std::string bytes(const char *hexText)
{
    return QByteArray::fromHex(QByteArray(hexText).replace(' ', "")).toStdString();
}

std::string le32(std::uint32_t value)
{
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[std::size_t(i)] = char((value >> (8 * i)) & 0xff);
    return out;
}

// A sized block: its leading u32 counts its own four bytes.
std::string sized(const std::string &body)
{
    return le32(std::uint32_t(body.size() + 4)) + body;
}

// Controller "D" by vendor "V" at "L": one mode "M", one zone "Z" of 2 LEDs with a 1x2
// matrix and a segment "S", LEDs "A" and "B", colours red and blue.
std::string controllerBlock(std::uint32_t v)
{
    std::string b = bytes("01000000 0200 4400");                        // type DRAM, name "D"
    if (v >= 1)
        b += bytes("0200 5600");                                         // vendor "V"
    b += bytes("0100 00  0100 00  0100 00  0200 4c00");                  // description, version, serial, location
    b += bytes("0100 00000000");                                         // 1 mode, active mode 0 (between!)
    b += bytes("0200 4d00 07000000 20000000 01000000 02000000");         // "M", value 7, per-LED flag, speed 1..2
    if (v >= 3)
        b += bytes("00000000 64000000");                                 // brightness 0..100
    b += bytes("00000000 01000000 03000000");                            // colours 0..1, speed 3
    if (v >= 3)
        b += bytes("32000000");                                          // brightness 50
    b += bytes("01000000 01000000 0100 11223300");                       // right, per-LED, one colour
    b += bytes("0100 0200 5a00 01000000 02000000 02000000 02000000");   // 1 zone "Z", linear, 2..2, 2
    b += bytes("1000 01000000 02000000 00000000 01000000");             // matrix: 16 bytes, 1x2
    if (v >= 4)
        b += bytes("0100 0200 5300 00000000 00000000 02000000");        // segment "S" 0+2
    if (v >= 5)
        b += bytes("00000000");                                          // zone flags
    b += bytes("0200 0200 4100 00000000 0200 4200 01000000");           // LEDs A=0, B=1
    b += bytes("0200 ff000000 0000ff00");                                // red, blue
    if (v >= 5)
        b += bytes("0000 01000000");                                     // no alternate names, flags local
    return sized(b);
}

OrgbController expectedController(std::uint32_t v)
{
    OrgbController c;
    c.type = 1;
    c.name = "D";
    c.vendor = v >= 1 ? "V" : "";
    c.location = "L";
    OrgbMode m;
    m.name = "M";
    m.value = 7;
    m.flags = 0x20;
    m.speedMin = 1;
    m.speedMax = 2;
    m.brightnessMax = v >= 3 ? 100 : 0;
    m.colorsMax = 1;
    m.speed = 3;
    m.brightness = v >= 3 ? 50 : 0;
    m.direction = 1;
    m.colorMode = 1;
    m.colors = {0x00332211};
    c.modes = {m};
    OrgbZone z;
    z.name = "Z";
    z.type = 1;
    z.ledsMin = z.ledsMax = z.ledsCount = 2;
    z.matrixHeight = 1;
    z.matrixWidth = 2;
    z.matrix = {0, 1};
    if (v >= 4)
        z.segments = {{"S", 0, 0, 2}};
    c.zones = {z};
    c.leds = {{"A", 0}, {"B", 1}};
    c.colors = {0x000000ff, 0x00ff0000};
    c.flags = v >= 5 ? 1 : 0;
    return c;
}

} // namespace

class tst_OrgbProtocol : public QObject
{
    Q_OBJECT

private slots:
    void controllerBlock_data()
    {
        QTest::addColumn<quint32>("version");
        for (quint32 v : {0u, 1u, 3u, 4u, 5u})
            QTest::newRow(qPrintable(QStringLiteral("v%1").arg(v))) << v;
    }

    void controllerBlock()
    {
        QFETCH(quint32, version);
        const std::string block = ::controllerBlock(version);
        std::string error;
        const std::optional<OrgbController> decoded = OrgbCodec::decodeController(block, version, &error);
        QVERIFY2(decoded, error.c_str());
        QVERIFY(*decoded == expectedController(version));
        QCOMPARE(QByteArray::fromStdString(OrgbCodec::encodeController(*decoded, version)).toHex(),
                 QByteArray::fromStdString(block).toHex());
        // Read in another version's layout, the same bytes do not pass as a controller.
        const quint32 other = version == 5 ? 0 : 5;
        QVERIFY(!OrgbCodec::decodeController(block, other) || !(*OrgbCodec::decodeController(block, other)
                                                                  == expectedController(version)));
    }

    void requestsAndSizedBlocks()
    {
        // Header: magic, device, id, payload size (header excluded); then the payload.
        QCOMPARE(QByteArray::fromStdString(OrgbPacket::updateLeds(3, {0x000000ff, 0x00ff0000})).toHex(),
                 QByteArray::fromStdString(bytes("4f524742 03000000 1a040000 0e000000"
                                                 "0e000000 0200 ff000000 0000ff00")).toHex());
        QCOMPARE(QByteArray::fromStdString(OrgbPacket::protocolVersion(5)).toHex(),
                 QByteArray::fromStdString(bytes("4f524742 00000000 28000000 04000000 05000000")).toHex());
        QCOMPARE(QByteArray::fromStdString(OrgbPacket::clientName("Vx")).toHex(),
                 QByteArray::fromStdString(bytes("4f524742 00000000 32000000 03000000 567800")).toHex());
        QCOMPARE(QByteArray::fromStdString(OrgbPacket::controllerData(2, 0)).toHex(),
                 QByteArray::fromStdString(bytes("4f524742 02000000 01000000 00000000")).toHex());
        QCOMPARE(QByteArray::fromStdString(OrgbPacket::controllerData(2, 4)).toHex(),
                 QByteArray::fromStdString(bytes("4f524742 02000000 01000000 04000000 04000000")).toHex());
        QCOMPARE(QByteArray::fromStdString(OrgbPacket::setCustomMode(1)).toHex(),
                 QByteArray::fromStdString(bytes("4f524742 01000000 4c040000 00000000")).toHex());

        // UpdateMode: data size (counting itself), mode index, the mode in the session's version.
        const OrgbMode mode = expectedController(3).modes.front();
        const std::string modeV3 = bytes("0200 4d00 07000000 20000000 01000000 02000000 00000000 64000000"
                                         "00000000 01000000 03000000 32000000 01000000 01000000 0100 11223300");
        const std::string body = sized(le32(2) + modeV3);
        QCOMPARE(QByteArray::fromStdString(OrgbPacket::updateMode(1, 2, mode, 3)).toHex(),
                 QByteArray::fromStdString(bytes("4f524742 01000000 4d040000") + le32(std::uint32_t(body.size()))
                                           + body)
                     .toHex());

        // A block whose size leaves itself out (or otherwise differs from the packet's) is refused.
        std::string block = ::controllerBlock(5);
        QVERIFY(OrgbCodec::decodeController(block, 5));
        block.replace(0, 4, le32(std::uint32_t(block.size() - 4)));
        std::string error;
        QVERIFY(!OrgbCodec::decodeController(block, 5, &error));
        QVERIFY(!error.empty());
    }

    void hostileReplies()
    {
        const std::string wrongMagic = bytes("4f524743 00000000 00000000 00000000");
        const std::string hundredMegabytes = bytes("4f524742 00000000 01000000 00e1f505");
        QVERIFY(!OrgbPacket::parseHeader(wrongMagic.data()));
        const std::optional<OrgbHeader> huge = OrgbPacket::parseHeader(hundredMegabytes.data());
        QVERIFY(huge && huge->size == 100000000u && huge->size > OrgbPacket::kMaxPayload);
        QVERIFY(!OrgbPacket::u32Reply(bytes("0500")));

        // Every cut of a good block is refused, never read past its end.
        const std::string block = ::controllerBlock(5);
        for (std::size_t cut = 0; cut < block.size(); ++cut) {
            std::string shorter = block.substr(0, cut);
            if (shorter.size() >= 4)
                shorter.replace(0, 4, le32(std::uint32_t(shorter.size())));
            QVERIFY2(!OrgbCodec::decodeController(shorter, 5), qPrintable(QString::number(cut)));
        }

        // Counts and lengths that announce far more than the block holds.
        const std::string head = bytes("01000000 0200 4400 0200 5600 0100 00 0100 00 0100 00 0200 4c00");
        QVERIFY(!OrgbCodec::decodeController(sized(bytes("01000000 ffff 44")), 5));               // string
        QVERIFY(!OrgbCodec::decodeController(sized(head + bytes("ffff 00000000")), 5));           // modes
        QVERIFY(!OrgbCodec::decodeController(sized(head + bytes("0000 00000000 ffff")), 5));      // zones
        QVERIFY(!OrgbCodec::decodeController(
            sized(head + bytes("0000 00000000 0100 0200 5a00 01000000 02000000 02000000 02000000"
                               "1000 ffffffff ffffffff")),
            5)); // a matrix of 2^64 cells behind a 16-byte length
        QVERIFY(!OrgbCodec::decodeController(sized(head + bytes("0000 00000000 0000 ffff")), 5)); // LEDs
        QVERIFY(!OrgbCodec::decodeController(sized(head + bytes("0000 00000000 0000 0000 ffff")), 5)); // colours

        // A string without its NUL is kept to its announced length; one with an early NUL is cut.
        const std::string early = bytes("0400 41004243"), missing = bytes("0200 4142");
        OrgbReader cutAtNul(early.data(), early.size());
        QCOMPARE(cutAtNul.string(), std::string("A"));
        OrgbReader noNul(missing.data(), missing.size());
        QCOMPARE(noNul.string(), std::string("AB"));
    }
};

QTEST_APPLESS_MAIN(tst_OrgbProtocol)
#include "tst_orgb_protocol.moc"

#include "SmbiosReader.h"

#include "SysfsFile.h"

#include <QRegularExpression>

#include <libudev.h>

#include <algorithm>
#include <memory>

namespace {

constexpr int kMemoryDeviceType = 17;
constexpr int kEndOfTable = 127;

quint16 word(const QByteArray &data, int offset)
{
    return quint16(quint8(data.at(offset)) | quint8(data.at(offset + 1)) << 8);
}

quint32 dword(const QByteArray &data, int offset)
{
    return quint32(word(data, offset)) | quint32(word(data, offset + 2)) << 16;
}

QString memoryTypeName(int code)
{
    switch (code) {
    case 0x12: return QStringLiteral("DDR");
    case 0x13: return QStringLiteral("DDR2");
    case 0x18: return QStringLiteral("DDR3");
    case 0x1A: return QStringLiteral("DDR4");
    case 0x1B: return QStringLiteral("LPDDR");
    case 0x1C: return QStringLiteral("LPDDR2");
    case 0x1D: return QStringLiteral("LPDDR3");
    case 0x1E: return QStringLiteral("LPDDR4");
    case 0x20: return QStringLiteral("HBM");
    case 0x21: return QStringLiteral("HBM2");
    case 0x22: return QStringLiteral("DDR5");
    case 0x23: return QStringLiteral("LPDDR5");
    default: return QString();
    }
}

// A text the firmware filled in, or null: empty texts count as absent.
QString present(const QString &text)
{
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() ? QString() : trimmed;
}

double halfOf(int mts)
{
    return mts > 0 ? mts / 2.0 : -1.0;
}

} // namespace

SmbiosReader::SmbiosReader(const QString &root)
    : m_root(root)
{
}

QVector<SmbiosReader::Slot> SmbiosReader::read() const
{
    // An SMBIOS 3 table may in principle reach 4 GB; real ones are a few kilobytes.
    constexpr qint64 maxBytes = 4 * 1024 * 1024;
    const QByteArray table = SysfsFile::readAll(m_root + QStringLiteral("/sys/firmware/dmi/tables/DMI"), maxBytes);
    if (!table.isEmpty())
        return parseTable(table);
    if (m_root != QLatin1String("/") && !m_root.isEmpty())
        return {};
    return parseUdevProperties(udevDmiProperties());
}

QVector<SmbiosReader::Slot> SmbiosReader::parseTable(const QByteArray &table)
{
    QVector<Slot> memorySlots;
    int offset = 0;
    while (offset + 4 <= table.size()) {
        const int type = quint8(table.at(offset));
        const int length = quint8(table.at(offset + 1));
        if (length < 4 || offset + length > table.size())
            break;
        // The strings follow the formatted area and end with two zero bytes.
        QVector<QString> strings;
        int end = offset + length;
        while (end < table.size()) {
            const int zero = table.indexOf('\0', end);
            if (zero < 0)
                return memorySlots;
            if (zero == end) {
                ++end;
                break;
            }
            strings.append(QString::fromLatin1(table.constData() + end, zero - end));
            end = zero + 1;
        }
        if (strings.isEmpty())
            ++end; // an empty string set is two zero bytes
        if (type == kEndOfTable)
            break;
        if (type == kMemoryDeviceType && length >= 0x15) {
            const QByteArray s = table.mid(offset, length);
            auto text = [&strings, &s, length](int at) {
                if (at >= length)
                    return QString();
                const int index = quint8(s.at(at));
                return index >= 1 && index <= strings.size() ? present(strings.at(index - 1)) : QString();
            };
            Slot slot;
            const int size = word(s, 0x0C);
            if (size == 0x7FFF && length >= 0x20)
                slot.module.sizeMB = int(std::min<quint32>(dword(s, 0x1C) & 0x7FFFFFFF, 0x7FFFFFFF));
            else if (size != 0xFFFF)
                slot.module.sizeMB = (size & 0x8000) ? (size & 0x7FFF) / 1024 : size;
            slot.module.text = text(0x10);
            slot.module.type = memoryTypeName(quint8(s.at(0x12)));
            int speed = length >= 0x17 ? word(s, 0x15) : 0;
            if (speed == 0xFFFF && length >= 0x58)
                speed = int(std::min<quint32>(dword(s, 0x54), 1000000));
            int configured = length >= 0x22 ? word(s, 0x20) : 0;
            if (configured == 0xFFFF && length >= 0x5C)
                configured = int(std::min<quint32>(dword(s, 0x58), 1000000));
            slot.module.frequency = halfOf(speed);
            slot.configuredSpeedMTs = configured > 0 ? configured : speed;
            slot.module.manufacturer = text(0x17);
            slot.module.partNumber = text(0x1A);
            memorySlots.append(slot);
        }
        offset = end;
    }
    return memorySlots;
}

QVector<SmbiosReader::Slot> SmbiosReader::parseUdevProperties(const QMap<QString, QString> &properties)
{
    static const QRegularExpression pattern(QStringLiteral("^MEMORY_DEVICE_(\\d+)_SIZE$"));
    QMap<int, Slot> byNumber;
    for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
        const QRegularExpressionMatch match = pattern.match(it.key());
        bool ok = false;
        const int n = match.hasMatch() ? match.captured(1).toInt(&ok) : -1;
        if (!ok || n < 0 || n >= kSensorModuleSlots)
            continue;
        const QString prefix = QStringLiteral("MEMORY_DEVICE_%1_").arg(n);
        auto value = [&properties, &prefix](const char *name) {
            return present(properties.value(prefix + QLatin1String(name)));
        };
        Slot slot;
        const qulonglong bytes = it.value().toULongLong(&ok);
        slot.module.sizeMB = ok ? int(std::min<qulonglong>(bytes / (1024 * 1024), 0x7FFFFFFF)) : 0;
        if (value("PRESENT") == QLatin1String("0"))
            slot.module.sizeMB = 0;
        slot.module.manufacturer = value("MANUFACTURER");
        slot.module.partNumber = value("PART_NUMBER");
        slot.module.type = value("TYPE");
        slot.module.text = value("LOCATOR");
        const int speed = value("SPEED_MTS").toInt();
        const int configured = value("CONFIGURED_SPEED_MTS").toInt();
        slot.module.frequency = halfOf(speed);
        slot.configuredSpeedMTs = configured > 0 ? configured : speed;
        byNumber.insert(n, slot);
    }
    QVector<Slot> memorySlots;
    if (byNumber.isEmpty())
        return memorySlots;
    memorySlots.resize(byNumber.lastKey() + 1);
    for (auto it = byNumber.cbegin(); it != byNumber.cend(); ++it)
        memorySlots[it.key()] = it.value();
    return memorySlots;
}

QMap<QString, QString> SmbiosReader::udevDmiProperties()
{
    QMap<QString, QString> properties;
    std::unique_ptr<udev, decltype(&udev_unref)> context(udev_new(), &udev_unref);
    if (!context)
        return properties;
    std::unique_ptr<udev_device, decltype(&udev_device_unref)> device(
        udev_device_new_from_subsystem_sysname(context.get(), "dmi", "id"), &udev_device_unref);
    if (!device)
        return properties;
    for (udev_list_entry *entry = udev_device_get_properties_list_entry(device.get()); entry;
         entry = udev_list_entry_get_next(entry)) {
        const char *name = udev_list_entry_get_name(entry);
        const char *value = udev_list_entry_get_value(entry);
        if (name && value && qstrncmp(name, "MEMORY_", 7) == 0)
            properties.insert(QString::fromUtf8(name), QString::fromUtf8(value));
    }
    return properties;
}

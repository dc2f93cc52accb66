#include "ChannelStatePrinter.h"

#include <QJsonArray>
#include <QStringList>

namespace {
QString fieldText(const char (&field)[kTextSize])
{
    return QString::fromUtf8(field, int(textLength(field)));
}

template <typename T>
QJsonArray jsonArray(const T *values, int count)
{
    QJsonArray array;
    for (int i = 0; i < count; ++i)
        array.append(double(values[i]));
    return array;
}

QString colourList(const COLORREF *colours, int count)
{
    QStringList parts;
    for (int i = 0; i < count; ++i)
        parts << ChannelStatePrinter::colourText(colours[i]);
    return parts.join(QLatin1Char(','));
}

QString brightList(const float *values, int count)
{
    QStringList parts;
    for (int i = 0; i < count; ++i)
        parts << QString::number(double(values[i]));
    return parts.join(QLatin1Char(','));
}

QJsonObject notiJson(const NotiEventData &e)
{
    return QJsonObject{
        {QStringLiteral("type"), e.type},
        {QStringLiteral("loadingOn"), e.loadingOn},
        {QStringLiteral("loadingValue"), e.loadingValue},
        {QStringLiteral("loadingColor"), double(e.loadingColor)},
        {QStringLiteral("loadingUnit"), e.loadingUnit},
        {QStringLiteral("shutdownMemoryOn"), e.shutdownMemoryOn},
        {QStringLiteral("shutdownMemoryValue"), e.shutdownMemoryValue},
        {QStringLiteral("shutdownMemoryUnit"), e.shutdownMemoryUnit},
        {QStringLiteral("fanSpeedOn"), e.fanSpeedOn},
        {QStringLiteral("fanSpeedValue"), e.fanSpeedValue},
        {QStringLiteral("fanSpeedUnit"), e.fanSpeedUnit},
        {QStringLiteral("shutdownCPUOn"), e.shutdownCPUOn},
        {QStringLiteral("shutdownCPUValue"), e.shutdownCPUValue},
        {QStringLiteral("shutdownCPUUnit"), e.shutdownCPUUnit},
    };
}

QJsonObject moduleJson(const MemoryModuleData &m)
{
    return QJsonObject{
        {QStringLiteral("memorySlot"), m.memorySlot},
        {QStringLiteral("slotSequence"), m.slotSequence},
        {QStringLiteral("temperature"), m.temperature},
        {QStringLiteral("manufacturer"), fieldText(m.manufacturer)},
        {QStringLiteral("partNumber"), fieldText(m.partNumber)},
        {QStringLiteral("memoryModuleSize"), m.memoryModuleSize},
        {QStringLiteral("frequency"), m.frequency},
        {QStringLiteral("memoryType"), fieldText(m.memoryType)},
        {QStringLiteral("moduleText"), fieldText(m.moduleText)},
        {QStringLiteral("ledNum"), m.ledNum},
        {QStringLiteral("turnOff"), m.turnOff},
        {QStringLiteral("softwareRGB"), jsonArray(m.softwareRGB, kLedSlots)},
        {QStringLiteral("rgb"), jsonArray(m.rgb, kLedSlots)},
        {QStringLiteral("singleRGB"), double(m.singleRGB)},
        {QStringLiteral("bright"), jsonArray(m.bright, kLedSlots)},
        {QStringLiteral("singleBright"), double(m.singleBright)},
        {QStringLiteral("lightMode"), m.lightMode},
        {QStringLiteral("colorMode"), m.colorMode},
        {QStringLiteral("lightSpeed"), m.lightSpeed},
    };
}
} // namespace

QString ChannelStatePrinter::colourText(COLORREF colour)
{
    return QStringLiteral("0x%1").arg(colour, 6, 16, QLatin1Char('0'));
}

QString ChannelStatePrinter::notiEventText(const NotiEventData &e)
{
    return QStringLiteral("type=%1 loading=%2/%3/%4/%5 shutdownMemory=%6/%7/%8 fanSpeed=%9/%10/%11 "
                          "shutdownCPU=%12/%13/%14")
        .arg(e.type)
        .arg(int(e.loadingOn))
        .arg(e.loadingValue)
        .arg(colourText(e.loadingColor))
        .arg(e.loadingUnit)
        .arg(int(e.shutdownMemoryOn))
        .arg(e.shutdownMemoryValue)
        .arg(e.shutdownMemoryUnit)
        .arg(int(e.fanSpeedOn))
        .arg(e.fanSpeedValue)
        .arg(e.fanSpeedUnit)
        .arg(int(e.shutdownCPUOn))
        .arg(e.shutdownCPUValue)
        .arg(e.shutdownCPUUnit);
}

QString ChannelStatePrinter::text() const
{
    const HWData &d = m_data;
    QStringList lines;
    lines << QStringLiteral("dataTimestamp: %1").arg(d.dataTimestamp)
          << QStringLiteral("memoryCount: %1").arg(d.memoryCount);
    QStringList indices;
    for (int p = 0; p < kModuleCount; ++p)
        indices << QString::number(d.memoryIndex[p]);
    lines << QStringLiteral("memoryIndex: %1").arg(indices.join(QLatin1Char(',')))
          << QStringLiteral("slotCount: %1").arg(d.slotCount)
          << QStringLiteral("cpuTemperature: %1").arg(d.cpuTemperature)
          << QStringLiteral("clock: %1").arg(d.clock)
          << QStringLiteral("memoryInfoText: %1").arg(fieldText(d.memoryInfoText))
          << QStringLiteral("casLatency: %1").arg(d.casLatency)
          << QStringLiteral("tRCD: %1 timing3: %2 timing4: %3").arg(d.tRCD).arg(d.timing3).arg(d.timing4)
          << QStringLiteral("channelCount: %1").arg(d.channelCount)
          << QStringLiteral("physicalMemory: used %1 MB, available %2 MB, load %3 %")
                 .arg(d.physicalMemoryUsed)
                 .arg(d.physicalMemoryAvailable)
                 .arg(d.physicalMemoryLoad)
          << QStringLiteral("chipset: %1").arg(fieldText(d.chipset))
          << QStringLiteral("selectProfile: %1").arg(d.selectProfile)
          << QStringLiteral("settings: language %1, autoUpdate %2, autoRun %3, currentLocation %4")
                 .arg(d.settingData.language)
                 .arg(int(d.settingData.isAutoUpdate))
                 .arg(int(d.settingData.isAutoRun))
                 .arg(int(d.settingData.isCurrentLocation))
          << QStringLiteral("notiEvent: %1").arg(notiEventText(d.notiEvent))
          << QStringLiteral("syncRGB: %1").arg(colourList(m_syncColours.constData(), m_syncColours.size()));
    for (int m = 0; m < kModuleCount; ++m) {
        const MemoryModuleData &r = d.memoryData[m];
        lines << QStringLiteral("module %1:").arg(m)
              << QStringLiteral("  memorySlot %1, slotSequence %2, temperature %3, ledNum %4")
                     .arg(r.memorySlot)
                     .arg(r.slotSequence)
                     .arg(r.temperature)
                     .arg(r.ledNum)
              << QStringLiteral("  %1 %2 %3 %4, %5 MB, %6 MHz")
                     .arg(fieldText(r.manufacturer), fieldText(r.partNumber), fieldText(r.memoryType),
                          fieldText(r.moduleText))
                     .arg(r.memoryModuleSize)
                     .arg(r.frequency)
              << QStringLiteral("  lightMode %1, colorMode %2, lightSpeed %3, turnOff %4")
                     .arg(r.lightMode)
                     .arg(r.colorMode)
                     .arg(r.lightSpeed)
                     .arg(int(r.turnOff))
              << QStringLiteral("  rgb %1").arg(colourList(r.rgb, kLedSlots))
              << QStringLiteral("  bright %1").arg(brightList(r.bright, kLedSlots))
              << QStringLiteral("  single %1 at %2").arg(colourText(r.singleRGB)).arg(double(r.singleBright))
              << QStringLiteral("  softwareRGB %1").arg(colourList(r.softwareRGB, kLedSlots));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QJsonObject ChannelStatePrinter::json() const
{
    const HWData &d = m_data;
    QJsonArray modules;
    for (const MemoryModuleData &m : d.memoryData)
        modules.append(moduleJson(m));
    return QJsonObject{
        {QStringLiteral("dataTimestamp"), d.dataTimestamp},
        {QStringLiteral("memoryIndex"), jsonArray(d.memoryIndex, kModuleCount)},
        {QStringLiteral("memoryCount"), d.memoryCount},
        {QStringLiteral("slotCount"), d.slotCount},
        {QStringLiteral("cpuTemperature"), d.cpuTemperature},
        {QStringLiteral("clock"), d.clock},
        {QStringLiteral("memoryInfoText"), fieldText(d.memoryInfoText)},
        {QStringLiteral("casLatency"), d.casLatency},
        {QStringLiteral("tRCD"), d.tRCD},
        {QStringLiteral("timing3"), d.timing3},
        {QStringLiteral("timing4"), d.timing4},
        {QStringLiteral("channelCount"), d.channelCount},
        {QStringLiteral("physicalMemoryUsed"), d.physicalMemoryUsed},
        {QStringLiteral("physicalMemoryAvailable"), d.physicalMemoryAvailable},
        {QStringLiteral("physicalMemoryLoad"), d.physicalMemoryLoad},
        {QStringLiteral("chipset"), fieldText(d.chipset)},
        {QStringLiteral("memoryData"), modules},
        {QStringLiteral("notiEvent"), notiJson(d.notiEvent)},
        {QStringLiteral("selectProfile"), d.selectProfile},
        {QStringLiteral("settingData"),
         QJsonObject{{QStringLiteral("language"), d.settingData.language},
                     {QStringLiteral("isAutoUpdate"), d.settingData.isAutoUpdate},
                     {QStringLiteral("isAutoRun"), d.settingData.isAutoRun},
                     {QStringLiteral("isCurrentLocation"), d.settingData.isCurrentLocation}}},
        {QStringLiteral("syncRGB"), jsonArray(m_syncColours.constData(), m_syncColours.size())},
    };
}

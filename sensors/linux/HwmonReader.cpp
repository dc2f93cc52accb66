#include "HwmonReader.h"

#include "SysfsFile.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

#include <algorithm>

namespace {

// A hwmon temperature in degrees Celsius; false when missing or not a number.
bool readTemperature(const QString &path, double &celsius)
{
    bool ok = false;
    const qlonglong milli = SysfsFile::readLine(path).toLongLong(&ok);
    if (!ok)
        return false;
    celsius = double(milli) / 1000.0;
    return true;
}

struct TemperatureInput {
    int number;
    QString label;
    double celsius;
};

// temp<N>_input with its label (empty when the device gives none), in number order.
QVector<TemperatureInput> temperatureInputs(const QString &folder)
{
    QMap<int, TemperatureInput> inputs;
    static const QRegularExpression pattern(QStringLiteral("^temp(\\d+)_input$"));
    const QStringList names = QDir(folder).entryList({QStringLiteral("temp*_input")}, QDir::Files);
    for (const QString &name : names) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (!match.hasMatch())
            continue;
        TemperatureInput input{match.captured(1).toInt(), QString(), 0.0};
        if (!readTemperature(folder + QLatin1Char('/') + name, input.celsius))
            continue;
        input.label = SysfsFile::readLine(folder + QStringLiteral("/temp%1_label").arg(input.number));
        inputs.insert(input.number, input);
    }
    return inputs.values().toVector();
}

// The i2c bus and address of a hwmon device's parent ("<bus>-<4 hex digits>").
bool i2cAddress(const QString &hwmonFolder, int &bus, int &address)
{
    const QString device = QFileInfo(hwmonFolder + QStringLiteral("/device")).canonicalFilePath();
    static const QRegularExpression pattern(QStringLiteral("^(\\d+)-([0-9a-fA-F]{4})$"));
    const QRegularExpressionMatch match = pattern.match(QFileInfo(device).fileName());
    if (device.isEmpty() || !match.hasMatch())
        return false;
    bool ok = false;
    bus = match.captured(1).toInt(&ok);
    if (!ok)
        return false;
    address = match.captured(2).toInt(&ok, 16);
    return ok;
}

QString cpuReadingLabel(const QString &driver, const QString &label)
{
    if (driver == QLatin1String("coretemp")) {
        if (label.startsWith(QLatin1String("Package id")))
            return QStringLiteral("CPU Package");
        return label;
    }
    if (label == QLatin1String("Tctl"))
        return QStringLiteral("CPU (Tctl/Tdie)");
    if (label == QLatin1String("Tdie"))
        return QStringLiteral("CPU Die (average)");
    static const QRegularExpression ccd(QStringLiteral("^Tccd(\\d+)$"));
    const QRegularExpressionMatch match = ccd.match(label);
    if (match.hasMatch())
        return QStringLiteral("CPU CCD%1 (Tdie)").arg(match.captured(1));
    return label;
}

struct DimmSensor {
    int bus;
    int address;
    double celsius;
};

} // namespace

HwmonReader::HwmonReader(const QString &root)
    : m_root(root)
{
}

int HwmonReader::dimmNumber(int busRank, int address)
{
    const bool jc42 = address >= 0x18 && address <= 0x1f;
    const bool spd = address >= 0x50 && address <= 0x57;
    if (busRank < 0 || (!jc42 && !spd))
        return -1;
    return busRank * 8 + (address & 7);
}

QString HwmonReader::cpuModel() const
{
    // A few kilobytes per core.
    constexpr qint64 maxBytes = 16 * 1024 * 1024;
    const QByteArray contents = SysfsFile::readAll(m_root + QStringLiteral("/proc/cpuinfo"), maxBytes);
    for (const QByteArray &bytes : contents.split('\n')) {
        const QString line = QString::fromUtf8(bytes);
        if (!line.startsWith(QLatin1String("model name")))
            continue;
        const int colon = line.indexOf(QLatin1Char(':'));
        return colon < 0 ? QString() : line.mid(colon + 1).simplified();
    }
    return QString();
}

QVector<SensorDevice> HwmonReader::read() const
{
    const QString classFolder = m_root + QStringLiteral("/sys/class/hwmon");
    QStringList folders = QDir(classFolder).entryList({QStringLiteral("hwmon*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(folders.begin(), folders.end(), numeric);

    QVector<SensorDevice> cpus;
    QVector<DimmSensor> dimms;
    const QString model = cpuModel();
    for (const QString &name : qAsConst(folders)) {
        const QString folder = classFolder + QLatin1Char('/') + name;
        const QString driver = SysfsFile::readLine(folder + QStringLiteral("/name"));
        if (driver == QLatin1String("coretemp") || driver == QLatin1String("k10temp")) {
            const QString vendor = driver == QLatin1String("coretemp") ? QStringLiteral("Intel") : QStringLiteral("AMD");
            SensorDevice cpu;
            cpu.name = QStringLiteral("CPU [#%1]: %2").arg(cpus.size())
                           .arg(model.contains(vendor, Qt::CaseInsensitive) ? model : (vendor + QLatin1Char(' ') + model).trimmed());
            for (const TemperatureInput &input : temperatureInputs(folder)) {
                const QString label = cpuReadingLabel(driver, input.label);
                if (!label.isEmpty())
                    cpu.temperatures.append({label, input.celsius, QStringLiteral("°C")});
            }
            if (!cpu.temperatures.isEmpty())
                cpus.append(cpu);
        } else if (driver == QLatin1String("jc42") || driver == QLatin1String("spd5118")) {
            DimmSensor dimm{};
            const QVector<TemperatureInput> inputs = temperatureInputs(folder);
            if (inputs.isEmpty() || !i2cAddress(folder, dimm.bus, dimm.address))
                continue;
            dimm.celsius = inputs.first().celsius;
            dimms.append(dimm);
        }
    }

    QVector<SensorDevice> devices = cpus;
    if (dimms.isEmpty())
        return devices;
    QVector<int> buses;
    for (const DimmSensor &d : qAsConst(dimms)) {
        if (!buses.contains(d.bus))
            buses.append(d.bus);
    }
    std::sort(buses.begin(), buses.end());
    QMap<int, double> byNumber;
    for (const DimmSensor &d : qAsConst(dimms)) {
        const int n = dimmNumber(buses.indexOf(d.bus), d.address);
        if (n >= 0 && !byNumber.contains(n))
            byNumber.insert(n, d.celsius);
    }
    SensorDevice sensor;
    sensor.name = QStringLiteral("DIMM Temperature Sensors");
    for (auto it = byNumber.cbegin(); it != byNumber.cend(); ++it)
        sensor.temperatures.append({QStringLiteral("DIMM[%1] Temperature").arg(it.key()), it.value(), QStringLiteral("°C")});
    if (!sensor.temperatures.isEmpty())
        devices.append(sensor);
    return devices;
}

#include "Get_HWInfo.h"

#include "SensorLibraryRegistration.h"

#include <QCoreApplication>
#include <QDebug>
#include <QThread>
#include <QTime>
#include <QTimer>

#include <climits>
#include <cmath>
#include <mutex>

std::atomic<bool> cpuSensorFound{false};

namespace {

constexpr int kModuleIndexCount = 16;
constexpr int kReadingsPerSensor = 64;
constexpr int kMaxSensors = 1024;
constexpr int kScanIntervalMs = 1000;
constexpr int kModuleTextSize = 64;
constexpr int kLabelSize = 256;
constexpr int kVerboseInitFlags = 1;
constexpr int kQuietInitFlags = 64;
const char kMakerName[] = "Vandercrest";

std::mutex presenterLock;
Get_HWInfo::MessagePresenter presenter;
// The load failure is shown once per run; later retries only log it.
std::atomic<bool> loadFailureShown{false};

// A reading as whole degrees or MB, truncated; false for values no int can hold.
bool toWhole(double value, int &whole)
{
    if (!std::isfinite(value) || value <= double(INT_MIN) - 1.0 || value >= double(INT_MAX) + 1.0)
        return false;
    whole = int(value);
    return true;
}

// Copies a module or board text into a record field when the library reports success;
// the library's buffer is cut at its last byte whatever it wrote.
template <typename Call>
void readText(Call call, char (&field)[kTextSize])
{
    char buffer[kModuleTextSize] = {};
    if (!call(buffer))
        return;
    buffer[kModuleTextSize - 1] = '\0';
    setText(field, buffer);
}

QString numberText(double value)
{
    return QString::number(value, 'g', 6);
}

} // namespace

Get_HWInfo::Get_HWInfo(QObject *parent)
    : QObject(parent)
{
    registerLightingMetaTypes();
    systemData = makeZeroHWData();
    systemData.reset();
    for (MemoryModuleData &module : systemData.memoryData) {
        module.ledNum = 0;
        module.turnOff = false;
    }
    m_working = systemData;
    qDebug() << "HW";
}

Get_HWInfo::~Get_HWInfo()
{
    // Pairs with the end of stopScans(): the worker's last writes come before ours.
    { std::lock_guard<std::mutex> handOver(m_lock); }
    if (timer_Hwinfo && timer_Hwinfo->thread() == QThread::currentThread())
        stopScans();
    if (m_library.isLoaded())
        m_library.shutdown();
    m_library.unload();
    slotEntryMap.clear();
}

void Get_HWInfo::setMessagePresenter(MessagePresenter show)
{
    std::lock_guard<std::mutex> guard(presenterLock);
    presenter = std::move(show);
}

void Get_HWInfo::setDebugModes(bool debugMode, bool hwDebugMode)
{
    m_debugMode = debugMode;
    m_hwDebugMode = hwDebugMode;
}

HWData Get_HWInfo::snapshot() const
{
    std::lock_guard<std::mutex> locker(m_lock);
    return systemData;
}

void Get_HWInfo::showMessage(const QString &text) const
{
    const QString caption = QStringLiteral("Error");
    qWarning() << "Message box:" << text << caption;
    MessagePresenter show;
    {
        std::lock_guard<std::mutex> guard(presenterLock);
        show = presenter;
    }
    if (show)
        show(text, caption);
}

void Get_HWInfo::initHWInfo()
{
    qDebug() << " Get_HWInfo::initHWInfo";
    const SensorLibraryRegistration registration = SensorLibraryRegistration::find(QCoreApplication::applicationDirPath());
    const bool loaded = m_library.isLoaded() || m_library.load(registration.libraryPath());
    qDebug() << "setupHWiNFO" << QThread::currentThreadId();
    if (m_debugMode)
        qDebug() << "initHWInfo Start";

    if (!loaded) {
        qWarning() << "CANNOT LOAD DLL" << registration.libraryPath() << m_library.errorString();
        if (!loadFailureShown.exchange(true))
            showMessage(QStringLiteral("HWInfo LOAD Failure"));
        if (m_debugMode)
            qDebug() << "HWInfo LOAD Failure";
        emit writeErrorLog(QStringLiteral("HWInfo LOAD Failure: %1").arg(m_library.errorString()));
        emit sendInitStatus(false);
        return;
    }

    if (!m_library.configure(registration.config()))
        qWarning() << "The sensor library refused its configuration" << registration.config();
    const int flags = m_debugMode && m_hwDebugMode ? kVerboseInitFlags : kQuietInitFlags;
    const int result = m_library.initialise(flags);
    bool status = false;
    m_ready = result == 0;
    if (result != 0) {
        qWarning() << "INIT FAILED:" << result;
        if (!m_initFailureShown) {
            m_initFailureShown = true;
            showMessage(QStringLiteral("HWInfo Init Failure"));
        }
        if (m_debugMode)
            qDebug() << "HWInfo Init Failure";
        emit writeErrorLog(QStringLiteral("HWInfo Init Failure: %1").arg(result));
    } else {
        initData();
        if (!timer_Hwinfo) {
            timer_Hwinfo = new QTimer(this);
            connect(timer_Hwinfo, &QTimer::timeout, this, &Get_HWInfo::updateData);
        }
        if (!timer_Hwinfo->isActive()) {
            qDebug() << "!timer_Hwinfo->isActive()";
            timer_Hwinfo->start(kScanIntervalMs);
        }
        qDebug() << "INIT OK---11";
        if (m_debugMode)
            qDebug() << "HWInfo Init Success";
        status = true;
    }
    qDebug() << "Init INFO END" << QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz"));
    emit sendInitStatus(status);
}

void Get_HWInfo::clearEntry(int entry)
{
    m_working.memoryIndex[entry] = -1;
    m_working.memoryData[entry].reset(entry);
    m_working.memoryData[entry].ledNum = 0;
}

void Get_HWInfo::initData()
{
    qDebug() << "InitData";
    if (m_debugMode)
        qDebug() << "HWInfo Init Data";
    m_working.memoryCount = 0;
    slotEntryMap.clear();
    for (int k = 0; k < kModuleCount; ++k)
        clearEntry(k);

    for (int i = 0; i < kModuleIndexCount; ++i) {
        if (m_working.memoryCount >= kModuleCount) {
            qWarning() << "InitData: eight modules kept, module indices from" << i << "on are ignored";
            break;
        }
        const int size = m_library.moduleSize(i);
        if (size < 1)
            continue;
        const int k = m_working.memoryCount;
        MemoryModuleData &entry = m_working.memoryData[k];
        entry.memoryModuleSize = size;
        qDebug() << "systemData.memoryData[" << k << "].memoryModuleSize:" << size;
        entry.memorySlot = i;
        m_working.memoryIndex[k] = k;
        slotEntryMap.insert(i, k);

        bool maker = false;
        char manufacturer[kModuleTextSize] = {};
        if (m_library.moduleManufacturer(i, manufacturer, kModuleTextSize)) {
            manufacturer[kModuleTextSize - 1] = '\0';
            qDebug() << "Check KV---HWi32_GetMemoryModuleManuf Success" << manufacturer;
            setText(entry.manufacturer, manufacturer);
            maker = QByteArray(manufacturer).contains(kMakerName);
        }
        if (maker) {
            ++m_working.memoryCount;
            continue;
        }
        // Another maker's module leaves no trace: no size for the totals, no temperature.
        clearEntry(k);
        slotEntryMap.remove(i);
    }

    qDebug() << "getSystemData()---Start111" << m_working.chipset;
    // The slot count is settled before the first scan is published: the user interface
    // takes the slot count of the first record it sees.
    const QStringList lines = scanMachine();
    qDebug() << "getSystemData()---End";
    qDebug() << "systemData.chipset = " << m_working.chipset;

    const QString chipset = QString::fromUtf8(m_working.chipset, int(textLength(m_working.chipset)));
    bool manySlots = m_working.memoryCount > 4;
    for (const char *board : {"x99", "x299", "x399", "TRX40"})
        manySlots = manySlots || chipset.contains(QLatin1String(board), Qt::CaseInsensitive);
    m_working.slotCount = manySlots ? 8 : 4;
    finishScan(lines);
    emit initInfoStatus(snapshot());
}

void Get_HWInfo::publish()
{
    std::lock_guard<std::mutex> locker(m_lock);
    // LED counts come from the lighting engine through slot_LedNum, not from the scan.
    for (int k = 0; k < kModuleCount; ++k)
        m_working.memoryData[k].ledNum = systemData.memoryData[k].ledNum;
    systemData = m_working;
}

void Get_HWInfo::updateData()
{
    if (!m_ready)
        return;
    if (m_debugMode)
        qDebug() << "HWInfo Get System Data Start";
    getSystemData();
    if (m_debugMode)
        qDebug() << "HWInfo Get System Data End";
}

void Get_HWInfo::getSystemData()
{
    finishScan(scanMachine());
}

void Get_HWInfo::finishScan(const QStringList &lines)
{
    publish();
    emit doneScanComputer(lines);
    emit sendTemp(m_working.cpuTemperature);
}

QStringList Get_HWInfo::scanMachine()
{
    for (MemoryModuleData &entry : m_working.memoryData) {
        if (entry.memoryModuleSize > 0) {
            const int index = entry.memorySlot;
            readText([&](char *b) { return m_library.moduleType(index, b, kModuleTextSize); }, entry.memoryType);
            readText([&](char *b) { return m_library.moduleText(index, b, kModuleTextSize); }, entry.moduleText);
            readText([&](char *b) { return m_library.moduleManufacturer(index, b, kModuleTextSize); }, entry.manufacturer);
            readText([&](char *b) { return m_library.modulePartNumber(index, b, kModuleTextSize); }, entry.partNumber);
            entry.frequency = m_library.moduleFrequency(index);
        }
        entry.temperature = -1;
    }

    m_working.clock = m_library.memoryClock();
    readText([&](char *b) { return m_library.memoryInfoText(b, kModuleTextSize); }, m_working.memoryInfoText);
    readText([&](char *b) { return m_library.chipset(b, kModuleTextSize); }, m_working.chipset);
    m_working.casLatency = m_library.casLatency();
    m_working.tRCD = m_library.tRCD();
    m_working.timing3 = m_library.timing3();
    m_working.timing4 = m_library.timing4();
    m_working.channelCount = m_library.channelCount();

    int cpuTemperature = 0;
    QString driveMarker = QStringLiteral("S.M.A.R.T");
    QStringList lines;
    int sensors = m_library.sensorCount();
    if (sensors > kMaxSensors) {
        qWarning() << "The sensor library reports" << sensors << "sensors; reading the first" << kMaxSensors;
        sensors = kMaxSensors;
    }
    for (int s = 0; s < sensors; ++s) {
        char nameBuffer[kLabelSize] = {};
        m_library.sensorName(s, nameBuffer, kLabelSize);
        nameBuffer[kLabelSize - 1] = '\0';
        const QString name = QString::fromUtf8(nameBuffer);

        if (name.contains(QLatin1String("S.M.A.R.T"), Qt::CaseInsensitive)
            || name.contains(driveMarker, Qt::CaseInsensitive)) {
            // A drive's sensors are skipped; its name marks its other sensors too.
            const QStringList parts = name.split(QStringLiteral("S.M.A.R.T.: "));
            if (parts.size() > 1 && !parts.at(1).isEmpty())
                driveMarker = parts.at(1);
            continue;
        }
        readSensor(s, name, cpuTemperature, lines);
    }

    m_working.cpuTemperature = cpuTemperature;
    return lines;
}

void Get_HWInfo::readSensor(int sensor, const QString &sensorName, int &cpuTemperature, QStringList &lines)
{
    const bool cpuSensor = sensorName.contains(QLatin1String("CPU [#"), Qt::CaseInsensitive);
    const bool intel = cpuSensor && sensorName.contains(QLatin1String("Intel"), Qt::CaseInsensitive);
    const bool amd = cpuSensor && !intel && sensorName.contains(QLatin1String("AMD"), Qt::CaseInsensitive);
    const QLatin1String packageLabel = amd ? QLatin1String("CPU (Tctl/Tdie)") : QLatin1String("CPU Package");

    m_library.prepareSensor(sensor);
    for (int j = 0; j < kReadingsPerSensor; ++j) {
        char label[kLabelSize] = {};
        const double temperature = m_library.temperatureReading(sensor, j, label, kLabelSize);
        label[kLabelSize - 1] = '\0';
        if (label[0] != '\0') {
            const QString text = QString::fromUtf8(label);
            lines.append(QStringLiteral("Device = ") + text + QStringLiteral(", temp = ") + numberText(temperature));
            int whole = 0;
            const bool cpuLabel = text == QLatin1String("CPU") || text == packageLabel;
            if (cpuLabel && temperature > cpuTemperature && toWhole(temperature, whole)) {
                if (cpuSensor) {
                    cpuSensorFound = true;
                    cpuTemperature = whole;
                } else if (!cpuSensorFound) {
                    cpuTemperature = whole;
                }
            }
            if (text.contains(QLatin1String("DIMM"), Qt::CaseInsensitive))
                applyDimmTemperature(text, temperature);
        }

        char otherLabel[kLabelSize] = {};
        char unit[kLabelSize] = {};
        const double value = m_library.otherReading(sensor, j, otherLabel, kLabelSize, unit, kLabelSize);
        otherLabel[kLabelSize - 1] = '\0';
        unit[kLabelSize - 1] = '\0';
        if (otherLabel[0] == '\0')
            continue;
        const QString text = QString::fromUtf8(otherLabel);
        lines.append(QStringLiteral("reading_desc_buf = ") + text + QStringLiteral(", reading_resol_buf = ")
                     + numberText(value) + QString::fromUtf8(unit));
        int whole = 0;
        if (text == QLatin1String("Physical Memory Used") && toWhole(value, whole))
            m_working.physicalMemoryUsed = whole;
        else if (text == QLatin1String("Physical Memory Available") && toWhole(value, whole))
            m_working.physicalMemoryAvailable = whole;
        else if (text == QLatin1String("Physical Memory Load") && std::isfinite(value))
            m_working.physicalMemoryLoad = value;
    }
}

void Get_HWInfo::applyDimmTemperature(const QString &label, double value)
{
    const QLatin1String open("DIMM[");
    const int start = label.indexOf(open, 0, Qt::CaseInsensitive);
    if (start < 0)
        return;
    const int close = label.indexOf(QLatin1Char(']'), start + open.size());
    if (close < 0)
        return;
    bool numeric = false;
    const int n = label.mid(start + open.size(), close - start - open.size()).toInt(&numeric, 10);
    int whole = 0;
    if (!numeric || !slotEntryMap.contains(n) || !toWhole(value, whole))
        return;
    m_working.memoryData[slotEntryMap.value(n)].temperature = whole;
}

void Get_HWInfo::requestUpdateData()
{
    emit sendMessage(snapshot());
}

void Get_HWInfo::slot_LedNum(int module, int ledNum)
{
    qDebug() << "Get_HWInfo::slot_LedNum" << module << ledNum;
    if (module < 0 || module >= kModuleCount) {
        qWarning() << "Get_HWInfo::slot_LedNum: no module" << module;
        return;
    }
    std::lock_guard<std::mutex> locker(m_lock);
    systemData.memoryData[module].ledNum = ledNum;
}

void Get_HWInfo::stopScans()
{
    if (timer_Hwinfo) {
        timer_Hwinfo->stop();
        delete timer_Hwinfo;
        timer_Hwinfo = nullptr;
    }
    // The destructor takes the lock first, so this hands it every write of the scans even
    // where the thread was only joined with QThread::wait(), which ThreadSanitizer cannot
    // see through.
    std::lock_guard<std::mutex> handOver(m_lock);
}

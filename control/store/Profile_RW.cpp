#include "Profile_RW.h"

#include "DebugFlags.h"
#include "IniFileGuard.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStringList>

#include <cmath>
#include <limits>
#include <optional>

namespace {

// Numbers past the last named mode are valid too: the engine rotates the frame for them.
constexpr int kLastLightMode = std::numeric_limits<std::int32_t>::max();
constexpr int kColorModeCount = 4;
constexpr int kSpeedCount = 4;
constexpr int kLightModeRGBSync = 20;
constexpr int kLightModeMBSync = 35;

// Light modes whose lighting comes from outside; they are never saved into a profile.
bool isExternalLightMode(int mode)
{
    return mode == kLightModeRGBSync || mode == kLightModeMBSync;
}

QString memoryGroup(int module)
{
    return QStringLiteral("Memory") + QString::number(module);
}

void prepare(QSettings &settings)
{
    settings.setIniCodec("UTF-8");
}

// QSettings parses sections lazily; touching every key makes a damaged file show.
bool isDamaged(QSettings &settings)
{
    settings.allKeys();
    return settings.status() == QSettings::FormatError;
}

// Values of the files are edited by hand, so every one is read as text and checked.
// An unquoted "a,b" arrives from QSettings as a list: joined back, it is one text again.
std::optional<QString> readText(const QSettings &settings, const QString &key)
{
    const QVariant value = settings.value(key);
    if (!value.isValid())
        return std::nullopt;
    if (value.type() == QVariant::StringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

// Both the written form (one text joined by ",") and the list form of hand-edited files.
QStringList readList(const QSettings &settings, const QString &key)
{
    const QVariant value = settings.value(key);
    if (!value.isValid())
        return {};
    if (value.type() == QVariant::StringList)
        return value.toStringList();
    const QString text = value.toString();
    if (text.trimmed().isEmpty())
        return {};
    return text.split(QLatin1Char(','));
}

// Text where a number belongs reads as 0; so does no text (a missing key, an empty entry).
int toNumber(const QString &text, const QString &what)
{
    if (text.trimmed().isEmpty())
        return 0;
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    if (ok)
        return number;
    qWarning() << "Profile_RW: not a number, read as 0:" << what << text;
    return 0;
}

int toByte(const QString &text, const QString &what)
{
    const int number = toNumber(text, what);
    if (number >= 0 && number <= 255)
        return number;
    qWarning() << "Profile_RW: colour byte out of range, limited to 0-255:" << what << number;
    return qBound(0, number, 255);
}

float toBright(const QString &text, const QString &what)
{
    if (text.trimmed().isEmpty())
        return 0.0f;
    bool ok = false;
    const float value = text.trimmed().toFloat(&ok);
    if (!ok || !std::isfinite(value)) {
        qWarning() << "Profile_RW: not a brightness, read as 0:" << what << text;
        return 0.0f;
    }
    if (value < 0.0f || value > 1.0f) {
        qWarning() << "Profile_RW: brightness out of range, limited to 0-1:" << what << value;
        return qBound(0.0f, value, 1.0f);
    }
    return value;
}

bool toBool(const QString &text, const QString &what)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    if (trimmed.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const int number = trimmed.toInt(&ok);
    if (ok)
        return number != 0;
    qWarning() << "Profile_RW: not a switch, read as false:" << what << text;
    return false;
}

// A missing key reads as 0 or false, as the files have always been read; only the
// keys read with readInRange keep the reset default instead (a profile saved in a sync
// mode before any other has no light keys and must come back as Wave, not as Flow, and a
// missing NotiLoadingColor stays red).
QString textOf(const QSettings &settings, const QString &key)
{
    return readText(settings, key).value_or(QString());
}

void readInt(const QSettings &settings, const QString &key, std::int32_t &field)
{
    field = toNumber(textOf(settings, key), key);
}

// A number outside first..last leaves the default: nothing downstream indexes with it.
void readInRange(const QSettings &settings, const QString &key, std::int32_t &field, int first, int last)
{
    const auto text = readText(settings, key);
    if (!text)
        return;
    const int number = toNumber(*text, key);
    if (number < first || number > last) {
        qWarning() << "Profile_RW: value out of range, default kept:" << key << number;
        return;
    }
    field = number;
}

void readBool(const QSettings &settings, const QString &key, bool &field)
{
    field = toBool(textOf(settings, key), key);
}

int readByte(const QSettings &settings, const QString &key)
{
    return toByte(textOf(settings, key), key);
}

float readBright(const QSettings &settings, const QString &key)
{
    return toBright(textOf(settings, key), key);
}

// A missing or empty list is one empty entry, so that LED 0 reads black at brightness 0
// and the LEDs after it keep their defaults.
QStringList readLedList(const QSettings &settings, const QString &key)
{
    const QStringList parts = readList(settings, key);
    if (parts.isEmpty())
        return {QString()};
    if (parts.size() <= kLedSlots)
        return parts;
    qWarning() << "Profile_RW: more than 12 entries, the rest ignored:" << key << parts.size();
    return parts.mid(0, kLedSlots);
}

// The slot order must name each of the eight positions once, or it is the plain order.
void readSlotSequence(const QSettings &settings, HWData &data)
{
    const QString key = QStringLiteral("SlotSequence");
    const QStringList parts = readList(settings, key);
    if (parts.isEmpty())
        return;
    if (parts.size() > kModuleCount)
        qWarning() << "Profile_RW: more than 8 slot numbers, the rest ignored:" << parts.size();

    int sequence[kModuleCount];
    for (int m = 0; m < kModuleCount; ++m)
        sequence[m] = data.memoryData[m].slotSequence;
    for (int m = 0; m < kModuleCount && m < parts.size(); ++m)
        sequence[m] = toNumber(parts.at(m), key);

    bool seen[kModuleCount] = {};
    bool permutation = true;
    for (const int number : sequence) {
        if (number < 0 || number >= kModuleCount || seen[number]) {
            permutation = false;
            break;
        }
        seen[number] = true;
    }
    if (!permutation) {
        qWarning() << "Profile_RW: SlotSequence is not an order of 0-7, plain order used:" << parts;
        return;
    }
    for (int m = 0; m < kModuleCount; ++m)
        data.memoryData[m].slotSequence = sequence[m];
}

void readLoadingColor(const QSettings &settings, NotiEventData &event)
{
    const QString key = QStringLiteral("NotiLoadingColor");
    const QStringList parts = readList(settings, key);
    if (parts.isEmpty())
        return;
    if (parts.size() != 3) {
        qWarning() << "Profile_RW: NotiLoadingColor needs three parts, default kept:" << parts;
        return;
    }
    event.loadingColor = rgbColor(toByte(parts.at(0), key), toByte(parts.at(1), key), toByte(parts.at(2), key));
}

void readModule(const QSettings &settings, MemoryModuleData &module)
{
    readInRange(settings, QStringLiteral("LightMode"), module.lightMode, 0, kLastLightMode);
    readInRange(settings, QStringLiteral("ColorMode"), module.colorMode, 0, kColorModeCount - 1);
    readInRange(settings, QStringLiteral("LightSpeed"), module.lightSpeed, 0, kSpeedCount - 1);

    const QStringList red = readLedList(settings, QStringLiteral("RColor"));
    const QStringList green = readLedList(settings, QStringLiteral("GColor"));
    const QStringList blue = readLedList(settings, QStringLiteral("BColor"));
    const QStringList bright = readLedList(settings, QStringLiteral("Bright"));
    // The red list says how many LEDs the file holds: LEDs beyond it keep their default
    // colour and brightness whatever the other lists say. Within it, an entry missing
    // from a shorter green, blue or brightness list leaves that part at its default.
    for (int led = 0; led < red.size(); ++led) {
        const COLORREF old = module.rgb[led];
        const int r = toByte(red.at(led), QStringLiteral("RColor"));
        const int g = led < green.size() ? toByte(green.at(led), QStringLiteral("GColor")) : greenOf(old);
        const int b = led < blue.size() ? toByte(blue.at(led), QStringLiteral("BColor")) : blueOf(old);
        module.rgb[led] = rgbColor(r, g, b);
        if (led < bright.size())
            module.bright[led] = toBright(bright.at(led), QStringLiteral("Bright"));
    }

    module.singleRGB = rgbColor(readByte(settings, QStringLiteral("SRColor")), readByte(settings, QStringLiteral("SGColor")),
                                readByte(settings, QStringLiteral("SBColor")));
    module.singleBright = readBright(settings, QStringLiteral("SBright"));
    readBool(settings, QStringLiteral("TurnOff"), module.turnOff);
}

QString joinedBytes(const COLORREF (&colours)[kLedSlots], int (*byteOf)(COLORREF))
{
    QStringList parts;
    for (const COLORREF colour : colours)
        parts << QString::number(byteOf(colour));
    return parts.join(QLatin1Char(','));
}

// Shortest general form with 6 significant digits: "1", "0.5".
QString brightText(float value)
{
    return QString::number(double(value), 'g', 6);
}

void writeModule(QSettings &settings, const MemoryModuleData &module)
{
    if (!isExternalLightMode(module.lightMode)) {
        settings.setValue(QStringLiteral("LightMode"), QString::number(module.lightMode));
        settings.setValue(QStringLiteral("ColorMode"), QString::number(module.colorMode));
        settings.setValue(QStringLiteral("LightSpeed"), QString::number(module.lightSpeed));
    }
    settings.setValue(QStringLiteral("RColor"), joinedBytes(module.rgb, redOf));
    settings.setValue(QStringLiteral("GColor"), joinedBytes(module.rgb, greenOf));
    settings.setValue(QStringLiteral("BColor"), joinedBytes(module.rgb, blueOf));
    QStringList bright;
    for (const float value : module.bright)
        bright << brightText(value);
    settings.setValue(QStringLiteral("Bright"), bright.join(QLatin1Char(',')));
    settings.setValue(QStringLiteral("SRColor"), QString::number(redOf(module.singleRGB)));
    settings.setValue(QStringLiteral("SGColor"), QString::number(greenOf(module.singleRGB)));
    settings.setValue(QStringLiteral("SBColor"), QString::number(blueOf(module.singleRGB)));
    settings.setValue(QStringLiteral("SBright"), brightText(module.singleBright));
    settings.setValue(QStringLiteral("TurnOff"), QString::number(module.turnOff ? 1 : 0));
}

// QSettings guards each write with "<file>.lock". A writer killed between creating that
// file and filling in its process id leaves it empty, and QSettings would then wait
// half a minute for it to age. Only this program writes these files, one at a time, so
// a lock without an owner is a leftover.
void removeOwnerlessLock(const QString &path)
{
    const QString lockPath = path + QStringLiteral(".lock");
    if (!QFile::exists(lockPath))
        return;
    QLockFile lock(lockPath);
    qint64 pid = 0;
    QString host;
    QString application;
    if (lock.getLockInfo(&pid, &host, &application))
        return; // QSettings tells a live owner from a dead one itself
    qWarning() << "Profile_RW: removing a lock left without an owner:" << lockPath;
    QFile::remove(lockPath);
}

HWData defaultRecord()
{
    HWData data = makeZeroHWData();
    data.reset();
    data.selectProfile = 0;
    return data;
}

} // namespace

Profile_RW::Profile_RW(QObject *parent)
    : Profile_RW(defaultBaseDirectory(), parent)
{
}

Profile_RW::Profile_RW(const QString &baseDirectory, QObject *parent)
    : QObject(parent)
    , m_baseDirectory(baseDirectory)
{
}

QString Profile_RW::defaultBaseDirectory()
{
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kv"), QStringLiteral("application"));
    return QFileInfo(settings.fileName()).absolutePath() + QStringLiteral("/VELTRIMARGB");
}

bool Profile_RW::isValidProfile(int profile)
{
    return profile >= 0 && profile < kProfileCount;
}

QString Profile_RW::deviceFilePath() const
{
    return m_baseDirectory + QStringLiteral("/ModuleDevice.ini");
}

QString Profile_RW::profileFilePath(int profile) const
{
    if (!isValidProfile(profile))
        return {};
    return m_baseDirectory + QStringLiteral("/VELTRIMA RGB/Profile_") + QString::number(profile) + QStringLiteral(".ini");
}

QString Profile_RW::errorLogFilePath() const
{
    return m_baseDirectory + QStringLiteral("/errorLog.ini");
}

bool Profile_RW::checkDebugMode()
{
    bool debugMode = false;
    bool hwDebugMode = false;
    const QString path = deviceFilePath();
    if (IniFileGuard::admit(path) == IniFileGuard::Verdict::Parse) {
        QSettings settings(path, QSettings::IniFormat);
        prepare(settings);
        readBool(settings, QStringLiteral("DebugMode/isDebugMode"), debugMode);
        readBool(settings, QStringLiteral("DebugMode/isHWDebugMode"), hwDebugMode);
        qDebug().nospace() << "isDebugMode = " << debugMode;
    }
    DebugFlags::setDebugMode(debugMode);
    DebugFlags::setHWDebugMode(hwDebugMode);
    m_errorLogEnabled = debugMode;
    return debugMode;
}

void Profile_RW::readDevice()
{
    qDebug() << "Profile_RW::readDevice";
    HWData data = defaultRecord();
    const QString path = deviceFilePath();
    if (IniFileGuard::admit(path) == IniFileGuard::Verdict::Parse) {
        QSettings settings(path, QSettings::IniFormat);
        prepare(settings);
        if (isDamaged(settings))
            qWarning() << "Profile_RW: damaged device file, reading what can be read:" << path;
        settings.beginGroup(QStringLiteral("Main"));
        readSlotSequence(settings, data);

        NotiEventData &event = data.notiEvent;
        readBool(settings, QStringLiteral("NotiLoading"), event.loadingOn);
        readInt(settings, QStringLiteral("NotiLoadingValue"), event.loadingValue);
        readInt(settings, QStringLiteral("NotiLoadingUnit"), event.loadingUnit);
        readLoadingColor(settings, event);
        readBool(settings, QStringLiteral("NotiShutdown_Memory"), event.shutdownMemoryOn);
        readInt(settings, QStringLiteral("NotiShutdownMemoryValue"), event.shutdownMemoryValue);
        readInt(settings, QStringLiteral("NotiShutdownMemoryUnit"), event.shutdownMemoryUnit);
        readBool(settings, QStringLiteral("NotiShutdown_CPU"), event.shutdownCPUOn);
        readInt(settings, QStringLiteral("NotiShutdownCPUValue"), event.shutdownCPUValue);
        readInt(settings, QStringLiteral("NotiShutdownCPUUnit"), event.shutdownCPUUnit);
        readBool(settings, QStringLiteral("NotiFanSpeed"), event.fanSpeedOn);
        readInt(settings, QStringLiteral("NotiFanSpeedValue"), event.fanSpeedValue);
        readInt(settings, QStringLiteral("NotiFanSpeedUnit"), event.fanSpeedUnit);

        readInRange(settings, QStringLiteral("Profile"), data.selectProfile, 0, kProfileCount - 1);
        SettingData &setting = data.settingData;
        readBool(settings, QStringLiteral("isAutoRun"), setting.isAutoRun);
        readBool(settings, QStringLiteral("AutoUpdate"), setting.isAutoUpdate);
        readBool(settings, QStringLiteral("isCurrentLocatio"), setting.isCurrentLocation);
        readInRange(settings, QStringLiteral("Language"), setting.language, 0, LanguageCount - 1);
        settings.endGroup();
    }
    emit readDeviceStatus(data);
}

void Profile_RW::readProfile(int profile, int passThrough)
{
    qDebug() << "Profile_RW::readProfile";
    if (!isValidProfile(profile)) {
        qWarning() << "Profile_RW: no such profile, not read:" << profile;
        return;
    }
    HWData data = defaultRecord();
    data.selectProfile = profile;
    const QString path = profileFilePath(profile);
    if (IniFileGuard::admit(path) == IniFileGuard::Verdict::Parse) {
        QSettings settings(path, QSettings::IniFormat);
        prepare(settings);
        if (isDamaged(settings))
            qWarning() << "Profile_RW: damaged profile file, reading what can be read:" << path;
        for (int m = 0; m < kModuleCount; ++m) {
            settings.beginGroup(memoryGroup(m));
            readModule(settings, data.memoryData[m]);
            settings.endGroup();
        }
    }
    emit readProfileStatus(profile, passThrough, data);
}

void Profile_RW::writeProfile(int profile, int passThrough, HWData data)
{
    Q_UNUSED(passThrough)
    if (!isValidProfile(profile)) {
        qWarning() << "Profile_RW: no such profile, not written:" << profile;
        emit writeProfileStatus(profile, false);
        return;
    }
    for (int m = 0; m < kModuleCount; ++m) {
        const MemoryModuleData &module = data.memoryData[m];
        qDebug() << "--------------------WRITE-----------" << m << module.lightMode << module.colorMode << module.lightSpeed;
    }
    const bool ok = writeIniFile(profileFilePath(profile), [&data](QSettings &settings) {
        for (int m = 0; m < kModuleCount; ++m) {
            settings.beginGroup(memoryGroup(m));
            writeModule(settings, data.memoryData[m]);
            settings.endGroup();
        }
    });
    emit writeProfileStatus(profile, ok);
}

void Profile_RW::writeDevice(HWData data)
{
    qDebug() << "Profile_RW::writeDevice";
    for (int m = 0; m < kModuleCount; ++m) {
        const MemoryModuleData &module = data.memoryData[m];
        qDebug() << "--------------------WRITE-----------" << m << module.lightMode << module.colorMode << module.lightSpeed;
    }
    const bool ok = writeIniFile(deviceFilePath(), [&data](QSettings &settings) {
        const NotiEventData &event = data.notiEvent;
        const SettingData &setting = data.settingData;
        QStringList sequence;
        for (const MemoryModuleData &module : data.memoryData)
            sequence << QString::number(module.slotSequence);
        const QString loadingColor = QStringLiteral("%1,%2,%3")
                                         .arg(redOf(event.loadingColor))
                                         .arg(greenOf(event.loadingColor))
                                         .arg(blueOf(event.loadingColor));

        settings.beginGroup(QStringLiteral("Main"));
        settings.setValue(QStringLiteral("Profile"), data.selectProfile);
        settings.setValue(QStringLiteral("SlotSequence"), sequence.join(QLatin1Char(',')));
        settings.setValue(QStringLiteral("AutoUpdate"), setting.isAutoUpdate);
        settings.setValue(QStringLiteral("Language"), setting.language);
        settings.setValue(QStringLiteral("isAutoRun"), setting.isAutoRun);
        settings.setValue(QStringLiteral("isCurrentLocatio"), setting.isCurrentLocation);
        settings.setValue(QStringLiteral("NotiLoading"), event.loadingOn);
        settings.setValue(QStringLiteral("NotiShutdown_Memory"), event.shutdownMemoryOn);
        settings.setValue(QStringLiteral("NotiShutdown_CPU"), event.shutdownCPUOn);
        settings.setValue(QStringLiteral("NotiFanSpeed"), event.fanSpeedOn);
        settings.setValue(QStringLiteral("NotiClean"), 0);
        settings.setValue(QStringLiteral("NotiLoadingValue"), event.loadingValue);
        settings.setValue(QStringLiteral("NotiShutdownMemoryValue"), event.shutdownMemoryValue);
        settings.setValue(QStringLiteral("NotiShutdownCPUValue"), event.shutdownCPUValue);
        settings.setValue(QStringLiteral("NotiFanSpeedValue"), event.fanSpeedValue);
        settings.setValue(QStringLiteral("NotiCleanValue"), 0);
        settings.setValue(QStringLiteral("NotiLoadingUnit"), event.loadingUnit);
        settings.setValue(QStringLiteral("NotiShutdownMemoryUnit"), event.shutdownMemoryUnit);
        settings.setValue(QStringLiteral("NotiShutdownCPUUnit"), event.shutdownCPUUnit);
        settings.setValue(QStringLiteral("NotiFanSpeedUnit"), event.fanSpeedUnit);
        settings.setValue(QStringLiteral("NotiCleanUnit"), 0);
        settings.setValue(QStringLiteral("NotiLoadingColor"), loadingColor);
        settings.endGroup();

        // The programs never change the debug switches: a user switches them by editing
        // the file, and that edit must survive the next save even while the program runs.
        settings.beginGroup(QStringLiteral("DebugMode"));
        if (!settings.contains(QStringLiteral("isDebugMode")))
            settings.setValue(QStringLiteral("isDebugMode"), DebugFlags::isDebugMode() ? 1 : 0);
        if (!settings.contains(QStringLiteral("isHWDebugMode")))
            settings.setValue(QStringLiteral("isHWDebugMode"), DebugFlags::isHWDebugMode());
        settings.endGroup();
    });
    emit writeDeviceStatus(ok);
}

void Profile_RW::writeErrorLog(QString message)
{
    if (!m_errorLogEnabled)
        return;
    const QString key = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd.hh-mm-ss"))
        + QLatin1Char('.') + QString::number(m_errorLogNumber++);
    const bool ok = writeIniFile(errorLogFilePath(), [&key, &message](QSettings &settings) {
        settings.beginGroup(QStringLiteral("Debug"));
        settings.setValue(key, message);
        settings.endGroup();
    });
    if (!ok)
        qWarning() << "Profile_RW: error log not written:" << errorLogFilePath();
}

// QSettings replaces the file atomically on sync. A parse error of the old contents
// sticks in status() and would hide a failed write, so a damaged file is first
// rewritten from what could be read and the values are then written once more
// through a fresh object whose status is the truth.
bool Profile_RW::writeIniFile(const QString &path, const std::function<void(QSettings &)> &fill)
{
    // A refused file goes aside here and the values go into a fresh one; one that cannot
    // be moved is left alone (QSettings would parse it before writing).
    if (IniFileGuard::admit(path) == IniFileGuard::Verdict::Refused)
        return false;
    removeOwnerlessLock(path);
    for (int attempt = 0; attempt < 2; ++attempt) {
        QSettings settings(path, QSettings::IniFormat);
        prepare(settings);
        const bool damaged = isDamaged(settings);
        fill(settings);
        settings.sync();
        if (!damaged) {
            if (settings.status() == QSettings::NoError)
                return true;
            qWarning() << "Profile_RW: could not write" << path << settings.status();
            return false;
        }
        qWarning() << "Profile_RW: damaged file rewritten from what could be read:" << path;
    }
    qWarning() << "Profile_RW: file stays damaged, not written:" << path;
    return false;
}

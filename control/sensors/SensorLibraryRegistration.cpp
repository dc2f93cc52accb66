#include "SensorLibraryRegistration.h"

#include "BoundedFile.h"
#include "IniFileGuard.h"

#include <QDebug>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {

// A registration names two paths; anything larger is not one.
constexpr qint64 kMaxRegistrationBytes = 64 * 1024;

QString resolve(const QString &folder, const QString &path)
{
    if (path.isEmpty() || QDir::isAbsolutePath(path))
        return path;
    return QDir(folder).filePath(path);
}

} // namespace

QString SensorLibraryRegistration::registrationFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/veltrima/sensors");
}

SensorLibraryRegistration SensorLibraryRegistration::find(const QString &programFolder)
{
    SensorLibraryRegistration registration;
    registration.m_libraryPath = QDir(programFolder).filePath(defaultLibraryName());

    const QString file = registrationFile();
    const BoundedFile checked = BoundedFile::read(file, kMaxRegistrationBytes);
    if (checked.status() == BoundedFile::Status::Missing)
        return registration;
    if (!checked.isOk()) {
        qWarning() << "Sensor registration refused, the default library serves:" << file << checked.reason();
        return registration;
    }
    // QSettings would deserialise an "@Variant(...)" value, which can ask for any amount
    // of memory; a registration holds two plain paths.
    if (!IniFileGuard::isSafe(checked.contents())) {
        qWarning() << "Sensor registration refused, the default library serves:" << file
                   << "holds a value QSettings would deserialise";
        return registration;
    }
    QSettings settings(file, QSettings::IniFormat);
    const QString library = settings.value(QStringLiteral("Sensors/Library")).toString().trimmed();
    if (library.isEmpty())
        return registration;
    registration.m_libraryPath = resolve(programFolder, library);
    registration.m_config = resolve(programFolder, settings.value(QStringLiteral("Sensors/Config")).toString().trimmed());
    return registration;
}

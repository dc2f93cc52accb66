// A fixture tree standing for "/": files written under a temporary root.
#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

class SysfsTree
{
public:
    QString root() const { return m_root.path(); }

    void write(const QString &path, const QByteArray &content) const
    {
        const QString full = root() + QLatin1Char('/') + path;
        QDir().mkpath(QFileInfo(full).path());
        QFile file(full);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(content);
    }

    void mkdir(const QString &path) const { QDir().mkpath(root() + QLatin1Char('/') + path); }

    void link(const QString &path, const QString &target) const
    {
        const QString full = root() + QLatin1Char('/') + path;
        QDir().mkpath(QFileInfo(full).path());
        QFile::link(root() + QLatin1Char('/') + target, full);
    }

    // A hwmon device with one temperature input per label/milli-degree pair.
    void hwmon(int number, const QByteArray &driver, const QList<QPair<QByteArray, int>> &inputs,
               const QString &i2cDevice = QString()) const
    {
        const QString folder = QStringLiteral("sys/class/hwmon/hwmon%1/").arg(number);
        write(folder + QStringLiteral("name"), driver + '\n');
        for (int i = 0; i < inputs.size(); ++i) {
            if (!inputs.at(i).first.isEmpty())
                write(folder + QStringLiteral("temp%1_label").arg(i + 1), inputs.at(i).first + '\n');
            write(folder + QStringLiteral("temp%1_input").arg(i + 1), QByteArray::number(inputs.at(i).second) + '\n');
        }
        if (!i2cDevice.isEmpty()) {
            mkdir(QStringLiteral("sys/bus/i2c/devices/") + i2cDevice);
            link(folder + QStringLiteral("device"), QStringLiteral("sys/bus/i2c/devices/") + i2cDevice);
        }
    }

private:
    QTemporaryDir m_root;
};

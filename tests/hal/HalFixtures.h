// Registers HAL servers for a test, in the XDG folders that a TestEnvironment set up.
#pragma once

#include "HalRegistry.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QString>
#include <QStringList>

#include <dlfcn.h>

struct VirtualDeviceSetup {
    int index;
    int type;
    int ledCount;
};

class HalFixtures
{
public:
    static QString dataHome() { return QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")); }
    static QString registryFolder() { return dataHome() + QStringLiteral("/veltrima/hal-servers"); }
    static QString binDir() { return QString::fromLocal8Bit(qgetenv("VELTRIMA_BIN_DIR")); }
    static QString virtualServer() { return binDir() + QStringLiteral("/veltrima-hal-virtual.so"); }
    static QString scriptedServer() { return binDir() + QStringLiteral("/veltrima-hal-scripted.so"); }

    static bool registerEntry(const QString &name, const QString &path)
    {
        return HalRegistry::registerServer(registryFolder(), name, path);
    }

    static bool registerVirtual(const QString &clsid, int devices, int leds,
                                const QVector<VirtualDeviceSetup> &overrides = {})
    {
        const QString setup = dataHome() + QStringLiteral("/veltrima/hal-virtual/") + clsid + QStringLiteral(".ini");
        QDir().mkpath(dataHome() + QStringLiteral("/veltrima/hal-virtual"));
        QFile::remove(setup);
        QSettings ini(setup, QSettings::IniFormat);
        ini.setValue(QStringLiteral("server/devices"), devices);
        ini.setValue(QStringLiteral("server/ledCount"), leds);
        for (const VirtualDeviceSetup &device : overrides) {
            ini.setValue(QStringLiteral("device%1/type").arg(device.index), device.type);
            ini.setValue(QStringLiteral("device%1/ledCount").arg(device.index), device.ledCount);
        }
        ini.sync();
        return registerEntry(clsid, virtualServer());
    }

    // One device per description text, handed out as written.
    static bool registerScripted(const QString &clsid, const QStringList &descriptions)
    {
        const QString folder = dataHome() + QStringLiteral("/veltrima/hal-scripted/") + clsid;
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        for (int i = 0; i < descriptions.size(); ++i) {
            QFile file(folder + QStringLiteral("/device%1.xml").arg(i));
            if (!file.open(QIODevice::WriteOnly))
                return false;
            file.write(descriptions.at(i).toUtf8());
        }
        return registerEntry(clsid, scriptedServer());
    }

    // Makes every Enumerate call of a scripted server take `ms`.
    static bool delayScriptedEnumerate(const QString &clsid, int ms)
    {
        QFile file(dataHome() + QStringLiteral("/veltrima/hal-scripted/") + clsid + QStringLiteral("/enumerate-delay-ms"));
        return file.open(QIODevice::WriteOnly) && file.write(QByteArray::number(ms)) > 0;
    }

    static QString description(const QString &type, const QString &ledCount)
    {
        return QStringLiteral("<hal><version>1</version><type>%1</type><device><name>d</name><id>0</id>"
                              "<layout><led_count>%2</led_count></layout></device></hal>")
            .arg(type, ledCount);
    }
    static QString memory(int leds) { return description(QStringLiteral("458752"), QString::number(leds)); }

    // Live objects and colour calls of the scripted server (loaded in this process).
    static void scriptedCounters(int &aliveObjects, int &colourCalls)
    {
        aliveObjects = colourCalls = -1;
        void *handle = dlopen(QFile::encodeName(scriptedServer()).constData(), RTLD_NOW | RTLD_NOLOAD);
        if (!handle)
            return;
        using Counters = void (*)(int *, int *);
        if (auto counters = reinterpret_cast<Counters>(dlsym(handle, "ScriptedHal_Counters")))
            counters(&aliveObjects, &colourCalls);
        dlclose(handle);
    }
};

// The main board: its vendor and name from <root>/sys/class/dmi/id, and the chipset as
// the name of the PCI ISA bridge (else the host bridge) from the pci.ids database.
#pragma once

#include <QString>

class BoardReader
{
public:
    explicit BoardReader(const QString &root);

    // "vendor name", or null when DMI gives neither.
    QString boardText() const;
    // Null when there is no bridge or no name for it.
    QString chipset() const;

    // The device name of vendor:device in a pci.ids text, or null.
    static QString pciDeviceName(const QByteArray &pciIds, quint16 vendor, quint16 device);

private:
    QString m_root;
};

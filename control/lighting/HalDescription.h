// A HAL device's capability description, read from the XML text the device reports.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

struct HalEffectDescription {
    QString name;
    int id = 0;
    bool synchronizable = false;
};

struct HalDeviceDescription {
    QString name;
    int id = 0;
    int led_count = 0;
    int width = 0;
    int height = 0;
    QStringList led_name;
    QVector<HalEffectDescription> supported_effect;
};

struct HalDescription {
    // A real description is a few KiB and a handful of levels deep. The XML parser
    // recurses once per level, so a description beyond either bound is refused unread.
    static constexpr int kMaxSize = 64 * 1024;
    static constexpr int kMaxDepth = 32;

    QString version;
    int type = 0;
    QVector<HalDeviceDescription> devices;

    // Parses a description. Absent numeric elements read 0; an integer element whose text
    // is empty, holds no leading decimal number or does not fit 32 bits, text that is not
    // XML, and text beyond the size or depth bound make the description malformed: the
    // result is empty and `error` says why.
    static std::optional<HalDescription> parse(const QByteArray &xml, QString *error = nullptr);

    // Decimal text as the C library reads it: leading white space and a sign allowed,
    // digits up to the first non-digit. Empty when there is no digit or the value overflows.
    static std::optional<int> readInteger(const char *text);
};

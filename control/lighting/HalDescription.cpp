#include "HalDescription.h"

#include "XmlNesting.h"

#include <tinyxml.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <limits>

namespace {

class Reader
{
public:
    explicit Reader(QString *error) : m_error(error) {}

    bool failed() const { return m_failed; }

    static QString text(const TiXmlElement *element)
    {
        const char *value = element ? element->GetText() : nullptr;
        return value ? QString::fromUtf8(value) : QString();
    }

    QString childText(const TiXmlElement *parent, const char *name) const
    {
        return parent ? text(parent->FirstChildElement(name)) : QString();
    }

    // The integer of a child element; 0 when the element is absent.
    int childInteger(const TiXmlElement *parent, const char *name)
    {
        const TiXmlElement *element = parent ? parent->FirstChildElement(name) : nullptr;
        if (!element)
            return 0;
        const char *value = element->GetText();
        const std::optional<int> number = HalDescription::readInteger(value ? value : "");
        if (!number) {
            fail(QStringLiteral("element <%1> holds no decimal integer: \"%2\"")
                     .arg(QLatin1String(name), QString::fromUtf8(value ? value : "")));
            return 0;
        }
        return *number;
    }

    void fail(const QString &why)
    {
        if (!m_failed && m_error)
            *m_error = why;
        m_failed = true;
    }

private:
    QString *m_error;
    bool m_failed = false;
};

HalEffectDescription readEffect(Reader &reader, const TiXmlElement *element)
{
    HalEffectDescription effect;
    effect.name = reader.childText(element, "name");
    effect.id = reader.childInteger(element, "id");
    effect.synchronizable = reader.childInteger(element, "synchronizable") != 0;
    return effect;
}

HalDeviceDescription readDevice(Reader &reader, const TiXmlElement *element)
{
    HalDeviceDescription device;
    device.name = reader.childText(element, "name");
    device.id = reader.childInteger(element, "id");
    if (const TiXmlElement *layout = element->FirstChildElement("layout")) {
        device.led_count = reader.childInteger(layout, "led_count");
        if (const TiXmlElement *size = layout->FirstChildElement("size")) {
            if (size->FirstChildElement("width"))
                device.width = reader.childInteger(size, "width");
            if (size->FirstChildElement("height"))
                device.height = reader.childInteger(size, "height");
        }
        if (const TiXmlElement *names = layout->FirstChildElement("led_name")) {
            for (const TiXmlElement *led = names->FirstChildElement("led"); led; led = led->NextSiblingElement("led"))
                device.led_name << Reader::text(led);
        }
    }
    if (const TiXmlElement *effects = element->FirstChildElement("supported_effect")) {
        for (const TiXmlElement *effect = effects->FirstChildElement("effect"); effect;
             effect = effect->NextSiblingElement("effect"))
            device.supported_effect.append(readEffect(reader, effect));
    }
    return device;
}

} // namespace

std::optional<int> HalDescription::readInteger(const char *text)
{
    if (!text)
        return std::nullopt;
    const char *p = text;
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    if (*p == '+' || *p == '-')
        ++p;
    if (!std::isdigit(static_cast<unsigned char>(*p)))
        return std::nullopt;
    errno = 0;
    char *end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    if (errno == ERANGE || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

std::optional<HalDescription> HalDescription::parse(const QByteArray &xml, QString *error)
{
    if (xml.size() > kMaxSize) {
        if (error)
            *error = QStringLiteral("%1 bytes or more, over the bound of %2").arg(xml.size()).arg(kMaxSize);
        return std::nullopt;
    }
    if (XmlNesting::maxDepth(xml, kMaxDepth) > kMaxDepth) {
        if (error)
            *error = QStringLiteral("elements nested more than %1 deep").arg(kMaxDepth);
        return std::nullopt;
    }
    // TinyXML steps over a whole UTF-8 sequence at a lead byte, so a lead byte at the very
    // end took it past the terminating zero; zeros for the longest sequence stop it.
    QByteArray text = xml;
    text.append(4, '\0');
    TiXmlDocument document;
    document.Parse(text.constData(), nullptr, TIXML_ENCODING_UTF8);
    if (document.Error()) {
        if (error)
            *error = QStringLiteral("not XML: %1 (row %2, column %3)")
                         .arg(QString::fromUtf8(document.ErrorDesc()))
                         .arg(document.ErrorRow())
                         .arg(document.ErrorCol());
        return std::nullopt;
    }
    const TiXmlElement *root = document.FirstChildElement();
    if (!root) {
        if (error)
            *error = QStringLiteral("no root element");
        return std::nullopt;
    }

    Reader reader(error);
    HalDescription description;
    description.version = reader.childText(root, "version");
    description.type = reader.childInteger(root, "type");
    for (const TiXmlElement *device = root->FirstChildElement("device"); device;
         device = device->NextSiblingElement("device"))
        description.devices.append(readDevice(reader, device));
    if (reader.failed())
        return std::nullopt;
    return description;
}

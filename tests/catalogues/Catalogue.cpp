#include "Catalogue.h"

#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

#include <tuple>

namespace {

bool unfinishedType(const QStringRef &type)
{
    return type == QLatin1String("unfinished") || type == QLatin1String("vanished")
        || type == QLatin1String("obsolete");
}

QStringList readNumerusForms(QXmlStreamReader &xml)
{
    QStringList forms;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("numerusform"))
            forms << xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else
            xml.skipCurrentElement();
    }
    return forms;
}

} // namespace

bool Catalogue::Key::operator<(const Key &other) const
{
    return std::tie(context, source, comment) < std::tie(other.context, other.source, other.comment);
}

QString Catalogue::Key::describe() const
{
    QString text = context + QStringLiteral(" \"") + source + QLatin1Char('"');
    if (!comment.isEmpty())
        text += QStringLiteral(" (") + comment + QLatin1Char(')');
    return text;
}

Catalogue Catalogue::readFiles(const QStringList &files)
{
    Catalogue catalogue;
    for (const QString &path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            catalogue.m_problems << QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
            continue;
        }
        catalogue.read(file, QFileInfo(path).fileName());
    }
    return catalogue;
}

void Catalogue::read(QIODevice &device, const QString &fileName)
{
    QXmlStreamReader xml(&device);
    QString context;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
            continue;
        }
        if (xml.name() != QLatin1String("message"))
            continue;
        const bool numerus = xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
        Key key{context, QString(), QString()};
        Message message;
        message.file = fileName;
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("source")) {
                key.source = xml.readElementText();
            } else if (xml.name() == QLatin1String("comment")) {
                key.comment = xml.readElementText();
            } else if (xml.name() == QLatin1String("translation")) {
                message.finished = !unfinishedType(xml.attributes().value(QLatin1String("type")));
                message.forms = numerus ? readNumerusForms(xml)
                                        : QStringList{xml.readElementText(QXmlStreamReader::IncludeChildElements)};
            } else {
                xml.skipCurrentElement();
            }
        }
        add(key, message);
    }
    if (xml.hasError())
        m_problems << QStringLiteral("%1 is not a readable catalogue: %2 at line %3")
                          .arg(fileName, xml.errorString())
                          .arg(xml.lineNumber());
}

const Catalogue::Message *Catalogue::find(const Key &key) const
{
    const auto it = m_messages.constFind(key);
    return it == m_messages.constEnd() ? nullptr : &it.value();
}

void Catalogue::add(const Key &key, const Message &message)
{
    if (const Message *earlier = find(key)) {
        m_problems << QStringLiteral("%1 is given twice (%2 and %3); only one of them is compiled")
                          .arg(key.describe(), earlier->file, message.file);
        return;
    }
    m_messages.insert(key, message);
}

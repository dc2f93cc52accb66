#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

class QIODevice;

// One program's translations in one language, merged from the Qt Linguist files that
// are compiled together into its catalogue.
class Catalogue
{
public:
    struct Key
    {
        QString context;
        QString source;
        QString comment; // disambiguation, usually empty

        bool operator<(const Key &other) const;
        QString describe() const;
    };

    struct Message
    {
        QStringList forms; // one, or one per plural form
        bool finished = true;
        QString file;
    };

    static Catalogue readFiles(const QStringList &files);
    // Adds the messages of one file; fileName only labels the problems found.
    void read(QIODevice &device, const QString &fileName);

    const QMap<Key, Message> &messages() const { return m_messages; }
    const Message *find(const Key &key) const;
    // Unreadable files and messages given twice: either makes the compiled catalogue
    // differ from the files.
    const QStringList &problems() const { return m_problems; }

private:
    void add(const Key &key, const Message &message);

    QMap<Key, Message> m_messages;
    QStringList m_problems;
};

#include "Catalogue.h"
#include "CatalogueCheck.h"

#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include "UiResources.h"

// Every translation catalogue of both programs against the keys their code uses (as
// Qt's lupdate finds them) and against the English catalogues, and what the build made
// of them.
class tst_catalogues : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void checkFindsEachFault();
    void languages();
    void catalogues_data();
    void catalogues();
    void compiledCatalogues_data();
    void compiledCatalogues();

private:
    struct Program
    {
        QString name;
        QString sourceFolder;
        QString catalogueFolder;
        QString filePattern; // %1 is the language code
        QString compiled;    // the program's resource, %1 is the language code
    };

    static const QVector<Program> &programs();
    static const Program *programNamed(const QString &name);
    static QStringList filesOf(const Program &program, const QString &code);
    static QStringList codesInTree(const Program &program);
    static Catalogue parse(const QByteArray &ts);

    QTemporaryDir m_scratch;
    QMap<QString, Catalogue> m_used; // by program name
};

const QVector<tst_catalogues::Program> &tst_catalogues::programs()
{
    // The user interface compiles every "<name>_<code>.ts" of its resources into one
    // catalogue per language; the control program has one file per language.
    static const QVector<Program> list{
        {QStringLiteral("ui"), QStringLiteral("ui"), QStringLiteral("ui/resources"), QStringLiteral("*_%1.ts"),
         QStringLiteral(":/KVRGBMemory/VELTRIMA_%1.qm")},
        {QStringLiteral("control"), QStringLiteral("control"), QStringLiteral("control/resources"),
         QStringLiteral("VELTRIMA_%1.ts"), QStringLiteral(":/KVRGBMemoryControl/VELTRIMA_%1.qm")},
    };
    return list;
}

const tst_catalogues::Program *tst_catalogues::programNamed(const QString &name)
{
    return &*std::find_if(programs().cbegin(), programs().cend(), [&](const Program &p) { return p.name == name; });
}

QStringList tst_catalogues::filesOf(const Program &program, const QString &code)
{
    const QDir folder(QStringLiteral(VELTRIMA_SOURCE_DIR "/") + program.catalogueFolder);
    QStringList files;
    for (const QString &name : folder.entryList({program.filePattern.arg(code)}, QDir::Files, QDir::Name))
        files << folder.filePath(name);
    return files;
}

QStringList tst_catalogues::codesInTree(const Program &program)
{
    const QDir folder(QStringLiteral(VELTRIMA_SOURCE_DIR "/") + program.catalogueFolder);
    QStringList codes;
    for (const QString &name : folder.entryList({program.filePattern.arg(QLatin1Char('*'))}, QDir::Files)) {
        const QString base = QFileInfo(name).completeBaseName();
        codes << base.mid(base.lastIndexOf(QLatin1Char('_')) + 1);
    }
    codes.removeDuplicates();
    return codes;
}

Catalogue tst_catalogues::parse(const QByteArray &ts)
{
    QByteArray text = "<?xml version=\"1.0\" encoding=\"utf-8\"?><TS version=\"2.1\">" + ts + "</TS>";
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    Catalogue catalogue;
    catalogue.read(buffer, QStringLiteral("test.ts"));
    return catalogue;
}

void tst_catalogues::initTestCase()
{
    initUiResources();
    QVERIFY(m_scratch.isValid());
    for (const Program &program : programs()) {
        const QString ts = m_scratch.filePath(program.name + QStringLiteral(".ts"));
        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(QStringLiteral(VELTRIMA_LUPDATE),
                      {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                       QStringLiteral(VELTRIMA_SOURCE_DIR "/") + program.sourceFolder, QStringLiteral("-ts"), ts});
        QVERIFY2(lupdate.waitForFinished(60000), qPrintable(lupdate.errorString()));
        QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0,
                 lupdate.readAll().constData());
        const Catalogue used = Catalogue::readFiles({ts});
        QVERIFY2(used.problems().isEmpty(), qPrintable(used.problems().join(QLatin1Char('\n'))));
        // An empty scan would pass every catalogue: the scan must have found the code.
        QVERIFY2(!used.messages().isEmpty(), qPrintable(program.name));
        m_used.insert(program.name, used);
    }
}

void tst_catalogues::checkFindsEachFault()
{
    const Catalogue used = parse("<context><name>X</name>"
                                 "<message><source>Open %1</source></message>"
                                 "<message><source>Close</source></message></context>");
    const Catalogue english = parse("<context><name>X</name>"
                                    "<message><source>Open %1</source><translation>Open %1</translation></message>"
                                    "<message><source>Close</source><translation>Close</translation></message>"
                                    "<message><source>Warn</source><translation>Caution:\nHot</translation></message>"
                                    "<message><source>Gone</source><translation>Gone</translation></message>"
                                    "<message><source>Blank</source><translation>Blank</translation></message>"
                                    "<message><source>Later</source><translation>Later</translation></message>"
                                    "</context>");
    const CatalogueCheck check(used, english);
    QCOMPARE(check.problems(english, true), QStringList());

    const Catalogue german = parse("<context><name>X</name>"
                                   "<message><source>Open %1</source><translation>Öffnen</translation></message>"
                                   "<message><source>Warn</source><translation>Achtung: heiß</translation></message>"
                                   "<message><source>Blank</source><translation> </translation></message>"
                                   "<message><source>Later</source>"
                                   "<translation type=\"unfinished\">Später</translation></message>"
                                   "</context>");
    const QStringList expected{
        QStringLiteral("X \"Close\": missing (the code uses it)"),
        QStringLiteral("X \"Gone\": missing (the English catalogue has it)"),
        QStringLiteral("X \"Blank\" in test.ts: empty"),
        QStringLiteral("X \"Later\" in test.ts: unfinished"),
        QStringLiteral("X \"Open %1\" in test.ts: markers none, the English has %1"),
        QStringLiteral("X \"Warn\" in test.ts: 0 line breaks, the English has 1"),
    };
    QCOMPARE(check.problems(german, false), expected);

    Catalogue twice = english;
    QBuffer again;
    again.setData("<TS><context><name>X</name><message><source>Gone</source><translation>Weg</translation>"
                  "</message></context></TS>");
    again.open(QIODevice::ReadOnly);
    twice.read(again, QStringLiteral("other.ts"));
    QCOMPARE(twice.problems(),
             QStringList(QStringLiteral("X \"Gone\" is given twice (test.ts and other.ts); only one of them is compiled")));
}

void tst_catalogues::languages()
{
    const QStringList offered = QStringLiteral(VELTRIMA_LANGUAGES).split(QLatin1Char(','));
    QStringList problems;
    QStringList notWritten;
    for (const QString &code : offered) {
        QStringList with;
        QStringList without;
        for (const Program &program : programs())
            (filesOf(program, code).isEmpty() ? without : with) << program.name;
        if (with.isEmpty())
            notWritten << code;
        else if (!without.isEmpty())
            problems << QStringLiteral("%1: catalogues for %2 but none for %3")
                            .arg(code, with.join(QLatin1Char(' ')), without.join(QLatin1Char(' ')));
    }
    for (const Program &program : programs()) {
        for (const QString &code : codesInTree(program)) {
            if (!offered.contains(code))
                problems << QStringLiteral("%1: catalogue code \"%2\" is not a language the programs offer")
                                .arg(program.catalogueFolder, code);
        }
    }
    if (notWritten.contains(QLatin1String("en")) || (VELTRIMA_REQUIRE_EVERY_LANGUAGE && !notWritten.isEmpty()))
        problems << QStringLiteral("no catalogues for: ") + notWritten.join(QLatin1Char(' '));
    else if (!notWritten.isEmpty())
        qInfo("Not checked, no catalogues yet: %s", qPrintable(notWritten.join(QLatin1Char(' '))));
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void tst_catalogues::catalogues_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("code");
    for (const Program &program : programs()) {
        for (const QString &code : QStringLiteral(VELTRIMA_LANGUAGES).split(QLatin1Char(','))) {
            if (!filesOf(program, code).isEmpty())
                QTest::addRow("%s %s", qPrintable(program.name), qPrintable(code)) << program.name << code;
        }
    }
}

void tst_catalogues::catalogues()
{
    QFETCH(QString, program);
    QFETCH(QString, code);
    const Program *it = programNamed(program);
    const Catalogue english = Catalogue::readFiles(filesOf(*it, QStringLiteral("en")));
    const CatalogueCheck check(m_used.value(program), english);
    const QStringList problems =
        check.problems(Catalogue::readFiles(filesOf(*it, code)), code == QLatin1String("en"));
    QVERIFY2(problems.isEmpty(),
             qPrintable(QStringLiteral("%1 problems in the %2 catalogue of %3:\n  ")
                            .arg(problems.size())
                            .arg(code, program)
                        + problems.join(QStringLiteral("\n  "))));
}

void tst_catalogues::compiledCatalogues_data()
{
    catalogues_data();
}

// Each language's resource must hold every finished text of every file written for it.
void tst_catalogues::compiledCatalogues()
{
    QFETCH(QString, program);
    QFETCH(QString, code);
    const Program *it = programNamed(program);
    QTranslator translator;
    QVERIFY2(translator.load(it->compiled.arg(code)), qPrintable(it->compiled.arg(code)));
    const Catalogue written = Catalogue::readFiles(filesOf(*it, code));
    QStringList lost;
    for (auto m = written.messages().cbegin(); m != written.messages().cend(); ++m) {
        const Catalogue::Key &key = m.key();
        if (!m.value().finished || m.value().forms.size() != 1)
            continue;
        const QString shown = translator.translate(key.context.toUtf8().constData(), key.source.toUtf8().constData(),
                                                   key.comment.isEmpty() ? nullptr : key.comment.toUtf8().constData());
        if (shown != m.value().forms.constFirst())
            lost << key.describe();
    }
    QVERIFY2(lost.isEmpty(), qPrintable(QStringLiteral("not in %1: ").arg(it->compiled.arg(code))
                                        + lost.join(QStringLiteral(", "))));
}

QTEST_GUILESS_MAIN(tst_catalogues)
#include "tst_catalogues.moc"

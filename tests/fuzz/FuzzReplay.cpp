// Runs a fuzz target over saved inputs (the seeds and every input that once failed) in
// the normal build, so that what the fuzzers found stays fixed without clang.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

static bool replay(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return false;
    }
    const QByteArray input = file.readAll();
    std::fprintf(stderr, "%s\n", qPrintable(path));
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(input.constData()), std::size_t(input.size()));
    return true;
}

// Arguments are input files or folders of them.
int main(int argc, char **argv)
{
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        QStringList paths;
        if (QFileInfo(argument).isDir()) {
            QDirIterator files(argument, QDir::Files, QDirIterator::Subdirectories);
            while (files.hasNext())
                paths << files.next();
        } else {
            paths << argument;
        }
        for (const QString &path : qAsConst(paths)) {
            if (!replay(path))
                return 1;
            ++inputs;
        }
    }
    std::fprintf(stderr, "%d inputs replayed\n", inputs);
    return inputs > 0 ? 0 : 1;
}

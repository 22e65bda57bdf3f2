// GetBodyFromTextFile on 64 MiB files saved as Windows-1252 and as UTF-8, against reading the
// same file with QFile::readAll and decoding it with QString::fromLatin1.
#include <QFile>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "Components.h"
#include "TestComponents.h"
#include "TextFileReader.h"

using namespace brindlewick;
using namespace brindlewick::bench;

namespace {

constexpr qsizetype kFileBytes = 64 * 1024 * 1024;

QString writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& line) {
    QByteArray bytes;
    bytes.reserve(kFileBytes);
    while (bytes.size() + line.size() <= kFileBytes) {
        bytes += line;
    }
    bytes += QByteArray(kFileBytes - bytes.size(), 'x');
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

QString readAsLatin1(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("cannot read %s", qPrintable(path));
    }
    return QString::fromLatin1(file.readAll());
}

}  // namespace

int main(int argc, char** argv) {
    test::installSilentLogger();
    const QTemporaryDir dir;
    // The same line of a template in both encodings: accented letters, a euro sign, quotes.
    const QByteArray windows1252(
        "  <View name=\"Caf\xE9 Stra\xDF"
        "e\" price=\"\x80"
        "5\" note=\"\x93ok\x94\" />\r\n");
    const QByteArray utf8 = QString::fromLatin1(windows1252).toUtf8();
    const struct {
        const char* name;
        QString path;
    } files[] = {
        {"windows-1252", writeFile(dir, "windows-1252.txt", windows1252)},
        {"utf-8", writeFile(dir, "utf-8.txt", utf8)},
    };
    std::vector<Comparison> comparisons;
    for (const auto& file : files) {
        const std::string name = file.name;
        const QString path = file.path;
        if (GetBodyFromTextFile(path, 0).isEmpty()) {
            qFatal("the reader failed on %s", qPrintable(path));
        }
        registerBenchmark("GetBodyFromTextFile/" + name, kFileBytes,
                          [path] { benchmark::DoNotOptimize(GetBodyFromTextFile(path, 0)); });
        registerBenchmark("readAll+fromLatin1/" + name, kFileBytes,
                          [path] { benchmark::DoNotOptimize(readAsLatin1(path)); });
        comparisons.push_back({"GetBodyFromTextFile/" + name, "readAll+fromLatin1/" + name,
                               Compare::Time, 2.0, "time of readAll + fromLatin1"});
    }
    return runAndCompare(argc, argv, comparisons);
}

// GetBodyFromTextFile on 64 MiB files saved as Windows-1252 and as UTF-8, against reading the
// same file with QFile::readAll and decoding it with QString::fromLatin1 (Windows-1252) or
// QString::fromUtf8 (UTF-8).
#include <QFile>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "Components.h"
#include "DefaultComponents.h"
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

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("cannot read %s", qPrintable(path));
    }
    return file.readAll();
}

}  // namespace

int main(int argc, char** argv) {
    installDefaultComponents();
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
        const char* baseline;
        QString (*decode)(const QByteArray&);
        double target;
    } files[] = {
        {"windows-1252", writeFile(dir, "windows-1252.txt", windows1252), "readAll+fromLatin1",
         [](const QByteArray& bytes) { return QString::fromLatin1(bytes); }, 1.2},
        {"utf-8", writeFile(dir, "utf-8.txt", utf8), "readAll+fromUtf8",
         [](const QByteArray& bytes) { return QString::fromUtf8(bytes); }, 1.3},
    };
    std::vector<Comparison> comparisons;
    for (const auto& file : files) {
        const std::string name = file.name;
        const std::string baseline = std::string(file.baseline) + "/" + name;
        const QString path = file.path;
        // Both give a character a byte (Windows-1252) or the same text (UTF-8).
        if (GetBodyFromTextFile(path, 0).size() != file.decode(readAll(path)).size()) {
            qFatal("the reader does not read %s whole", qPrintable(path));
        }
        registerBenchmark("GetBodyFromTextFile/" + name, kFileBytes,
                          [path] { benchmark::DoNotOptimize(GetBodyFromTextFile(path, 0)); });
        registerBenchmark(baseline, kFileBytes, [path, decode = file.decode] {
            benchmark::DoNotOptimize(decode(readAll(path)));
        });
        comparisons.push_back({"GetBodyFromTextFile/" + name, baseline, file.target,
                               "time of " + std::string(file.baseline)});
    }
    return runAndCompare(argc, argv, comparisons);
}

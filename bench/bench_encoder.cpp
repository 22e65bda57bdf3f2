// TzStrMan_UrlEncode on 1 Mi-character texts of five kinds, against QUrl::toPercentEncoding and
// a plain copy of the same text. 1 Mi characters is the largest size at which every output, the
// 18 MiB of UTF-16 escapes of CJK text included, stays below the block size that glibc serves from
// its heap: the figures then compare the work of the code with the caches warm, rather than the
// first touches of freshly mapped pages that dominate larger texts (see the README).
#include <QUrl>

#include "BenchSupport.h"
#include "UrlEncoding.h"

using namespace brindlewick;
using namespace brindlewick::bench;

namespace {

constexpr qsizetype kLength = 1024 * 1024;

struct TextKind {
    const char* name;
    QString pattern;
    double targetOverQUrl;  // 0: for information
};

const TextKind kKinds[] = {
    {"alphanumeric",
     QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"), 0.0},
    // About one character in five is escaped: blanks, slashes and punctuation between words.
    {"path-like", QStringLiteral("Sales/Add Order;Item-7 Edit Stock/Grid.Field v2, Q3 (west)"),
     2.0},
    {"accented",
     QStringLiteral("Cr\u00E8me br\u00FBl\u00E9e \u00E0 la fran\u00E7aise/Gr\u00F6\u00DFe "
                    "\u00FCber \u00C4rger, na\u00EFve caf\u00E9 "),
     1.5},
    {"CJK", QStringLiteral("\u4E2D\u6587\u6587\u672C/\u8CC7\u6599\u593E \u65B0\u589E\u6AA2\u8996"),
     1.5},
    {"all-escaped", QStringLiteral(" /?#[]@!$&'()*+,;=%<>\"{}|\\^`\t\n"), 0.0},
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<Comparison> comparisons;
    for (const TextKind& kind : kKinds) {
        const QString text = repeated(kind.pattern, kLength);
        const std::int64_t bytes = text.size() * 2;
        const std::string name = kind.name;
        registerBenchmark("encode/" + name, bytes,
                          [text] { benchmark::DoNotOptimize(TzStrMan_UrlEncode(text)); });
        registerBenchmark("QUrl::toPercentEncoding/" + name, bytes,
                          [text] { benchmark::DoNotOptimize(QUrl::toPercentEncoding(text)); });
        registerBenchmark("copy/" + name, bytes, [text] {
            benchmark::DoNotOptimize(QString(text.constData(), text.size()));
        });
    }
    comparisons.push_back({"encode/alphanumeric", "copy/alphanumeric", Compare::Throughput, 0.5,
                           "share of a plain copy's throughput"});
    for (const TextKind& kind : kKinds) {
        const std::string name = kind.name;
        comparisons.push_back({"encode/" + name, "QUrl::toPercentEncoding/" + name,
                               Compare::Throughput, kind.targetOverQUrl,
                               "throughput over QUrl::toPercentEncoding"});
    }
    return runAndCompare(argc, argv, comparisons);
}

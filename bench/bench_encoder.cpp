// TzStrMan_UrlEncode on 16 Mi-character texts of four kinds, against QUrl::toPercentEncoding and
// a plain copy of the same text.
#include <QUrl>

#include "BenchSupport.h"
#include "UrlEncoding.h"

using namespace brindlewick;
using namespace brindlewick::bench;

namespace {

constexpr qsizetype kLength = 16 * 1024 * 1024;

struct TextKind {
    const char* name;
    QString pattern;
};

const TextKind kKinds[] = {
    {"alphanumeric",
     QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")},
    // About one character in five is escaped: blanks, slashes and punctuation between words.
    {"path-like", QStringLiteral("Sales/Add Order;Item-7 Edit Stock/Grid.Field v2, Q3 (west)")},
    {"all-escaped", QStringLiteral(" /?#[]@!$&'()*+,;=%<>\"{}|\\^`\t\n")},
    {"non-latin",
     QStringLiteral("\u4E2D\u6587\u6587\u672C\u0420\u0443\u0441\u0441\u043A\u0438\u0439 "
                    "\u03B5\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC")},
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
    comparisons.push_back({"encode/path-like", "QUrl::toPercentEncoding/path-like",
                           Compare::Throughput, 2.0, "throughput over QUrl::toPercentEncoding"});
    comparisons.push_back({"encode/alphanumeric", "copy/alphanumeric", Compare::Throughput, 0.2,
                           "share of a plain copy's throughput"});
    for (const TextKind& kind : kKinds) {
        const std::string name = kind.name;
        if (name != "path-like") {
            comparisons.push_back({"encode/" + name, "QUrl::toPercentEncoding/" + name,
                                   Compare::Throughput, 0.0, "for information"});
        }
    }
    return runAndCompare(argc, argv, comparisons);
}

// The URL encoding a Generate does: TzStrMan_UrlEncode on its four view paths, each a project
// name, "/" and a view name, and on one long path of 40,000 characters, the most a user pastes.
// QUrl::toPercentEncoding of the same paths runs beside it for scale; there is no target, as the
// encoding takes a few microseconds of a Generate that lays out its whole output.
#include <QStringList>
#include <QUrl>

#include "BenchSupport.h"
#include "UrlEncoding.h"

using namespace brindlewick;
using namespace brindlewick::bench;

namespace {

const QStringList kViewPaths = {
    QStringLiteral("Regional Sales Operations/Add Customer Order"),
    QStringLiteral("Regional Sales Operations/Edit Customer Order"),
    QStringLiteral("Stock & Warehousing (EU)/Add Item"),
    QStringLiteral("Stock & Warehousing (EU)/Edit Item \u00E0 la carte"),
};

std::int64_t bytesOf(const QStringList& paths) {
    std::int64_t bytes = 0;
    for (const QString& path : paths) {
        bytes += path.size() * 2;
    }
    return bytes;
}

void registerPaths(const std::string& name, const QStringList& paths) {
    const std::int64_t bytes = bytesOf(paths);
    registerBenchmark("encode/" + name, bytes, [paths] {
        for (const QString& path : paths) {
            benchmark::DoNotOptimize(TzStrMan_UrlEncode(path));
        }
    });
    registerBenchmark("QUrl::toPercentEncoding/" + name, bytes, [paths] {
        for (const QString& path : paths) {
            benchmark::DoNotOptimize(QUrl::toPercentEncoding(path));
        }
    });
}

}  // namespace

int main(int argc, char** argv) {
    registerPaths("four view paths", kViewPaths);
    const QString longPath = repeated(QStringLiteral("Regional Sales Operations "), 39'990) +
                             QStringLiteral("/Add Order");
    registerPaths("one 40,000-character path", {longPath});
    std::vector<Comparison> comparisons;
    for (const std::string name : {"four view paths", "one 40,000-character path"}) {
        comparisons.push_back({"encode/" + name, "QUrl::toPercentEncoding/" + name, 0.0,
                               "time per Generate against QUrl::toPercentEncoding"});
    }
    return runAndCompare(argc, argv, comparisons);
}

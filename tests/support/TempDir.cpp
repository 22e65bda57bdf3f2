#include "TempDir.h"

#include <QFile>

namespace brindlewick::test {

QString TempDir::write(const QString& name, const QByteArray& bytes) const {
    const QString filePath = path(name);
    QFile file(filePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write test file %s", qPrintable(filePath));
    }
    return filePath;
}

}  // namespace brindlewick::test

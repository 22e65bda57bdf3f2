#include "ResultOutput.h"

#include <QSaveFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "ErrorInfo.h"

namespace brindlewick {

namespace {

[[noreturn]] void failToWrite(const QString& target, const QString& reason) {
    throw ComponentError(ErrorNumber::OutputWrite,
                         QStringLiteral("Cannot write %1: %2").arg(target, reason),
                         QStringLiteral("ResultOutput"));
}

}  // namespace

void writeToStandardOutput(const QByteArray& bytes) {
    const auto size = static_cast<size_t>(bytes.size());
    if (std::fwrite(bytes.constData(), 1, size, stdout) != size || std::fflush(stdout) != 0) {
        failToWrite(QStringLiteral("to standard output"),
                    QString::fromLocal8Bit(std::strerror(errno)));
    }
}

void writeFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        failToWrite(path, file.errorString());
    }
}

}  // namespace brindlewick

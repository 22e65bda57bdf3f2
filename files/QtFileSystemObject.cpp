#include "QtFileSystemObject.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QStringDecoder>
#include <cerrno>
#include <cstring>

#include "AnsiTextDecoding.h"
#include "ErrorInfo.h"

namespace brindlewick {

namespace {

const QString kSource = QStringLiteral("FileSystemObject");

[[noreturn]] void failWith(ErrorNumber number, const QString& reason) {
    throw ComponentError(number, reason, kSource);
}

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

[[noreturn]] void failWithErrno(ErrorNumber number, int error) {
    failWith(number, systemReason(error));
}

// Closes a descriptor that will not be read after all, and fails with the reason.
[[noreturn]] void closeAndFail(int descriptor, const QString& reason) {
    ::close(descriptor);
    failWith(ErrorNumber::FileOpen, reason);
}

QString kindOfNonRegularFile(mode_t mode) {
    if (S_ISDIR(mode)) {
        return systemReason(EISDIR);
    }
    if (S_ISFIFO(mode)) {
        return QStringLiteral("Not a regular file: it is a FIFO (named pipe)");
    }
    if (S_ISSOCK(mode)) {
        return QStringLiteral("Not a regular file: it is a socket");
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return QStringLiteral("Not a regular file: it is a device");
    }
    return QStringLiteral("Not a regular file");
}

QString decodeBody(const QByteArray& bytes, qint32 format) {
    switch (format) {
        case FileFormat::Unicode:
            return QStringDecoder(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless)(bytes);
        case FileFormat::SystemDefault:
            return QString::fromUtf8(bytes);
        default:
            return decodeAnsiText(bytes);
    }
}

class QtTextStream final : public TextStream {
  public:
    QtTextStream(int descriptor, qint32 format) : format_(format) {
        if (!file_.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            closeAndFail(descriptor, file_.errorString());
        }
    }

    QString ReadAll() override { return decodeBody(readBytes(), format_); }

    QByteArray readBytes() {
        QByteArray bytes = file_.readAll();
        if (file_.error() != QFileDevice::NoError) {
            failWith(ErrorNumber::FileRead, file_.errorString());
        }
        return bytes;
    }

    void Close() override {
        file_.close();
        if (file_.error() != QFileDevice::NoError) {
            failWith(ErrorNumber::FileClose, file_.errorString());
        }
    }

  private:
    QFile file_;
    qint32 format_;
};

// Opens without blocking, so that opening a FIFO with no writer returns at once; the type is
// then checked on the open descriptor, so the file checked is the file read.
int openRegularFile(const QString& path) {
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        failWithErrno(ErrorNumber::FileOpen, errno);
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        closeAndFail(descriptor, systemReason(errno));
    }
    if (!S_ISREG(status.st_mode)) {
        closeAndFail(descriptor, kindOfNonRegularFile(status.st_mode));
    }
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        closeAndFail(descriptor, systemReason(errno));
    }
    return descriptor;
}

}  // namespace

std::unique_ptr<TextStream> QtFileSystemObject::OpenTextFile(const QString& path, qint32 ioMode,
                                                             bool create, qint32 format) {
    if (ioMode != IoMode::ForReading || create) {
        failWith(ErrorNumber::FileOpen,
                 QStringLiteral("Only reading existing files is supported."));
    }
    const int descriptor = openRegularFile(path);
    return std::make_unique<QtTextStream>(descriptor, format);
}

QByteArray readRegularFile(const QString& path) {
    QtTextStream stream(openRegularFile(path), FileFormat::Ansi);
    QByteArray bytes = stream.readBytes();
    stream.Close();
    return bytes;
}

}  // namespace brindlewick

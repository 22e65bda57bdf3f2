#include "QtFileSystemObject.h"

#include <fcntl.h>
#include <poll.h>
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

// Everything a pipe, FIFO, socket or character device gives until its end, up to
// kLongestStream bytes.
QByteArray readStreamToEnd(int descriptor) {
    QByteArray bytes;
    char buffer[64 * 1024];
    while (true) {
        // Waits until the descriptor has data or its end: a FIFO whose writer has not opened it
        // yet reads as ended, so the first read waits here for the writer, as cat would.
        pollfd request{descriptor, POLLIN, 0};
        while (::poll(&request, 1, -1) < 0) {
            if (errno != EINTR) {
                failWith(ErrorNumber::FileRead, systemReason(errno));
            }
        }
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count == 0) {
            return bytes;
        }
        if (count < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                continue;
            }
            failWith(ErrorNumber::FileRead, systemReason(errno));
        }
        if (bytes.size() + count > kLongestStream) {
            failWith(ErrorNumber::FileRead,
                     QStringLiteral("Not read to its end: a pipe or device is read for at most "
                                    "%1 MiB")
                         .arg(kLongestStream / (1024 * 1024)));
        }
        bytes.append(buffer, count);
    }
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
    QtTextStream(int descriptor, bool stream, qint32 format) : stream_(stream), format_(format) {
        if (!file_.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            closeAndFail(descriptor, file_.errorString());
        }
    }

    QString ReadAll() override { return decodeBody(readBytes(), format_); }

    QByteArray readBytes() {
        if (stream_) {
            return readStreamToEnd(file_.handle());
        }
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
    bool stream_;
    qint32 format_;
};

// A descriptor of its own for standard input, which the stream closes when done. It shares
// standard input's flags, so they are left as they are. A standard input that is closed, or
// open only for writing (as main leaves a closed one), cannot be read.
int duplicateStandardInput() {
    const int flags = ::fcntl(STDIN_FILENO, F_GETFL);
    if (flags < 0 || (flags & O_ACCMODE) == O_WRONLY) {
        failWith(ErrorNumber::FileOpen, QStringLiteral("standard input is closed"));
    }
    const int descriptor = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0);
    if (descriptor < 0) {
        failWith(ErrorNumber::FileOpen, systemReason(errno));
    }
    return descriptor;
}

// Opens without blocking, so that opening a FIFO with no writer returns at once, and then
// blocks the reads again. The descriptor is the one read, so the file checked is the file read.
int openPath(const QString& path) {
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        failWith(ErrorNumber::FileOpen, systemReason(errno));
    }
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        closeAndFail(descriptor, systemReason(errno));
    }
    return descriptor;
}

// The file at `path` open for reading, once its type is one the access allows.
std::unique_ptr<QtTextStream> openForReading(const QString& path, FileAccess access,
                                             qint32 format) {
    const bool standardInput = access == FileAccess::NamedByUser && path == u"-";
    const int descriptor = standardInput ? duplicateStandardInput() : openPath(path);
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        closeAndFail(descriptor, systemReason(errno));
    }
    const mode_t mode = status.st_mode;
    // Read as it comes, to its end, rather than by its size.
    const bool stream = S_ISFIFO(mode) || S_ISSOCK(mode) || S_ISCHR(mode);
    if (!S_ISREG(mode) && !(stream && access == FileAccess::NamedByUser)) {
        closeAndFail(descriptor, kindOfNonRegularFile(mode));
    }
    return std::make_unique<QtTextStream>(descriptor, stream, format);
}

}  // namespace

std::unique_ptr<TextStream> QtFileSystemObject::OpenTextFile(const QString& path, qint32 ioMode,
                                                             bool create, qint32 format) {
    if (ioMode != IoMode::ForReading || create) {
        failWith(ErrorNumber::FileOpen,
                 QStringLiteral("Only reading existing files is supported."));
    }
    return openForReading(path, access_, format);
}

QByteArray readWholeFile(const QString& path, FileAccess access) {
    const std::unique_ptr<QtTextStream> stream = openForReading(path, access, FileFormat::Ansi);
    QByteArray bytes = stream->readBytes();
    stream->Close();
    return bytes;
}

}  // namespace brindlewick

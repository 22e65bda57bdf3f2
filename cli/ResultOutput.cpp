#include "ResultOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>

#include "ErrorInfo.h"
#include "FileReplacement.h"
#include "StandardDescriptors.h"
#include "WriteAll.h"

namespace brindlewick {

namespace {

// As many links as the kernel follows before it gives up with ELOOP.
constexpr int kMostLinksFollowed = 40;

[[noreturn]] void failWith(const QString& description) {
    throw ComponentError(ErrorNumber::OutputWrite, description, QStringLiteral("ResultOutput"));
}

[[noreturn]] void failToWrite(const QString& target, int error) {
    failWith(QStringLiteral("Cannot write %1: %2")
                 .arg(target, QString::fromLocal8Bit(std::strerror(error))));
}

void writeToDescriptor(int fd, const QString& target, const QByteArray& bytes) {
    static const char* const kNames[] = {"standard input", "standard output", "standard error"};
    if (wasClosedAtStart(fd)) {
        failWith(QStringLiteral("%1 is closed").arg(QLatin1StringView(kNames[fd])));
    }
    if (!writeAll(fd, bytes)) {
        failToWrite(target, errno);
    }
}

bool isDecimalNumber(const QByteArray& text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The inherited descriptor a path names: /dev/stdin, /dev/stdout, /dev/stderr, /dev/fd/N or
// /proc/self/fd/N.
std::optional<int> namedDescriptor(const QByteArray& path) {
    const char* const standardNames[] = {"/dev/stdin", "/dev/stdout", "/dev/stderr"};
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (path == standardNames[fd]) {
            return fd;
        }
    }
    for (const QByteArrayView prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        const QByteArray number = path.mid(prefix.size());
        bool fits = false;
        const int fd = number.toInt(&fits);
        if (path.startsWith(prefix) && isDecimalNumber(number) && fits) {
            return fd;
        }
    }
    return std::nullopt;
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// A link in a world-writable sticky folder that belongs to neither the caller nor the folder's
// owner: another user may have planted it to turn the write onto a file of the caller's.
bool isPlantedLink(const struct stat& link, const QByteArray& folder) {
    struct stat shared = {};
    return ::stat(folder.constData(), &shared) == 0 && (shared.st_mode & S_ISVTX) != 0 &&
           (shared.st_mode & S_IWOTH) != 0 && link.st_uid != ::geteuid() &&
           link.st_uid != shared.st_uid;
}

// Refuses `path` when it, or a folder on the way to it, is a link another user planted.
void refusePlantedLinks(const QByteArray& path) {
    for (qsizetype end = path.indexOf('/', 1);; end = path.indexOf('/', end + 1)) {
        const QByteArray prefix = end < 0 ? path : path.left(end);
        struct stat link = {};
        if (::lstat(prefix.constData(), &link) == 0 && S_ISLNK(link.st_mode) &&
            isPlantedLink(link, folderOf(prefix))) {
            failWith(QStringLiteral("refusing to follow a link owned by another user in a shared "
                                    "folder: %1")
                         .arg(QFile::decodeName(prefix)));
        }
        if (end < 0) {
            return;
        }
    }
}

// The path the symbolic links starting at `path` lead to, up to a descriptor's name: the path
// itself when it is neither a link nor a descriptor's name.
QByteArray followLinks(QByteArray path, const QString& shownPath) {
    for (int followed = 0; followed < kMostLinksFollowed; ++followed) {
        if (namedDescriptor(path)) {
            return path;
        }
        refusePlantedLinks(path);
        struct stat link = {};
        if (::lstat(path.constData(), &link) != 0 || !S_ISLNK(link.st_mode)) {
            return path;
        }
        std::error_code error;
        const std::string target = std::filesystem::read_symlink(path.toStdString(), error);
        if (error) {
            failToWrite(shownPath, error.value());
        }
        path = target.starts_with('/') ? QByteArray::fromStdString(target)
                                       : folderOf(path) + '/' + QByteArray::fromStdString(target);
    }
    failToWrite(shownPath, ELOOP);
}

// Opens what exists at `path` for writing, as a shell's `>` does, and writes the bytes into it.
void writeThrough(const QByteArray& path, const QString& shownPath, const QByteArray& bytes) {
    const int fd = ::open(path.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        failToWrite(shownPath, errno);
    }
    const bool written = writeAll(fd, bytes);
    const int error = errno;
    if (!written) {
        ::close(fd);
        failToWrite(shownPath, error);
    }
    if (::close(fd) != 0) {
        failToWrite(shownPath, errno);
    }
}

}  // namespace

void writeToStandardOutput(const QByteArray& bytes) {
    writeToDescriptor(STDOUT_FILENO, QStringLiteral("to standard output"), bytes);
}

void closeStandardOutput() {
    if (::close(STDOUT_FILENO) != 0) {
        failToWrite(QStringLiteral("to standard output"), errno);
    }
}

void writeToOutputPath(const QString& path, const QByteArray& bytes) {
    // The one place the name becomes the bytes the system opens.
    const QByteArray target = followLinks(QFile::encodeName(path), path);
    if (const std::optional<int> fd = namedDescriptor(target)) {
        writeToDescriptor(*fd, path, bytes);
        return;
    }
    struct stat existing = {};
    if (::stat(target.constData(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        writeThrough(target, path, bytes);
        return;
    }
    if (const int error = replaceFileAtomically(target, bytes); error != 0) {
        failToWrite(path, error);
    }
}

}  // namespace brindlewick

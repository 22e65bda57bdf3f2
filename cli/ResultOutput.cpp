#include "ResultOutput.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
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
    if (!wasOpenAtStart(fd)) {
        if (fd <= STDERR_FILENO) {
            failWith(QStringLiteral("%1 is closed").arg(QLatin1StringView(kNames[fd])));
        }
        failToWrite(target, EBADF);
    }
    if (!writeAll(fd, bytes)) {
        failToWrite(target, errno);
    }
}

// The descriptor a name such as "5" gives; "+5", " 5" and "5x" give none.
std::optional<int> descriptorNumber(const QByteArray& name) {
    bool fits = false;
    const int fd = name.toInt(&fits);
    const bool digits = !name.isEmpty() && std::all_of(name.begin(), name.end(),
                                                       [](char c) { return c >= '0' && c <= '9'; });
    return digits && fits ? std::optional(fd) : std::nullopt;
}

// The inherited descriptor a path names: /dev/stdin, /dev/stdout, /dev/stderr, /dev/fd/N or
// /proc/self/fd/N.
std::optional<int> namedDescriptor(const QByteArray& path) {
    const QByteArrayList standardNames = {"/dev/stdin", "/dev/stdout", "/dev/stderr"};
    if (const auto fd = static_cast<int>(standardNames.indexOf(path)); fd >= 0) {
        return fd;
    }
    for (const QByteArrayView prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        if (path.startsWith(prefix)) {
            return descriptorNumber(path.sliced(prefix.size()));
        }
    }
    return std::nullopt;
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// Whether `entry`, found in `folder`, belongs to another user in a world-writable sticky folder
// (neither the caller nor the folder's owner). The kernel's protected_symlinks, protected_fifos
// and protected_regular refuse a shell's `>` there for such a link, FIFO or file: another user
// may have planted it to turn the write onto a file of the caller's, or to read the result.
bool isForeignInSharedFolder(const struct stat& entry, const QByteArray& folder) {
    struct stat shared = {};
    return ::stat(folder.constData(), &shared) == 0 && (shared.st_mode & S_ISVTX) != 0 &&
           (shared.st_mode & S_IWOTH) != 0 && entry.st_uid != ::geteuid() &&
           entry.st_uid != shared.st_uid;
}

[[noreturn]] void refuseForeign(const char* what, const QByteArray& path) {
    failWith(QStringLiteral("refusing to %1 owned by another user in a shared folder: %2")
                 .arg(QLatin1StringView(what), QFile::decodeName(path)));
}

// Refuses `path` when a folder on the way to it is a link another user planted.
void refusePlantedFolderLinks(const QByteArray& path) {
    for (qsizetype end = path.indexOf('/', 1); end >= 0; end = path.indexOf('/', end + 1)) {
        const QByteArray prefix = path.left(end);
        struct stat link = {};
        if (::lstat(prefix.constData(), &link) == 0 && S_ISLNK(link.st_mode) &&
            isForeignInSharedFolder(link, folderOf(prefix))) {
            refuseForeign("follow a link", prefix);
        }
    }
}

// The descriptor of this program's own that a link in /proc stands for, by any spelling
// (/proc/self/fd/N, /proc/thread-self/fd/N, /dev/fd/../fd/N, ...).
std::optional<int> ownDescriptorLink(const QByteArray& path) {
    std::error_code error;
    const QByteArray folder = QByteArray::fromStdString(
        std::filesystem::canonical(folderOf(path).toStdString(), error).native());
    const QByteArray process = "/proc/" + QByteArray::number(::getpid()) + '/';
    const bool own = folder == process + "fd" ||
                     (folder.startsWith(process + "task/") && folder.endsWith("/fd"));
    return own ? descriptorNumber(path.mid(path.lastIndexOf('/') + 1)) : std::nullopt;
}

// What --output names once its links are followed.
struct OutputTarget {
    enum class Kind { Descriptor, ProcLink, Absent, Existing };
    Kind kind;
    QByteArray path;
    struct stat status = {};
    int descriptor = -1;
};

// Follows the links starting at `path`, deciding each step on one lstat, so that an entry swapped
// in after the check is never followed: a descriptor's name ends the walk, and so does a link in
// /proc (it leads to an open file, such as a redirect's target, which is written through as the
// kernel opens it).
OutputTarget resolveOutput(QByteArray path, const QString& shownPath) {
    for (int followed = 0; followed < kMostLinksFollowed; ++followed) {
        if (const std::optional<int> fd = namedDescriptor(path)) {
            return {OutputTarget::Kind::Descriptor, path, {}, *fd};
        }
        refusePlantedFolderLinks(path);
        OutputTarget target{OutputTarget::Kind::Existing, path};
        if (::lstat(path.constData(), &target.status) != 0) {
            if (errno != ENOENT) {
                failToWrite(shownPath, errno);
            }
            return {OutputTarget::Kind::Absent, path};
        }
        const bool link = S_ISLNK(target.status.st_mode);
        const bool sharable =
            link || S_ISFIFO(target.status.st_mode) || S_ISREG(target.status.st_mode);
        if (sharable && isForeignInSharedFolder(target.status, folderOf(path))) {
            refuseForeign(link ? "follow a link" : "write to a file", path);
        }
        if (!link) {
            return target;
        }
        struct statfs system = {};
        if (::statfs(folderOf(path).constData(), &system) == 0 &&
            system.f_type == PROC_SUPER_MAGIC) {
            if (const std::optional<int> fd = ownDescriptorLink(path)) {
                return {OutputTarget::Kind::Descriptor, path, {}, *fd};
            }
            return {OutputTarget::Kind::ProcLink, path};
        }
        std::error_code error;
        const std::string next = std::filesystem::read_symlink(path.toStdString(), error);
        if (error) {
            failToWrite(shownPath, error.value());
        }
        path = next.starts_with('/') ? QByteArray::fromStdString(next)
                                     : folderOf(path) + '/' + QByteArray::fromStdString(next);
    }
    failToWrite(shownPath, ELOOP);
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
    if (path.isEmpty() || path == u"-") {
        writeToStandardOutput(bytes);
        return;
    }
    // The one place the name becomes the bytes the system opens.
    const OutputTarget target = resolveOutput(QFile::encodeName(path), path);
    if (target.kind == OutputTarget::Kind::Descriptor) {
        writeToDescriptor(target.descriptor, path, bytes);
        return;
    }
    const bool existing = target.kind == OutputTarget::Kind::Existing;
    // A name that ends in a slash names a folder, as a shell's `>` says (opening one for writing
    // fails so too).
    if (target.path.endsWith('/')) {
        failToWrite(path, EISDIR);
    }
    const bool regular =
        target.kind == OutputTarget::Kind::Absent || (existing && S_ISREG(target.status.st_mode));
    // A shell's `>` cannot write a file the caller may not write (root may write any).
    if (existing && regular &&
        ::faccessat(AT_FDCWD, target.path.constData(), W_OK, AT_EACCESS) != 0) {
        failToWrite(path, errno);
    }
    // The folder is looked up once: the name and its temporary file are found in it from here on.
    const int folder = ::open(folderOf(target.path).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        failToWrite(path, errno);
    }
    const QByteArray name = target.path.mid(target.path.lastIndexOf('/') + 1);
    const struct stat* lookedAt = existing ? &target.status : nullptr;
    // A link in /proc is followed as the kernel opens it; anything else that exists and is no
    // regular file (a device, a FIFO) is written into, if it is still the entry looked at.
    const int error = regular ? replaceRegularFile(folder, target.path, lookedAt, bytes)
                              : writeInto(folder, name, existing ? O_NOFOLLOW : 0, lookedAt, bytes);
    ::close(folder);
    if (error == ESTALE && !regular) {
        failWith(QStringLiteral("Cannot write %1: it was replaced while being opened").arg(path));
    }
    if (error != 0) {
        failToWrite(path, error);
    }
}

}  // namespace brindlewick

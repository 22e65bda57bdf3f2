#include "FileReplacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <QList>
#include <QRandomGenerator>
#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <csignal>

#include "WriteAll.h"

namespace brindlewick {

namespace {

// The temporary file a signal handler removes: its folder and, while it has one, its name.
volatile int temporaryFolder = -1;
const char* volatile temporaryName = nullptr;

extern "C" void removeTemporaryAndDie(int signalNumber) {
    if (temporaryName != nullptr) {
        ::unlinkat(temporaryFolder, temporaryName, 0);
    }
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

// ".NAME.RANDOM", NAME cut short so that a name of any allowed length gets a temporary name of
// an allowed length too.
QByteArray freshNameBeside(const QByteArray& name) {
    const QByteArray suffix =
        '.' + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
    return '.' + name.left(NAME_MAX - 1 - suffix.size()) + suffix;
}

// Whether a signal's default action ends the program: all but those that by default are
// ignored, stop or continue it, and SIGKILL, which no handler can catch.
bool endsProgram(int signalNumber) {
    static constexpr std::array kOthers = {SIGKILL, SIGSTOP, SIGTSTP, SIGTTIN, SIGTTOU,
                                           SIGCONT, SIGCHLD, SIGURG,  SIGWINCH};
    return std::ranges::find(kOthers, signalNumber) == kOthers.end();
}

// While it lives, the signals that end a program remove the temporary file before they end it as
// they would have; a signal the caller ignores stays ignored.
class TemporaryFileOnSignals {
  public:
    explicit TemporaryFileOnSignals(int folder) {
        temporaryFolder = folder;
        struct sigaction removal = {};
        removal.sa_handler = removeTemporaryAndDie;
        ::sigemptyset(&signals_);
        // The C library keeps a few real-time signals for itself: sigaction refuses them.
        for (int signalNumber = 1; signalNumber <= SIGRTMAX; ++signalNumber) {
            if (endsProgram(signalNumber) &&
                ::sigaction(signalNumber, nullptr, &previous_[signalNumber]) == 0 &&
                previous_[signalNumber].sa_handler != SIG_IGN) {
                ::sigaddset(&signals_, signalNumber);
                ::sigaction(signalNumber, &removal, nullptr);
            }
        }
    }
    ~TemporaryFileOnSignals() {
        if (temporaryName != nullptr) {
            ::unlinkat(temporaryFolder, temporaryName, 0);
            temporaryName = nullptr;
        }
        for (int signalNumber = 1; signalNumber <= SIGRTMAX; ++signalNumber) {
            if (::sigismember(&signals_, signalNumber) == 1) {
                ::sigaction(signalNumber, &previous_[signalNumber], nullptr);
            }
        }
    }
    TemporaryFileOnSignals(const TemporaryFileOnSignals&) = delete;
    TemporaryFileOnSignals& operator=(const TemporaryFileOnSignals&) = delete;

    // Makes an entry under a fresh name beside `name` with `create`, which returns whether it
    // made one (errno telling why not); a name that exists already is passed over. The signals
    // wait meanwhile, so that one that comes finds the new name noted for removal.
    template <typename Create>
    bool createBeside(int folder, const QByteArray& name, Create create) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            name_ = freshNameBeside(name);
            sigset_t previous;
            ::pthread_sigmask(SIG_BLOCK, &signals_, &previous);
            const bool created = create(folder, name_.constData());
            const int error = errno;
            if (created) {
                temporaryName = name_.constData();
            }
            ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
            errno = error;
            if (created || error != EEXIST) {
                return created;
            }
        }
        return false;
    }

    const char* name() const { return temporaryName; }

    // The temporary file has become the file: its name is no longer to be removed.
    void keep() { temporaryName = nullptr; }

  private:
    std::array<struct sigaction, NSIG> previous_ = {};
    sigset_t signals_ = {};
    QByteArray name_;
};

// A path that reaches the open descriptor `fd`, whatever it is and however long its own path.
QByteArray pathOf(int fd) {
    return "/proc/self/fd/" + QByteArray::number(fd);
}

// Whether /proc shows this process's descriptors, through which an unnamed file gets a name.
// A chroot or a container may have no /proc.
bool procShowsDescriptors() {
    return ::access("/proc/self/fd", F_OK) == 0;
}

// Where this caller can add no name to the folder, or remove none: an append-only or immutable
// folder, or one the caller may not write.
bool namesAreFixed(int folder) {
    struct statx status = {};
    const bool fixed = ::statx(folder, "", AT_EMPTY_PATH, 0, &status) == 0 &&
                       (status.stx_attributes & (STATX_ATTR_APPEND | STATX_ATTR_IMMUTABLE)) != 0;
    return fixed || ::faccessat(folder, ".", W_OK, AT_EACCESS) != 0;
}

int errorOf(bool succeeded) {
    return succeeded ? 0 : errno;
}

// Gives the file open as `to` the extended attributes of the file at `from`, a path that is not
// followed; one that a folder's default ACL gave `to` and `from` lacks is removed. A caller who
// is not root cannot set file capabilities, which a write drops anyway.
int copyAttributes(const QByteArray& from, int to) {
    // The buffers are as large as the kernel lets a list or a value be.
    QByteArray list(XATTR_LIST_MAX, '\0');
    const ssize_t size = ::llistxattr(from.constData(), list.data(), list.size());
    if (size < 0) {
        return errno == ENOTSUP ? 0 : errno;
    }
    const QList<QByteArray> names = list.first(size).split('\0');
    QByteArray value(XATTR_SIZE_MAX, '\0');
    for (const QByteArray& name : names) {
        if (name.isEmpty() || (name == "security.capability" && ::geteuid() != 0)) {
            continue;
        }
        const ssize_t length =
            ::lgetxattr(from.constData(), name.constData(), value.data(), value.size());
        if (length < 0 || ::fsetxattr(to, name.constData(), value.constData(), length, 0) != 0) {
            return errno;
        }
    }
    const char* const kAccessAcl = "system.posix_acl_access";
    if (!names.contains(kAccessAcl) && ::fremovexattr(to, kAccessAcl) != 0 && errno != ENODATA &&
        errno != ENOTSUP) {
        return errno;
    }
    return 0;
}

// Gives the temporary file open as `fd` what the file at `path` carries: owner and group first
// (as root), since a change of owner clears the setuid bit, then its extended attributes, then
// its mode, which also sets an ACL's mask. The file is reached through its folder's descriptor
// where /proc allows.
int carryOver(int fd, int folder, const QByteArray& path, const QByteArray& name,
              const struct stat& replaced) {
    if (::geteuid() == 0 && ::fchown(fd, replaced.st_uid, replaced.st_gid) != 0) {
        return errno;
    }
    const QByteArray from = procShowsDescriptors() ? pathOf(folder) + '/' + name : path;
    if (const int error = copyAttributes(from, fd); error != 0) {
        return error;
    }
    // The permission bits follow the kernel's rule for a write, which drops setuid, and setgid
    // where the group may execute, for a caller without CAP_FSETID.
    mode_t mode = replaced.st_mode;
    if (::geteuid() != 0) {
        mode &= (mode & S_IXGRP) != 0 ? ~(S_ISUID | S_ISGID) : ~S_ISUID;
    }
    return errorOf(::fchmod(fd, mode & 07777) == 0);
}

// Opens an unnamed file in the folder with mode 0666, for the umask or the folder's default ACL
// to act on; fails with EOPNOTSUPP where it could not be given a name.
int openUnnamed(int folder) {
    if (!procShowsDescriptors()) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
}

bool hasNoUnnamedFiles(int error) {
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

bool linkUnnamed(int fd, int folder, const char* name) {
    return ::linkat(AT_FDCWD, pathOf(fd).constData(), folder, name, AT_SYMLINK_FOLLOW) == 0;
}

int replaceThroughTemporary(int folder, const QByteArray& path, const QByteArray& name,
                            const struct stat* replaced, const QByteArray& bytes) {
    TemporaryFileOnSignals temporary(folder);
    // An unnamed temporary file, or where the system has none, a named one.
    int fd = openUnnamed(folder);
    if (fd < 0 && hasNoUnnamedFiles(errno)) {
        temporary.createBeside(folder, name, [&fd](int at, const char* fresh) {
            fd = ::openat(at, fresh, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
            return fd >= 0;
        });
    }
    if (fd < 0) {
        return errno;
    }
    int error = errorOf(writeAll(fd, bytes));
    if (error == 0 && replaced != nullptr) {
        error = carryOver(fd, folder, path, name, *replaced);
    }
    if (error == 0) {
        error = errorOf(::fsync(fd) == 0);
    }
    // A temporary file made where the system has no unnamed ones has its name already. An
    // unnamed one for a new file gets the file's name at once, so that no temporary name is ever
    // seen; where a file got the name meanwhile (another run's), it is replaced, as by a rename.
    bool linked = false;
    if (error == 0 && temporary.name() == nullptr) {
        linked = replaced == nullptr && linkUnnamed(fd, folder, name.constData());
        const auto linkAt = [fd](int at, const char* fresh) { return linkUnnamed(fd, at, fresh); };
        error = errorOf(linked || temporary.createBeside(folder, name, linkAt));
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && !linked) {
        error = errorOf(::renameat(folder, temporary.name(), folder, name.constData()) == 0);
    }
    if (error == 0) {
        temporary.keep();
    }
    return error;
}

// Writes the bytes over the file open as `fd` from its start and cuts it to their length. The
// length is reserved first, so that a full disk fails before an old byte is overwritten, where
// the file system can reserve.
int overwrite(int fd, const QByteArray& bytes) {
    if (!bytes.isEmpty() && ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, bytes.size()) != 0 &&
        errno != EOPNOTSUPP) {
        return errno;
    }
    return errorOf(writeAll(fd, bytes) && ::ftruncate(fd, bytes.size()) == 0 && ::fsync(fd) == 0);
}

// Where no name of the folder can be replaced, as a shell's `>` writes: into the file there, or
// a new one, made unnamed and linked when complete where the system allows.
int writeWhereNamesAreFixed(int folder, const QByteArray& name, bool existing,
                            const QByteArray& bytes) {
    const int how = O_WRONLY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC;
    int fd = existing ? ::openat(folder, name.constData(), how) : openUnnamed(folder);
    const bool unnamed = !existing && fd >= 0;
    if (fd < 0 && !existing && hasNoUnnamedFiles(errno)) {
        fd = ::openat(folder, name.constData(), how | O_CREAT | O_EXCL, 0666);
    }
    if (fd < 0) {
        return errno;
    }
    int error = overwrite(fd, bytes);
    if (error == 0 && unnamed) {
        error = errorOf(linkUnnamed(fd, folder, name.constData()));
    }
    return ::close(fd) != 0 && error == 0 ? errno : error;
}

}  // namespace

int replaceRegularFile(int folder, const QByteArray& path, const struct stat* replaced,
                       const QByteArray& bytes) {
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    return namesAreFixed(folder) ? writeWhereNamesAreFixed(folder, name, replaced != nullptr, bytes)
                                 : replaceThroughTemporary(folder, path, name, replaced, bytes);
}

int writeInto(int folder, const QByteArray& name, int how, const struct stat* expected,
              const QByteArray& bytes) {
    const int fd = ::openat(folder, name.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC | how, 0666);
    if (fd < 0) {
        return errno;
    }
    struct stat opened = {};
    if (expected != nullptr && (::fstat(fd, &opened) != 0 || opened.st_dev != expected->st_dev ||
                                opened.st_ino != expected->st_ino)) {
        ::close(fd);
        return ESTALE;
    }
    const int error = errorOf(writeAll(fd, bytes));
    return ::close(fd) != 0 && error == 0 ? errno : error;
}

}  // namespace brindlewick

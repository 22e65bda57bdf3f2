#include "FileReplacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "WriteAll.h"

namespace brindlewick {

namespace {

// The temporary file a signal handler removes; set only while one exists.
const char* volatile temporaryToRemove = nullptr;

extern "C" void removeTemporaryAndDie(int signalNumber) {
    if (temporaryToRemove != nullptr) {
        ::unlink(temporaryToRemove);
    }
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

// While it lives, the signals that end a program remove the temporary file before they end it as
// they would have; a signal the caller ignores stays ignored. SIGXFSZ is ignored, so that a
// write past the file-size limit fails with "File too large" and is cleaned up like any other.
class TemporaryFileOnSignals {
  public:
    explicit TemporaryFileOnSignals(const char* path) {
        temporaryToRemove = path;
        struct sigaction removal = {};
        removal.sa_handler = removeTemporaryAndDie;
        for (std::size_t i = 0; i < kSignals.size(); ++i) {
            ::sigaction(kSignals[i], nullptr, &previous_[i]);
            if (previous_[i].sa_handler != SIG_IGN) {
                ::sigaction(kSignals[i], &removal, nullptr);
            }
        }
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGXFSZ, &ignore, &previousFileSizeAction_);
    }
    ~TemporaryFileOnSignals() {
        ::sigaction(SIGXFSZ, &previousFileSizeAction_, nullptr);
        for (std::size_t i = 0; i < kSignals.size(); ++i) {
            ::sigaction(kSignals[i], &previous_[i], nullptr);
        }
        temporaryToRemove = nullptr;
    }
    TemporaryFileOnSignals(const TemporaryFileOnSignals&) = delete;
    TemporaryFileOnSignals& operator=(const TemporaryFileOnSignals&) = delete;

  private:
    static constexpr std::array kSignals = {SIGHUP,  SIGINT,  SIGQUIT,   SIGTERM, SIGUSR1,
                                            SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU};
    std::array<struct sigaction, kSignals.size()> previous_ = {};
    struct sigaction previousFileSizeAction_ = {};
};

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Gives the open temporary file the permission bits of the file it replaces (and, as root, its
// owner and group, set first since a change of owner clears the set-user-ID bit), or those of a
// newly created file. A file system without Unix permissions (FAT) refuses modes it cannot
// store; a new file then keeps the mode that file system gives it.
bool takeOverIdentity(int fd, const struct stat* replaced) {
    if (replaced == nullptr) {
        ::fchmod(fd, 0666 & ~currentUmask());
        return true;
    }
    if (::geteuid() == 0 && ::fchown(fd, replaced->st_uid, replaced->st_gid) != 0) {
        return false;
    }
    return ::fchmod(fd, replaced->st_mode & 07777) == 0;
}

// The longest file name most file systems take (NAME_MAX).
constexpr qsizetype kLongestName = 255;

// ".NAME.XXXXXX" beside the file, with NAME cut short so that a name of any allowed length gets
// a temporary name of an allowed length too.
QByteArray temporaryNameBeside(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray suffix = ".XXXXXX";
    const QByteArray name = path.mid(slash + 1).left(kLongestName - 1 - suffix.size());
    return path.left(slash + 1) + '.' + name + suffix;
}

}  // namespace

int replaceFileAtomically(const QByteArray& path, const struct stat* replaced,
                          const QByteArray& bytes) {
    QByteArray temporary = temporaryNameBeside(path);
    const TemporaryFileOnSignals cleanup(temporary.data());
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    int error = 0;
    if (!writeAll(fd, bytes) || !takeOverIdentity(fd, replaced) || ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temporary.constData(), path.constData()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.constData());
    }
    return error;
}

}  // namespace brindlewick

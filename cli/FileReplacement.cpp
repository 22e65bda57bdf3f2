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

// While it lives, SIGINT, SIGTERM and SIGHUP remove the temporary file before they end the
// program as they would have. A signal the caller ignores stays ignored.
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
    }
    ~TemporaryFileOnSignals() {
        for (std::size_t i = 0; i < kSignals.size(); ++i) {
            ::sigaction(kSignals[i], &previous_[i], nullptr);
        }
        temporaryToRemove = nullptr;
    }
    TemporaryFileOnSignals(const TemporaryFileOnSignals&) = delete;
    TemporaryFileOnSignals& operator=(const TemporaryFileOnSignals&) = delete;

  private:
    static constexpr std::array<int, 3> kSignals = {SIGINT, SIGTERM, SIGHUP};
    std::array<struct sigaction, 3> previous_ = {};
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

QByteArray temporaryNameBeside(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return path.left(slash + 1) + '.' + path.mid(slash + 1) + ".XXXXXX";
}

}  // namespace

int replaceFileAtomically(const QByteArray& path, const QByteArray& bytes) {
    struct stat existing = {};
    const bool replacing = ::stat(path.constData(), &existing) == 0;
    QByteArray temporary = temporaryNameBeside(path);
    const TemporaryFileOnSignals cleanup(temporary.data());
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    int error = 0;
    if (!writeAll(fd, bytes) || !takeOverIdentity(fd, replacing ? &existing : nullptr) ||
        ::fsync(fd) != 0) {
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

#include "StandardDescriptors.h"

#include <fcntl.h>
#include <unistd.h>

namespace brindlewick {

void fillClosedStandardDescriptors() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1) {
            // The lower ones are open by now, so /dev/null gets this number. Write-only, so
            // that standard input still reads as closed; close-on-exec, so that it is no
            // descriptor the program was started with.
            ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        }
    }
}

// A descriptor the program was started with lacks the close-on-exec flag, or the exec that
// started it would have closed it; every descriptor the program and Qt open carries the flag.
bool wasOpenAtStart(int fd) {
    const int flags = ::fcntl(fd, F_GETFD);
    return flags != -1 && (flags & FD_CLOEXEC) == 0;
}

}  // namespace brindlewick

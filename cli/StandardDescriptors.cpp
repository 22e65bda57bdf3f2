#include "StandardDescriptors.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>

namespace brindlewick {

namespace {

std::array<bool, 3> closedAtStart = {false, false, false};

bool isOpen(int fd) {
    return ::fcntl(fd, F_GETFD) != -1;
}

}  // namespace

void openClosedStandardDescriptors() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (!isOpen(fd)) {
            closedAtStart[fd] = true;
            // The lower ones are open by now, so /dev/null gets this number.
            ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        }
    }
}

bool wasClosedAtStart(int fd) {
    return fd >= STDIN_FILENO && fd <= STDERR_FILENO && closedAtStart[fd];
}

}  // namespace brindlewick

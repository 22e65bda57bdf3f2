#include "StandardDescriptors.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

namespace brindlewick {

namespace {

std::array<bool, 3> closedAtStart = {false, false, false};
// The descriptors above 2 the program was started with, in ascending order.
std::vector<int> inheritedAbove2;

bool isOpen(int fd) {
    return ::fcntl(fd, F_GETFD) != -1;
}

}  // namespace

void openClosedStandardDescriptors() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (!isOpen(fd)) {
            closedAtStart[fd] = true;
            // The lower ones are open by now, so /dev/null gets this number. Write-only, so
            // that standard input still reads as closed.
            ::open("/dev/null", O_WRONLY);
        }
    }
}

void noteInheritedDescriptors() {
    DIR* listing = ::opendir("/proc/self/fd");
    if (listing == nullptr) {
        return;
    }
    const int own = ::dirfd(listing);
    while (const dirent* entry = ::readdir(listing)) {
        char* end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        if (end != entry->d_name && *end == '\0' && fd > STDERR_FILENO && fd != own) {
            inheritedAbove2.push_back(static_cast<int>(fd));
        }
    }
    ::closedir(listing);
    std::sort(inheritedAbove2.begin(), inheritedAbove2.end());
}

bool wasOpenAtStart(int fd) {
    if (fd >= STDIN_FILENO && fd <= STDERR_FILENO) {
        return !closedAtStart[fd];
    }
    return std::binary_search(inheritedAbove2.begin(), inheritedAbove2.end(), fd);
}

bool wasClosedAtStart(int fd) {
    return fd >= STDIN_FILENO && fd <= STDERR_FILENO && closedAtStart[fd];
}

}  // namespace brindlewick

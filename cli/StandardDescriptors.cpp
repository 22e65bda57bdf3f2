#include "StandardDescriptors.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace brindlewick {

namespace {

// The descriptors the program was started with, in ascending order.
std::vector<int> openAtStart;

}  // namespace

void noteStartDescriptors() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1) {
            openAtStart.push_back(fd);
        } else {
            // The lower ones are open by now, so /dev/null gets this number. Write-only, so
            // that standard input still reads as closed.
            ::open("/dev/null", O_WRONLY);
        }
    }
    DIR* listing = ::opendir("/proc/self/fd");
    if (listing == nullptr) {
        return;
    }
    const int own = ::dirfd(listing);
    while (const dirent* entry = ::readdir(listing)) {
        char* end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        if (end != entry->d_name && *end == '\0' && fd > STDERR_FILENO && fd != own) {
            openAtStart.push_back(static_cast<int>(fd));
        }
    }
    ::closedir(listing);
    std::sort(openAtStart.begin(), openAtStart.end());
}

bool wasOpenAtStart(int fd) {
    return std::binary_search(openAtStart.begin(), openAtStart.end(), fd);
}

}  // namespace brindlewick

#include "StandardDescriptors.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>

namespace brindlewick {

namespace {

// The descriptors the program was started with.
std::set<int> openAtStart;

}  // namespace

void noteStartDescriptors() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1) {
            openAtStart.insert(fd);
        } else {
            // The lower ones are open by now, so /dev/null gets this number. Write-only, so
            // that standard input still reads as closed.
            ::open("/dev/null", O_WRONLY);
        }
    }
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        if (const int fd = std::atoi(entry.path().filename().c_str()); fd > STDERR_FILENO) {
            openAtStart.insert(fd);
        }
    }
    // The listing's own descriptor is closed by now.
    std::erase_if(openAtStart, [](int fd) { return ::fcntl(fd, F_GETFD) == -1; });
}

bool wasOpenAtStart(int fd) {
    return openAtStart.contains(fd);
}

}  // namespace brindlewick

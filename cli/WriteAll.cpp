#include "WriteAll.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace brindlewick {

bool writeAll(int fd, const QByteArray& bytes) {
    const char* next = bytes.constData();
    auto left = static_cast<size_t>(bytes.size());
    // A full non-blocking descriptor (a pipe whose reader is late) is waited for.
    pollfd writable{fd, POLLOUT, 0};
    while (left > 0) {
        const ssize_t written = ::write(fd, next, left);
        if (written < 0 && errno == EAGAIN) {
            if (::poll(&writable, 1, -1) < 0 && errno != EINTR) {
                return false;
            }
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        next += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace brindlewick

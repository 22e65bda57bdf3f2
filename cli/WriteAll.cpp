#include "WriteAll.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace brindlewick {

namespace {

// Waits until a non-blocking descriptor takes bytes again (a pipe whose reader is late).
bool waitUntilWritable(int fd) {
    pollfd request{fd, POLLOUT, 0};
    return ::poll(&request, 1, -1) >= 0 || errno == EINTR;
}

}  // namespace

bool writeAll(int fd, const QByteArray& bytes) {
    const char* next = bytes.constData();
    auto left = static_cast<size_t>(bytes.size());
    while (left > 0) {
        const ssize_t written = ::write(fd, next, left);
        if (written < 0 && (errno == EINTR || (errno == EAGAIN && waitUntilWritable(fd)))) {
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

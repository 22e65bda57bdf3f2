#include "WriteAll.h"

#include <unistd.h>

#include <cerrno>

namespace brindlewick {

bool writeAll(int fd, const QByteArray& bytes) {
    const char* next = bytes.constData();
    auto left = static_cast<size_t>(bytes.size());
    while (left > 0) {
        const ssize_t written = ::write(fd, next, left);
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

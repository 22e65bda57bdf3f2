#pragma once

#include <QByteArray>

namespace brindlewick {

// Writes all the bytes to descriptor `fd`, going on after a partial write and after an
// interrupting signal, and waiting while a non-blocking descriptor is full. False, with errno
// telling why, when the system refuses a write.
bool writeAll(int fd, const QByteArray& bytes);

}  // namespace brindlewick

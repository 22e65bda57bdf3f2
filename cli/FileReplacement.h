#pragma once

#include <sys/stat.h>

#include <QByteArray>

namespace brindlewick {

// Makes the regular file at `path` (a path in the system's encoding, no symbolic link) hold the
// bytes, creating it when `replaced` is null: they go into a temporary file in the same folder,
// which is then renamed over `path`, so a reader sees the old file or the whole new one. The new
// file keeps the permission bits of the one it replaces, whose status `replaced` holds (and, when
// run as root, its owner and group); a file that did not exist gets 0666 less the umask. Returns
// 0, or the system's error number of the step that failed; the temporary file is removed on
// every failure and on the signals that end a program.
int replaceFileAtomically(const QByteArray& path, const struct stat* replaced,
                          const QByteArray& bytes);

}  // namespace brindlewick

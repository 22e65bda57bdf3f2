#pragma once

#include <sys/stat.h>

#include <QByteArray>

namespace brindlewick {

// Makes the regular file at `path`, in the folder open as `folder`, hold the bytes, creating it
// when `replaced` is null, as a shell's `>` would but atomically: the bytes go into a temporary
// file in the folder (unnamed where the system allows; a new file gets its name at once), renamed
// over the file when complete. A replaced file keeps its mode, the extended attributes the caller
// can read and, as root, its owner and group; setuid and setgid drop for others, as a write drops
// them. Where the caller can replace no name in the folder (append-only, immutable, not theirs to
// write), the file is written in place once its new length is reserved, and cut to it after; a
// new one there is linked when complete. Returns 0, or the error number of the failed step: the
// file is then as it was, and the temporary file is gone, after any signal that ends a program too.
int replaceRegularFile(int folder, const QByteArray& path, const struct stat* replaced,
                       const QByteArray& bytes);

// Opens the entry `name` in the folder open as `folder` for writing, as a shell's `>` does, with
// the open flags `how` added, and writes the bytes into it. Unless `expected` is null, the file
// opened must be the one whose status it holds, or nothing is written and the result is ESTALE.
// Returns 0, or the system's error number of the step that failed.
int writeInto(int folder, const QByteArray& name, int how, const struct stat* expected,
              const QByteArray& bytes);

}  // namespace brindlewick

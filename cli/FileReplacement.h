#pragma once

#include <sys/stat.h>

#include <QByteArray>

namespace brindlewick {

// Makes the regular file at `path`, in the folder open as `folder`, hold the bytes, creating it
// when `replaced` is null. The bytes go into a temporary file in the folder, unnamed where the
// file system and /proc allow it, which gets the name only when it is complete, so a reader sees
// the old file or the whole new one; a new file made unnamed gets its name at once. A new file
// gets what a shell's `>` gives it (the umask or the folder's default ACL); a replaced one keeps
// what the file whose status `replaced` holds carries: its mode, the extended attributes the
// caller can see (ACLs among them) and, as root, its owner and group; a caller who is not root
// loses the setuid and setgid bits, as a write would drop them. Where the caller can replace no
// name in the folder (append-only, immutable, or not theirs to write), the file is written in
// place as `>` writes it, but only once its new length is reserved, and cut to that length
// after; a new one there is linked when complete. Returns 0, or the system's error number of the
// step that failed; the file is then as it was, and the temporary file is removed, on any
// signal whose default ends a program too.
int replaceRegularFile(int folder, const QByteArray& path, const struct stat* replaced,
                       const QByteArray& bytes);

int writeInto(int folder, const QByteArray& name, int how, const struct stat* expected,
              const QByteArray& bytes);

}  // namespace brindlewick

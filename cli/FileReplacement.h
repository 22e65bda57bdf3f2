#pragma once

#include <sys/stat.h>

#include <QByteArray>

namespace brindlewick {

// Makes the regular file `name` in the folder open as `folder` hold the bytes, creating it when
// `replaced` is null. The bytes go into a temporary file in the folder, unnamed where the file
// system allows it, which gets the name only when it is complete, so a reader sees the old file
// or the whole new one. A new file gets what a shell's `>` gives it (the umask or the folder's
// default ACL); a replaced one keeps what the file whose status `replaced` holds carries: its
// mode, its extended attributes (ACLs among them) and, as root, its owner and group; a caller
// who is not root loses the setuid and setgid bits, as a write would drop them. In an
// append-only or immutable folder, where no name can be removed, the file is written in place as
// `>` writes it. Returns 0, or the system's error number of the step that failed; the file is
// then as it was, and the temporary file is removed, on the signals that end a program too.
int replaceRegularFile(int folder, const QByteArray& name, const struct stat* replaced,
                       const QByteArray& bytes);

// Opens the entry `name` in the folder open as `folder` for writing, as a shell's `>` does, with
// the open flags `how` added, and writes the bytes into it. Unless `expected` is null, the file
// opened must be the one whose status it holds, or nothing is written and the result is ESTALE.
// Returns 0, or the system's error number of the step that failed.
int writeInto(int folder, const QByteArray& name, int how, const struct stat* expected,
              const QByteArray& bytes);

}  // namespace brindlewick

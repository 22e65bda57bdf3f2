#pragma once

#include <QByteArray>
#include <QString>

namespace brindlewick {

// Where `brindlewick generate` puts its result. Each throws ComponentError (OutputWrite) with
// the system's reason when the bytes cannot all be written.

// Writes the bytes to standard output as they are; fails when standard output was closed when
// the program started.
void writeToStandardOutput(const QByteArray& bytes);

// Closes standard output, so that a failure the system reports only on close is not lost.
void closeStandardOutput();

// Writes the bytes to the `--output` target `path`, as a shell's `>` would but never leaving a
// regular file half written:
// - no path or "-" is standard output;
// - /dev/stdin, /dev/stdout, /dev/stderr, /dev/fd/N and /proc/self/fd/N (named or reached by a
//   link) write to the inherited descriptor, so an append redirect is appended to and a pipe
//   gets the bytes;
// - an absent path or a regular file is replaced atomically (see replaceRegularFile);
// - anything else that exists (a device, a FIFO) is opened and written into.
// A symbolic link is followed, except one in a world-writable sticky folder owned by neither
// the caller nor the folder's owner, the rule of the kernel's protected_symlinks.
void writeToOutputPath(const QString& path, const QByteArray& bytes);

}  // namespace brindlewick

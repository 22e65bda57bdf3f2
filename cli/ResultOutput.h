#pragma once

#include <QByteArray>
#include <QString>

namespace brindlewick {

// Where `brindlewick generate` puts its result. Each throws ComponentError (OutputWrite) with
// the system's reason when the bytes cannot all be written.

// Writes the bytes to standard output as they are.
void writeToStandardOutput(const QByteArray& bytes);

// Replaces the file at `path` by one holding the bytes, atomically: the file is either left as
// it was or holds all of them, and no temporary file stays behind.
void writeFileAtomically(const QString& path, const QByteArray& bytes);

}  // namespace brindlewick

#pragma once

#include "FileSystemObject.h"

namespace brindlewick {

// Text files on the local file system. Only regular files can be opened: a directory, a FIFO or
// a device would make a read fail, block or never end, so opening one fails with its reason.
// Format values: FileFormat::Ansi decodes Windows-1252, FileFormat::Unicode UTF-16LE (a
// byte-order mark is dropped) and FileFormat::SystemDefault UTF-8.
class QtFileSystemObject final : public FileSystemObject {
  public:
    std::unique_ptr<TextStream> OpenTextFile(const QString& path, qint32 ioMode, bool create,
                                             qint32 format) override;
};

// The whole content of the regular file at `path`, byte for byte, for callers that parse bytes
// themselves. Refuses what OpenTextFile refuses, with the same reasons, without blocking.
QByteArray readRegularFile(const QString& path);

}  // namespace brindlewick

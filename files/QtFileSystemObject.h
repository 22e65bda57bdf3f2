#pragma once

#include "FileSystemObject.h"

namespace brindlewick {

// Which files a file-system object reads.
enum class FileAccess {
    // A file the program looked up by itself, where nobody chose what lies there: only a regular
    // file, since a directory, a FIFO or a device would make a read fail, block or never end.
    RegularFilesOnly,
    // A file the user named, as they would to cat: a regular file, or a pipe, a FIFO, a socket or
    // a character device (`/dev/stdin`, `/dev/fd/N`, `<(...)`), read to its end; "-" is standard
    // input. A directory or a block device is refused, and a stream that gives more than
    // kLongestStream bytes fails instead of filling the memory.
    NamedByUser,
};

// The most a pipe or device named by the user is read for (/dev/zero never ends).
inline constexpr qsizetype kLongestStream = qsizetype(256) * 1024 * 1024;

// Text files on the local file system. Opening never blocks: a FIFO whose writer has not come
// yet is waited for only when it is read. Opening a file the access does not allow fails with
// the reason. Format values: FileFormat::Ansi decodes Windows-1252, FileFormat::Unicode UTF-16LE
// (a byte-order mark is dropped) and FileFormat::SystemDefault UTF-8.
class QtFileSystemObject final : public FileSystemObject {
  public:
    explicit QtFileSystemObject(FileAccess access = FileAccess::RegularFilesOnly)
        : access_(access) {}
    std::unique_ptr<TextStream> OpenTextFile(const QString& path, qint32 ioMode, bool create,
                                             qint32 format) override;

  private:
    FileAccess access_;
};

// The whole content of the file at `path`, byte for byte, for callers that parse bytes
// themselves. Refuses what OpenTextFile refuses with the same access, with the same reasons.
QByteArray readWholeFile(const QString& path, FileAccess access);

}  // namespace brindlewick

#pragma once

#include <QString>
#include <memory>

namespace brindlewick {

// The values a text file can be opened with.
namespace FileFormat {
inline constexpr qint32 Ansi = 0;            // Windows-1252, or UTF-8 (decodeAnsiText)
inline constexpr qint32 Unicode = -1;        // UTF-16LE, a byte-order mark is dropped
inline constexpr qint32 SystemDefault = -2;  // UTF-8 on this platform
}  // namespace FileFormat

namespace IoMode {
inline constexpr qint32 ForReading = 1;
}

// An open text file. Failures are thrown as ComponentError carrying the system's reason.
class TextStream {
  public:
    virtual ~TextStream() = default;
    virtual QString ReadAll() = 0;
    virtual void Close() = 0;
};

// Opens text files. OpenTextFile fails when the file cannot be opened for the given mode.
class FileSystemObject {
  public:
    virtual ~FileSystemObject() = default;
    virtual std::unique_ptr<TextStream> OpenTextFile(const QString& path, qint32 ioMode,
                                                     bool create, qint32 format) = 0;
};

}  // namespace brindlewick

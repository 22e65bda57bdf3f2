#pragma once

#include <QStringList>
#include <optional>

#include "ErrorInfo.h"

namespace brindlewick {

// The texts that tell the user why the template could not be used: which file, where the
// program looked and, where it can be known, the system's reason. The first line of each stays
// the same whatever follows, because that is the line users search for.

// No file of that name in any of the folders: says so and lists them, one a line, in order, then
// names the place of the user's own file and the installed default to start it from, if any.
QString describeMissingTemplate(const QString& fileName, const QStringList& foldersSearched);

// A template file that gave no text: names it and adds the reason, the read's own failure or,
// for a regular file with no bytes at all, that it is empty.
QString describeUnreadableTemplate(const QString& path,
                                   const std::optional<ErrorInfo>& readFailure);

// A template text holding a NUL is no text this program reads: read byte for byte, a file saved
// as UTF-16 without a byte-order mark gives a NUL for the high byte of every character below
// U+0100, and other binary files give them anywhere. Names the file and says which it looks
// like: UTF-16 when there are a few NULs and they stand mostly at every other byte, not text
// otherwise. Empty when the text holds no NUL.
QString describeNulBytes(QStringView text, const QString& path);

}  // namespace brindlewick

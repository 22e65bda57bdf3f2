#pragma once

#include <QStringList>

namespace brindlewick {

// The texts that tell the user why the template could not be used: which file, where the
// program looked and, where it can be known, the system's reason. The first line of each stays
// the same whatever follows, because that is the line users search for.

// The folders the program looks for its template in, in search order: the program's own
// folder, then the application's absolute data folders (applicationDataFolders).
QStringList templateSearchFolders(const QString& applicationFolder);

// No file of that name in any of the folders: says so and lists them, one a line, in order.
QString describeMissingTemplate(const QString& fileName, const QStringList& foldersSearched);

// A template file that exists but gave no text: names it and adds the reason when the
// file-system object gives one on opening it (the file is opened, not read again) or the file
// has no bytes at all.
QString describeUnreadableTemplate(const QString& path);

// A template text holding a NUL is no text this program reads: read byte for byte, a file saved
// as UTF-16 without a byte-order mark gives a NUL for the high byte of every character below
// U+0100, and other binary files give them anywhere. Names the file and says which it looks
// like: UTF-16 when the NULs stand mostly at every other byte, not text otherwise. Empty when
// the text holds no NUL.
QString describeNulBytes(QStringView text, const QString& path);

// A template error's description with the path of the template it was found in.
QString withTemplatePath(const QString& description, const QString& path);

}  // namespace brindlewick

#include "TemplateDiagnosis.h"

#include <QFileInfo>
#include <algorithm>

#include "Components.h"
#include "ErrorInfo.h"
#include "StandardFilePathService.h"

namespace brindlewick {

namespace {

// Enough to tell UTF-16 from text that merely holds a NUL or two.
constexpr qsizetype kUtf16Sample = 1024;

// Why the file cannot be opened, in the file-system object's words; empty when it opens.
QString openFailureReason(const QString& path) {
    try {
        const std::unique_ptr<FileSystemObject> fileSystem = Components::newFileSystemObject();
        fileSystem->OpenTextFile(path, IoMode::ForReading, false, FileFormat::Ansi)->Close();
        return QString();
    } catch (...) {
        return currentErrorInfo().description;
    }
}

// Only a regular file's size says it is empty: a pipe or device has none, and a reason that
// its read gave cannot be had again without reading it again.
QString reasonForNoText(const QString& path) {
    const QString reason = openFailureReason(path);
    const QFileInfo file(path);
    if (reason.isEmpty() && file.isFile() && file.size() == 0) {
        return QStringLiteral("The file is empty");
    }
    return reason;
}

// Whether the units at even positions are all non-NUL and those at odd positions all NUL, when
// `nulFirst` is false, or the other way round.
bool alternatesWithNul(QStringView pairs, bool nulFirst) {
    for (qsizetype i = 0; i < pairs.size(); i += 2) {
        const bool firstIsNul = pairs[i].isNull();
        const bool secondIsNul = pairs[i + 1].isNull();
        if (firstIsNul != nulFirst || secondIsNul == nulFirst) {
            return false;
        }
    }
    return true;
}

}  // namespace

QStringList templateSearchFolders(const QString& applicationFolder) {
    QStringList folders{applicationFolder};
    folders += applicationDataFolders();
    folders.removeDuplicates();
    return folders;
}

QString describeMissingTemplate(const QString& fileName, const QStringList& foldersSearched) {
    return QStringLiteral("No %1 was found in any of these folders, searched in this order:\n")
               .arg(fileName) +
           foldersSearched.join(u'\n');
}

QString describeUnreadableTemplate(const QString& path) {
    QString message = QStringLiteral("The template file could not be read or is empty:\n") + path;
    const QString reason = reasonForNoText(path);
    if (!reason.isEmpty()) {
        message += QStringLiteral("\nReason: ") + reason;
    }
    return message;
}

bool looksLikeUtf16WithoutByteOrderMark(QStringView text) {
    const qsizetype length = std::min(text.size(), kUtf16Sample) & ~qsizetype(1);
    if (length == 0) {
        return false;
    }
    const QStringView pairs = text.first(length);
    return alternatesWithNul(pairs, false) || alternatesWithNul(pairs, true);
}

QString describeUtf16WithoutByteOrderMark(const QString& path) {
    return QStringLiteral("The template file looks like UTF-16 without a byte-order mark:\n") +
           path + QStringLiteral("\nSave it as UTF-8 and try again.");
}

QString withTemplatePath(const QString& description, const QString& path) {
    return description + QStringLiteral("\nTemplate file: ") + path;
}

}  // namespace brindlewick

#include "TemplateDiagnosis.h"

#include <QFileInfo>
#include <algorithm>
#include <array>

#include "Components.h"
#include "ErrorInfo.h"
#include "StandardFilePathService.h"

namespace brindlewick {

namespace {

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

// Whether at least nine in ten of the NULs in `text` stand at even positions, or at odd ones.
// Such a text is read one character a byte (as Windows-1252, or as UTF-8 when it is ASCII), so
// these are the parities of the bytes.
bool nulsFallMostlyOnOneParity(QStringView text) {
    std::array<qsizetype, 2> nulsAt = {0, 0};
    for (qsizetype i = text.indexOf(QChar(0)); i >= 0; i = text.indexOf(QChar(0), i + 1)) {
        ++nulsAt[i % 2];
    }
    const qsizetype all = nulsAt[0] + nulsAt[1];
    return std::max(nulsAt[0], nulsAt[1]) * 10 >= all * 9;
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

QString describeNulBytes(QStringView text, const QString& path) {
    if (!text.contains(QChar(0))) {
        return QString();
    }
    const QString firstLine = nulsFallMostlyOnOneParity(text)
                                  ? QStringLiteral("looks like UTF-16 without a byte-order mark")
                                  : QStringLiteral("is not a text file (it contains NUL bytes)");
    return QStringLiteral("The template file %1:\n").arg(firstLine) + path +
           QStringLiteral("\nSave it as UTF-8 and try again.");
}

QString withTemplatePath(const QString& description, const QString& path) {
    return description + QStringLiteral("\nTemplate file: ") + path;
}

}  // namespace brindlewick

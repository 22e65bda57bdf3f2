#include "StandardFilePathService.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace brindlewick {

QStringList applicationDataFolders() {
    QStringList folders = QStandardPaths::standardLocations(QStandardPaths::AppDataLocation);
    folders.removeIf([](const QString& folder) { return QDir::isRelativePath(folder); });
    return folders;
}

void StandardFilePathService::ResolvePath(QString& folder, QString& fileName, QString& result) {
    const QString besideProgram = QDir(folder).filePath(fileName);
    result = besideProgram;
    if (QFileInfo::exists(besideProgram)) {
        return;
    }
    for (const QString& dataFolder : applicationDataFolders()) {
        const QString candidate = QDir(dataFolder).filePath(fileName);
        if (QFileInfo::exists(candidate)) {
            result = candidate;
            return;
        }
    }
}

}  // namespace brindlewick

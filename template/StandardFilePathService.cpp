#include "StandardFilePathService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace brindlewick {

namespace {

bool isAbsolute(const QString& folder) {
    return folder.startsWith(u'/');
}

// The program's own folder below the data folder `base`; empty when `base` is relative.
QString applicationFolderIn(const QString& base) {
    return isAbsolute(base) ? QDir::cleanPath(base + u'/' + QCoreApplication::applicationName())
                            : QString();
}

QStringList dataDirectories() {
    QStringList folders = qEnvironmentVariable("XDG_DATA_DIRS").split(u':');
    folders.removeIf([](const QString& folder) { return !isAbsolute(folder); });
    return folders.isEmpty()
               ? QStringList{QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")}
               : folders;
}

}  // namespace

QString userDataFolder() {
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    return applicationFolderIn(isAbsolute(dataHome) ? dataHome
                                                    : qEnvironmentVariable("HOME") +
                                                          QStringLiteral("/.local/share"));
}

QStringList applicationDataFolders() {
    QStringList folders{userDataFolder()};
    for (const QString& base : dataDirectories()) {
        folders += applicationFolderIn(base);
    }
    folders.removeAll(QString());
    folders.removeDuplicates();
    return folders;
}

QStringList searchFolders(const QString& folder) {
    QStringList folders{folder};
    folders += applicationDataFolders();
    folders.removeDuplicates();
    return folders;
}

void StandardFilePathService::ResolvePath(QString& folder, QString& fileName, QString& result) {
    for (const QString& searched : searchFolders(folder)) {
        const QString candidate = QDir(searched).filePath(fileName);
        if (QFileInfo::exists(candidate)) {
            result = candidate;
            return;
        }
    }
    result = QDir(folder).filePath(fileName);
}

}  // namespace brindlewick

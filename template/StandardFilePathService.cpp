#include "StandardFilePathService.h"

#include <pwd.h>
#include <unistd.h>

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

// HOME, or where it is unset, empty or relative, the account's home in the password database.
QString homeFolder() {
    const QString home = qEnvironmentVariable("HOME");
    if (isAbsolute(home)) {
        return home;
    }
    const passwd* account = ::getpwuid(::getuid());
    return account != nullptr ? QFile::decodeName(account->pw_dir) : QString();
}

}  // namespace

QString userDataFolder() {
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    return applicationFolderIn(
        isAbsolute(dataHome) ? dataHome : homeFolder() + QStringLiteral("/.local/share"));
}

QStringList applicationDataFolders() {
    QStringList bases = qEnvironmentVariable("XDG_DATA_DIRS").split(u':');
    bases.removeIf([](const QString& base) { return !isAbsolute(base); });
    if (bases.isEmpty()) {
        bases = {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")};
    }
    QStringList folders{userDataFolder()};
    for (const QString& base : bases) {
        folders += applicationFolderIn(base);
    }
    folders.removeAll(QString());
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

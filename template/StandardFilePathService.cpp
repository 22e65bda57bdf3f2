#include "StandardFilePathService.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace brindlewick {

void StandardFilePathService::ResolvePath(QString& folder, QString& fileName, QString& result) {
    const QString besideProgram = QDir(folder).filePath(fileName);
    if (QFileInfo::exists(besideProgram)) {
        result = besideProgram;
        return;
    }
    const QString inDataLocation =
        QStandardPaths::locate(QStandardPaths::AppDataLocation, fileName);
    result = inDataLocation.isEmpty() ? besideProgram : inDataLocation;
}

}  // namespace brindlewick

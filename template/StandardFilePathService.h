#pragma once

#include <QStringList>

#include "FilePathService.h"

namespace brindlewick {

// The user's own data folder for the program: $XDG_DATA_HOME/brindlewick, or
// ~/.local/share/brindlewick when XDG_DATA_HOME is unset or relative, ~ being HOME or, when HOME
// is unset, empty or relative, the account's home. Empty when that is relative too, since a
// relative folder would lie below the working folder.
QString userDataFolder();

// The application's standard data folders in search order: userDataFolder(), then brindlewick/ in
// each absolute folder of XDG_DATA_DIRS, or in /usr/local/share and /usr/share when it has none.
// A relative entry is invalid and ignored, as the XDG base-directory rules require.
QStringList applicationDataFolders();

// The folders a file is looked for in, in search order: `folder`, then applicationDataFolders(),
// each once.
QStringList searchFolders(const QString& folder);

// folder/fileName when that file exists; otherwise the first fileName found in the application's
// data folders (so an installed program finds its template); otherwise folder/fileName again, so
// that a report names the place where the file was expected.
class StandardFilePathService final : public FilePathService {
  public:
    void ResolvePath(QString& folder, QString& fileName, QString& result) override;
};

}  // namespace brindlewick

#pragma once

#include <QStringList>

#include "FilePathService.h"

namespace brindlewick {

// The application's standard data folders (~/.local/share/brindlewick, then
// /usr/local/share/brindlewick and /usr/share/brindlewick, or those of XDG_DATA_HOME and
// XDG_DATA_DIRS), in search order. Relative entries, which would name a folder below the working
// folder, are left out, as the XDG base-directory rules require; so is a data home below a
// relative HOME.
QStringList applicationDataFolders();

// folder/fileName when that file exists; otherwise the first fileName found in the application's
// data folders (so an installed program finds its template); otherwise folder/fileName again, so
// that a report names the place where the file was expected.
class StandardFilePathService final : public FilePathService {
  public:
    void ResolvePath(QString& folder, QString& fileName, QString& result) override;
};

}  // namespace brindlewick

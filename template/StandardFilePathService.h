#pragma once

#include "FilePathService.h"

namespace brindlewick {

// folder/fileName when that file exists; otherwise the first fileName found in the
// application's standard data locations (so an installed program finds its template);
// otherwise folder/fileName again, so that a report names the place where the file was expected.
class StandardFilePathService final : public FilePathService {
  public:
    void ResolvePath(QString& folder, QString& fileName, QString& result) override;
};

}  // namespace brindlewick

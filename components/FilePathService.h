#pragma once

#include <QString>

namespace brindlewick {

// Resolves the path of a named file in a folder. Failures are thrown as ComponentError.
class FilePathService {
  public:
    virtual ~FilePathService() = default;
    virtual void ResolvePath(QString& folder, QString& fileName, QString& result) = 0;
};

}  // namespace brindlewick

#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace brindlewick::test {

// A temporary folder that test files are written into; removed with everything in it.
class TempDir {
  public:
    QString path(const QString& name) const { return dir_.filePath(name); }
    QString write(const QString& name, const QByteArray& bytes) const;

  private:
    QTemporaryDir dir_;
};

}  // namespace brindlewick::test

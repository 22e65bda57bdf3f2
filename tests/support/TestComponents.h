#pragma once

#include <QList>
#include <QString>
#include <memory>
#include <optional>

#include "Components.h"
#include "DefaultComponents.h"

namespace brindlewick::test {

struct LogRecord {
    QString message;
    std::optional<ErrorInfo> error;
    qint32 level = 0;
    qint32 mask = 0;
};

enum class FailOn { Never, FirstCall, EveryCall };

// The reports a RecordingLogger took, shared with the test that installed it.
using LogRecords = std::shared_ptr<QList<LogRecord>>;

// Installs a logger that records every report (including those it fails on) and fails as told.
LogRecords installRecordingLogger(FailOn failOn = FailOn::Never);

// Installs a logger that takes every report and keeps none.
void installSilentLogger();

// Makes the path service resolve every file name to `path`, wherever the program lies.
void installTemplatePath(const QString& path);

// Makes creating the shared logger fail.
void installUncreatableLogger();

// A converter whose ConvertText fails.
void installFailingConverter();

enum class EngineFailure { AtLoad, AtRender };
void installFailingEngine(EngineFailure when);

enum class FileFailure { AtOpen, AtRead, OutOfMemoryAtRead };
void installFailingFileSystem(FileFailure when);

// The error information the failing test components throw.
ErrorInfo injectedFailure(const QString& source);

// Restores every default component when it goes out of scope, so each test starts clean.
class ComponentsGuard {
  public:
    ComponentsGuard() { installDefaultComponents(); }
    ~ComponentsGuard() { installDefaultComponents(); }
    ComponentsGuard(const ComponentsGuard&) = delete;
    ComponentsGuard& operator=(const ComponentsGuard&) = delete;
};

}  // namespace brindlewick::test

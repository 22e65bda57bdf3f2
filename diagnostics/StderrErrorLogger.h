#pragma once

#include "ErrorLogger.h"

namespace brindlewick {

// Formats one report as a single line; control characters in the texts are escaped so that a
// report never spans two lines. The format is documented in README ("Diagnostics").
QString formatLogLine(const QString& message, const ErrorInfo* error, qint32 level, qint32 mask);

// The default logger: one line per report on standard error, where a desktop session's journal
// collects it. Diagnostics are best effort, so a failed write is not a failure of the report.
class StderrErrorLogger final : public ErrorLogger {
  public:
    void LogMessage(QString& message, const ErrorInfo* error, qint32& level, qint32& mask) override;
};

}  // namespace brindlewick
